#pragma once

#include "recipients/RecipientsPage.h"

#include <array>

class QLabel;
class QProgressBar;
class QWidget;

namespace Ui {
class TMainForm;
}

namespace pelicast {

// Sets a progress bar's maximum; an empty range shows as an empty bar.
void setBarMaximum(QProgressBar *bar, int maximum);

// The "Recipents" page's controls as the list commands, the database commands and the
// text import and export see them.
//
// A command says which controls it wants enabled; two locks can hold a control disabled
// over that wish, and when a lock ends the control takes the state last asked for:
// - the send run's lock-down holds the list commands (and Edit1 and both "Move to All"
//   buttons) until the run has ended; its restore decides them through the button rule;
// - a running import holds "Import From TXT": a second import must not start beside it.
class RecipientsPageControls : public RecipientsPage
{
public:
    RecipientsPageControls(Ui::TMainForm &ui, QLabel *statusPanel);

    int selectedListTab() const override;
    QString newAddressText() const override;
    void setNewAddressText(const QString &text) override;
    void setCountLabel(const QString &text) override;
    void setControlEnabled(RecipientControl control, bool enabled) override;
    void setStatusText(const QString &text) override;
    void setAbortButtonVisible(bool visible) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;

    void setRunLocked(RecipientControl control, bool locked);
    void clearRunLocks();
    void setImportRunning(bool running);

private:
    static constexpr int ControlCount = int(RecipientControl::Button_move_all2) + 1;
    QWidget *widget(RecipientControl control) const;
    void apply(RecipientControl control);

    Ui::TMainForm &ui;
    QLabel *m_statusPanel;
    std::array<bool, ControlCount> m_wanted;
    std::array<bool, ControlCount> m_runLocked{};
    bool m_importRunning = false;
};

} // namespace pelicast
