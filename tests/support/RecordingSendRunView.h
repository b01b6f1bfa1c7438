#pragma once

#include "mailing/SendRunView.h"

#include <QStringList>

namespace pelicast::test {

// A SendRunView that writes every call, in order, into a list of events shared with the
// test's log sink, so that one list shows the order of controls, progress and log lines:
//   "statistics tab", "stop buttons shown", "message tab off", "grids off",
//   "list-tab handler detached", "BitBtn1 off", "settings tab off", "send off",
//   "progress max 25", "progress 3", "count", "PageControl2Change", "error: <text>".
// Log lines go in as "log: <line>" through logLine().
class RecordingSendRunView : public SendRunView
{
public:
    QStringList events;

    void logLine(const QString &line) { events << QStringLiteral("log: ") + line; }
    // The events of one kind, e.g. those that start with "progress ".
    QStringList eventsStartingWith(const QString &prefix) const;
    // The log lines alone.
    QStringList log() const;

    static QString controlName(RecipientControl control);

    void showStatisticsTab() override;
    void setStopButtonsVisible(bool visible) override;
    void setMessageTabEnabled(bool enabled) override;
    void setListGridsEnabled(bool enabled) override;
    void setListTabHandlerAttached(bool attached) override;
    void setListCommandEnabled(RecipientControl control, bool enabled) override;
    void setSettingsTabEnabled(bool enabled) override;
    void setSendEnabled(bool enabled) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void RefreshRecipientCount() override;
    void PageControl2Change() override;
    void showError(const QString &text) override;
};

} // namespace pelicast::test
