#pragma once

#include "mailing/SendResult.h"

#include <QObject>
#include <QString>

#include <optional>

namespace pelicast {

class ActivityLog;
class Mailer;
class RecipientList;
class SendRunView;
struct MessageDraft;
struct RecipientLists;
struct ServerSettings;

// The send run: every address of All gets its own message and moves to Success or Error.
//
// It runs on the UI thread as a small state machine and never blocks or spins a nested
// event loop: Button2Click locks the window down, prepares the message and returns; from
// then on each step is a queued call, and the event loop runs between reading an address
// and sending to it, while the mailer works, and after each address has been moved.
// finished() is emitted once per run, always from the event loop (never inside
// Button2Click), after the controls have been restored and the log written.
//
// Order of one run:
//   lock-down     show the Statistics tab, stop buttons visible, Message tab, grids and
//                 list-tab handler off, list commands off (with Edit1 and both
//                 "<<--- Move to All" buttons, so that nothing moves All's current record
//                 or changes a list while a send is in flight), Settings tab and Send off;
//   preparation   PrepareMessage, periodic-close count 0, All to its first record, both
//                 progress bars to 0 of All's count;
//   per address   stop check, read All's first address, (event loop), send, move the
//                 address to Success or Error, close the connection after every tenth
//                 address dealt with, refresh the count, advance the progress, (event loop);
//   end           All to its first record and progress to 0 (once the loop was prepared);
//                 close the connection (not after an error);
//   restore       Send, stop buttons hidden, Message tab, grids, list-tab handler attached
//                 and run once, Settings tab; "DONE." (not after an error).
// An error anywhere ends the run where it arose; it reaches SendRunView::showError after
// the restore and never leaves this class as an exception.
class SendRun : public QObject
{
    Q_OBJECT
public:
    // All four must outlive the run object.
    SendRun(Mailer &mailer, RecipientLists &lists, const ActivityLog &log, SendRunView &view,
            QObject *parent = nullptr);
    ~SendRun() override;

    // Starts a run with the draft and the settings as they stand now (both are copied by
    // PrepareMessage before this returns). Ignored while a run is active.
    void Button2Click(const MessageDraft &draft, const ServerSettings &settings);

    // True from Button2Click until just before finished() is emitted. While it is true the
    // window does not close under the run: it calls requestStop(), refuses the close, and
    // closes (and saves) when finished() arrives. The run then ends after the send in
    // flight, at the latest when the mailer's own time limits give up on the server.
    bool isActive() const { return m_active; }

    // A stop request is honoured before the next address of a run, never during a send;
    // only the run that honours it clears it, so a request that finds no further address
    // ends the next run that finds one.
    bool StopRequested() const { return m_stopRequested; }
    // Sets the request without a log line: for the window's deferred close.
    void requestStop() { m_stopRequested = true; }

public Q_SLOTS:
    // Both Stop / Disconnect buttons: sets the request and logs "Stopping...".
    void AbortSendBtn1Click();

Q_SIGNALS:
    void finished();

private:
    void lockDown();
    void prepare(const MessageDraft &draft, const ServerSettings &settings);
    void nextAddress();
    void sendAddress();
    void onSendResult(SendResult result);
    void moveAddressTo(RecipientList &target);
    void endRun(std::optional<QString> error = std::nullopt);

    void post(void (SendRun::*step)());
    template<typename F> void guarded(F &&step);
    template<typename F> void attempt(std::optional<QString> &error, F &&step);

    Mailer &m_mailer;
    RecipientLists &m_lists;
    const ActivityLog &m_log;
    SendRunView &m_view;

    bool m_stopRequested = false;
    bool m_active = false;
    bool m_loopPrepared = false; // All has been moved to its first record
    bool m_awaitingResult = false;
    int m_sincePeriodicClose = 0;
    int m_dealtWith = 0;
    QString m_address;
};

} // namespace pelicast
