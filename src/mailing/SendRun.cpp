#include "mailing/SendRun.h"

#include "common/Error.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "mailing/SendRunView.h"
#include "recipients/RecipientLists.h"

#include <QPointer>

#include <exception>
#include <utility>

namespace pelicast {

namespace {

// A connection carries at most this many messages before it is closed and opened anew.
constexpr int MessagesPerConnection = 10;

// The list commands that the lock-down takes away. Edit1 and the two "<<--- Move to All"
// buttons are among them because typing an address enables Add, and Add moves All's
// current record, while Move to All appends to All: the run deletes All's current record
// after each send and relies on it being the address it sent.
constexpr RecipientControl LockedCommands[] = {
    RecipientControl::BitBtn1,     RecipientControl::Button6,
    RecipientControl::BitBtn2,     RecipientControl::BitBtn3,
    RecipientControl::Button3,     RecipientControl::Button4,
    RecipientControl::Button5,     RecipientControl::Button17Open,
    RecipientControl::Button22,    RecipientControl::Edit1,
    RecipientControl::Button13,    RecipientControl::Button_move_all2,
};

QString textOf(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e))
        return error->text();
    return QString::fromUtf8(e.what());
}

} // namespace

SendRun::SendRun(Mailer &mailer, RecipientLists &lists, const ActivityLog &log,
                 SendRunView &view, QObject *parent)
    : QObject(parent), m_mailer(mailer), m_lists(lists), m_log(log), m_view(view)
{
}

SendRun::~SendRun() = default;

void SendRun::post(void (SendRun::*step)())
{
    QMetaObject::invokeMethod(
        this, [this, step] { guarded([this, step] { (this->*step)(); }); },
        Qt::QueuedConnection);
}

// Every step runs through here: an error ends the run where it arose instead of leaving
// through the event loop.
template<typename F> void SendRun::guarded(F &&step)
{
    try {
        step();
    } catch (const std::exception &e) {
        endRun(textOf(e));
    }
}

// For the steps that run however the run ends: each one runs, and the first error is the
// one reported (a later one would only hide its cause).
template<typename F> void SendRun::attempt(std::optional<QString> &error, F &&step)
{
    try {
        step();
    } catch (const std::exception &e) {
        if (!error)
            error = textOf(e);
    }
}

void SendRun::Button2Click(const MessageDraft &draft, const ServerSettings &settings)
{
    if (m_active)
        return;
    m_active = true;
    m_loopPrepared = false;
    m_awaitingResult = false;
    try {
        lockDown();
        prepare(draft, settings);
    } catch (const std::exception &e) {
        // Ended from the event loop like every other run, so that finished() never comes
        // from inside this call.
        const QString text = textOf(e);
        QMetaObject::invokeMethod(
            this, [this, text] { endRun(text); }, Qt::QueuedConnection);
        return;
    }
    post(&SendRun::nextAddress);
}

void SendRun::AbortSendBtn1Click()
{
    m_stopRequested = true;
    m_log.AddLog(QStringLiteral("Stopping..."));
}

void SendRun::lockDown()
{
    m_view.showStatisticsTab();
    m_view.setStopButtonsVisible(true);
    m_view.setMessageTabEnabled(false);
    m_view.setListGridsEnabled(false);
    m_view.setListTabHandlerAttached(false);
    for (RecipientControl control : LockedCommands)
        m_view.setListCommandEnabled(control, false);
    m_view.setSettingsTabEnabled(false);
    m_view.setSendEnabled(false);
}

void SendRun::prepare(const MessageDraft &draft, const ServerSettings &settings)
{
    m_mailer.PrepareMessage(draft, settings);
    m_sincePeriodicClose = 0;
    m_dealtWith = 0;
    m_loopPrepared = true;
    m_lists.MainTable.GoFirst();
    const int total = m_lists.MainTable.AddressCount();
    m_view.setProgressMaximum(total);
    m_view.setProgressPosition(0);
}

void SendRun::nextAddress()
{
    RecipientList &all = m_lists.MainTable;
    if (all.AddressCount() == 0)
        return endRun();
    if (m_stopRequested) {
        m_stopRequested = false;
        m_log.AddLog(QStringLiteral("Aborted!"));
        return endRun();
    }
    m_address = all.Address();
    post(&SendRun::sendAddress);
}

void SendRun::sendAddress()
{
    m_awaitingResult = true;
    QPointer<SendRun> self(this);
    try {
        m_mailer.SendToRecipient(m_address, [self](SendResult result) {
            if (self && self->m_awaitingResult) {
                self->m_awaitingResult = false;
                self->guarded([&] { self->onSendResult(result); });
            }
        });
    } catch (...) {
        m_awaitingResult = false;
        throw;
    }
}

void SendRun::onSendResult(SendResult result)
{
    switch (result) {
    case SendResult::NotConnected:
        return endRun(); // the address stays in All, first in line for the next run
    case SendResult::Sent:
        moveAddressTo(m_lists.SuccessTable);
        break;
    case SendResult::Failed:
        moveAddressTo(m_lists.ErrorTable);
        break;
    }

    // Failed sends count too: the connection they closed does not restart the count.
    if (++m_sincePeriodicClose == MessagesPerConnection) {
        m_sincePeriodicClose = 0;
        if (m_mailer.Connected())
            m_mailer.Disconnect();
    }
    m_view.RefreshRecipientCount();
    m_view.setProgressPosition(++m_dealtWith);
    post(&SendRun::nextAddress);
}

void SendRun::moveAddressTo(RecipientList &target)
{
    RecipientList &all = m_lists.MainTable;
    // The lock-down keeps every other command off All, so its current record is still the
    // address just sent. Should something have moved it all the same, find the address
    // again rather than delete another one.
    if (all.Address() == m_address || all.FindAddress(m_address))
        all.DeleteCurrent();
    all.GoFirst();
    // A duplicate throws here, after the delete: the address then lives on only in the
    // target list that already held it.
    target.AppendAddress(m_address);
}

void SendRun::endRun(std::optional<QString> error)
{
    if (!m_active)
        return;
    m_awaitingResult = false;
    if (std::exchange(m_loopPrepared, false)) {
        attempt(error, [this] {
            m_lists.MainTable.GoFirst();
            m_view.setProgressPosition(0);
        });
    }
    // After an error the connection stays as it is; the next run goes on with it.
    if (!error) {
        attempt(error, [this] {
            if (m_mailer.Connected())
                m_mailer.Disconnect();
        });
    }

    attempt(error, [this] { m_view.setSendEnabled(true); });
    attempt(error, [this] { m_view.setStopButtonsVisible(false); });
    attempt(error, [this] { m_view.setMessageTabEnabled(true); });
    attempt(error, [this] { m_view.setListGridsEnabled(true); });
    // The list commands come back as the list tab now shown allows, not one by one.
    attempt(error, [this] {
        m_view.setListTabHandlerAttached(true);
        m_view.PageControl2Change();
    });
    attempt(error, [this] { m_view.setSettingsTabEnabled(true); });

    // isActive() stays true while the error is shown, so that a close of the window is
    // still deferred to finished() and a second Send cannot begin before it.
    if (error) {
        std::optional<QString> ignored;
        attempt(ignored, [&] { m_view.showError(*error); });
    } else {
        m_log.AddLog(QStringLiteral("DONE."));
    }
    m_active = false;
    emit finished();
}

} // namespace pelicast
