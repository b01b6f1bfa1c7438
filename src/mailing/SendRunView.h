#pragma once

#include "recipients/RecipientsPage.h"

#include <QString>

namespace pelicast {

// What a send run needs of the main window: the lock-down before the run, the progress
// while it lasts, and the restore after it. The main window implements it; tests record
// the calls. The run calls these in a fixed order (see SendRun) and never asks anything
// back, so an implementation only has to set its controls.
class SendRunView
{
public:
    virtual ~SendRunView() = default;

    // PageControl1 shows its page 3, "Statistics", where the log is.
    virtual void showStatisticsTab() = 0;
    // AbortSendBtn1 (Recipients tab) and AbortSendBtn2 (Statistics tab), both at once.
    virtual void setStopButtonsVisible(bool visible) = 0;
    // TabSheet1, the Message tab: the draft is not edited during a run.
    virtual void setMessageTabEnabled(bool enabled) = 0;
    // DBGrid1, DBGrid2 and DBGrid3, all three at once.
    virtual void setListGridsEnabled(bool enabled) = 0;
    // Whether switching PageControl2's tabs (All, Success, Error) runs PageControl2Change.
    virtual void setListTabHandlerAttached(bool attached) = 0;
    // One control of the Recipients tab. The run only ever disables here: it gives the
    // controls back through PageControl2Change, which knows what the tab shown allows.
    virtual void setListCommandEnabled(RecipientControl control, bool enabled) = 0;
    // TabSheet3, the Settings tab.
    virtual void setSettingsTabEnabled(bool enabled) = 0;
    // Button2, Send.
    virtual void setSendEnabled(bool enabled) = 0;
    // ProgressBar (Recipients tab) and ProgressBar1 (Statistics tab) together.
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    // The count label follows the list on the tab now shown.
    virtual void RefreshRecipientCount() = 0;
    // The list-tab handler, run once by the restore: enables the list commands as the
    // tab shown requires and refreshes the count.
    virtual void PageControl2Change() = 0;
    // An error that ended the run, as the error's own text (Error::text()). The window
    // shows it through its standard error display, which adds the full stop.
    virtual void showError(const QString &text) = 0;
};

} // namespace pelicast
