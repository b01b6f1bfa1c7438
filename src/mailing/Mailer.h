#pragma once

#include "mailing/SendResult.h"
#include "mailing/SmtpTimeouts.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace pelicast {

class ActivityLog;
class OutgoingMessage;
class SmtpClient;
struct MessageDraft;
struct ServerSettings;

// The program's outgoing message (SMTPMessage) and its SMTP client (SMTP), together: one
// long-lived object that a send run prepares once and then asks to send to one address
// after the other. Everything is asynchronous: SendToRecipient returns at once and the
// result arrives later from the event loop, never from inside the call.
class Mailer : public QObject
{
    Q_OBJECT
public:
    using SendCallback = std::function<void(SendResult)>;

    // The log must outlive the mailer; its lines are the activity log of the program.
    explicit Mailer(const ActivityLog &log, QObject *parent = nullptr);
    ~Mailer() override;

    // Copies the sender, format, charset, priority, attachments and server settings of one
    // run; the subject and the body lines are kept for the personalised copies. Throws
    // pelicast::Error "'<port>' is not a valid integer value" when the port text is not an
    // integer (the fields before the port have taken effect by then). Never changes the
    // draft or the settings.
    void PrepareMessage(const MessageDraft &draft, const ServerSettings &settings);

    // Personalises the message for the address (the stored text of a list entry), opens the
    // connection when none is open, sends and logs. The result is delivered exactly once,
    // after this call has returned: first to `done` (when given), then by sendFinished();
    // the next send may be started from either. One send at a time: a second call while
    // isSending() is a programming error (std::logic_error).
    void SendToRecipient(const QString &address, SendCallback done = {});
    bool isSending() const;

    // True while a connection is open. A connection that the server has closed is noticed
    // here at the latest, and "Disconnected!" is logged then.
    bool Connected();
    // Writes QUIT without waiting for the reply, closes the connection and logs
    // "Disconnected!"; nothing when no connection is open. Never fails: a connection that
    // is already broken is simply closed. A send in progress ends then (NotConnected while
    // connecting, Failed after).
    void Disconnect();

    // Shorter waits for tests; the defaults are those of a real mail client.
    void setTimeouts(const SmtpTimeouts &timeouts);

    // The two components, for the draft's view of the message and for tests.
    SmtpClient &SMTP();
    OutgoingMessage &SMTPMessage();

Q_SIGNALS:
    void sendFinished(const QString &address, pelicast::SendResult result);

private:
    // Handlers of the client's connection events: one log line each.
    void SMTPConnected();
    void SMTPDisconnected();

    void onConnectFinished(bool ok);
    void onSendFinished(bool ok);
    void startSend();
    void sendFailed();
    void finish(SendResult result);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace pelicast
