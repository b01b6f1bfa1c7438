#pragma once

#include "recipients/RecipientsPage.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace pelicast::test {

// A RecipientsPage that keeps every status text, Abort visibility and progress value it is
// given, in order, and can run a hook when the status text or the progress changes (the
// moment a user could click a button).
class RecordingRecipientsPage : public RecipientsPage
{
public:
    int tab = 0;
    QString countLabel = QStringLiteral("unset");
    QString status;
    QStringList statusTexts;
    bool abortVisible = false;
    QList<bool> abortVisibility;
    QList<int> progressMaximums;
    QList<int> progressPositions;
    std::function<void(const QString &)> onStatusText;
    std::function<void(int)> onProgressPosition;

    int selectedListTab() const override { return tab; }
    QString newAddressText() const override { return {}; }
    void setNewAddressText(const QString &) override {}
    void setCountLabel(const QString &text) override { countLabel = text; }
    void setControlEnabled(RecipientControl, bool) override {}
    void setStatusText(const QString &text) override
    {
        status = text;
        statusTexts << text;
        if (onStatusText)
            onStatusText(text);
    }
    void setAbortButtonVisible(bool visible) override
    {
        abortVisible = visible;
        abortVisibility << visible;
    }
    void setProgressMaximum(int maximum) override { progressMaximums << maximum; }
    void setProgressPosition(int position) override
    {
        progressPositions << position;
        if (onProgressPosition)
            onProgressPosition(position);
    }
};

} // namespace pelicast::test
