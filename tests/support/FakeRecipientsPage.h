#pragma once

#include "recipients/RecipientsPage.h"

#include <QList>
#include <QString>

#include <map>
#include <optional>

namespace pelicast::test {

// A RecipientsPage that only remembers what was done to it. A control that nothing has
// enabled or disabled yet has no state (enabledState() gives no value), so a test can tell
// a control the code forgot from one it set.
class FakeRecipientsPage : public RecipientsPage
{
public:
    int tab = 0;               // PageControl2's selected tab
    QString edit1;             // Edit1's text
    QString countLabel;        // Label1
    QString statusText;        // status bar panel 0
    bool abortVisible = false; // AbortButton
    int progressMaximum = 0;
    int progressPosition = 0;
    QList<int> progressPositions; // every position set, in order
    std::map<RecipientControl, bool> enabled;

    std::optional<bool> enabledState(RecipientControl control) const
    {
        const auto it = enabled.find(control);
        if (it == enabled.end())
            return std::nullopt;
        return it->second;
    }

    int selectedListTab() const override { return tab; }
    QString newAddressText() const override { return edit1; }
    void setNewAddressText(const QString &text) override { edit1 = text; }
    void setCountLabel(const QString &text) override { countLabel = text; }
    void setControlEnabled(RecipientControl control, bool on) override { enabled[control] = on; }
    void setStatusText(const QString &text) override { statusText = text; }
    void setAbortButtonVisible(bool visible) override { abortVisible = visible; }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int position) override
    {
        progressPosition = position;
        progressPositions << position;
    }
};

} // namespace pelicast::test
