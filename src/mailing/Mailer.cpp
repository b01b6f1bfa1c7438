#include "mailing/Mailer.h"

#include "common/Error.h"
#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/CharsetTable.h"
#include "mailing/MimeComposer.h"
#include "mailing/OutgoingMessage.h"
#include "mailing/ProcessTextUnit.h"
#include "mailing/SmtpClient.h"
#include "shell/ServerSettings.h"

#include <stdexcept>

namespace pelicast {

struct Mailer::Private
{
    explicit Private(const ActivityLog &l) : log(l) {}

    enum class Stage { Idle, Connecting, Sending, Delivering };

    const ActivityLog &log;
    SmtpClient smtp;
    OutgoingMessage message;

    // Per run: the draft's text with its macros, and the server as the user typed it.
    QString subject;
    QStringList body;
    QString serverText;
    QString portText = QStringLiteral("25");

    // The send in progress.
    Stage stage = Stage::Idle;
    QString address;
    SendCallback done;
};

Mailer::Mailer(const ActivityLog &log, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(log))
{
    connect(&d->smtp, &SmtpClient::OnConnected, this, &Mailer::SMTPConnected);
    connect(&d->smtp, &SmtpClient::OnDisconnected, this, &Mailer::SMTPDisconnected);
    connect(&d->smtp, &SmtpClient::connectFinished, this, &Mailer::onConnectFinished);
    connect(&d->smtp, &SmtpClient::sendFinished, this, &Mailer::onSendFinished);
}

Mailer::~Mailer()
{
    d->smtp.disconnect(this);
}

void Mailer::PrepareMessage(const MessageDraft &draft, const ServerSettings &settings)
{
    OutgoingMessage &m = d->message;
    SmtpClient &smtp = d->smtp;
    m.FromName = settings.Name;
    m.FromAddress = settings.Email;
    m.Priority = draft.Priority;
    m.setCharSet(draft.EncodingInternal ? CharsetName(draft.EncodingComboIndex)
                                        : draft.EncodingEditBox);
    if (settings.ServerAuthComboIndex == 0)
        smtp.authenticationType = SmtpClient::atNone;
    else if (settings.ServerAuthComboIndex == 1)
        smtp.authenticationType = SmtpClient::atLogin;
    m.ContentType = draft.HTML ? QStringLiteral("text/html") : QStringLiteral("text/plain");
    smtp.Username = settings.ServerLogin;
    smtp.Password = settings.ServerPWD;
    smtp.Host = settings.Server;

    switch (settings.ServerSecurity) {
    case 1:
        smtp.security = SmtpClient::Security::StartTls;
        break;
    case 2:
        smtp.security = SmtpClient::Security::Tls;
        break;
    default:
        smtp.security = SmtpClient::Security::None;
        break;
    }
    smtp.acceptAnyCertificate = settings.ServerAcceptAnyCertificate;
    m.Attachments = draft.Attachments;
    d->subject = draft.Subject;
    d->body = draft.Body;
    d->serverText = settings.Server;
    d->portText = settings.ServerPort;

    bool ok = false;
    const int port = settings.ServerPort.toInt(&ok, 10);
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(settings.ServerPort));
    smtp.Port = port;
}

void Mailer::SendToRecipient(const QString &address, SendCallback done)
{
    if (d->stage != Private::Stage::Idle)
        throw std::logic_error("Mailer::SendToRecipient while a send is running");

    QStringList body = d->body;
    d->message.Body = ExpandNameInLines(address, body);
    d->message.Subject = ExpandNameInText(address, d->subject);
    d->message.Recipients = MailAddress::parseList(address);

    d->address = address;
    d->done = std::move(done);
    if (!d->smtp.Connected()) {
        d->stage = Private::Stage::Connecting;
        d->log.AddLog(QStringLiteral("Connecting...") + d->serverText + u':' + d->portText);
        d->smtp.Connect();
        return;
    }
    startSend();
}

void Mailer::onConnectFinished(bool ok)
{
    if (d->stage != Private::Stage::Connecting)
        return;
    if (!ok) {
        d->log.AddLog(QStringLiteral("Can't connect to: ") + d->serverText + u':' + d->portText);
        return finish(SendResult::NotConnected);
    }
    startSend();
}

void Mailer::startSend()
{
    d->stage = Private::Stage::Sending;
    d->log.AddLog(QStringLiteral("Sending to ... ") + d->address);
    SmtpEnvelope envelope;
    try {
        envelope = MimeComposer::compose(d->message,
                                         d->smtp.hasExtension(QStringLiteral("SMTPUTF8")));
    } catch (const Error &) {
        return sendFailed(); // an unreadable attachment, an address that cannot be sent
    }
    d->smtp.Send(envelope);
}

void Mailer::onSendFinished(bool ok)
{
    if (d->stage != Private::Stage::Sending)
        return;
    if (!ok)
        return sendFailed();
    d->log.AddLog(QStringLiteral("Send Success: ") + d->address);
    finish(SendResult::Sent);
}

void Mailer::sendFailed()
{
    d->log.AddLog(QStringLiteral("Send Fail: ") + d->address);
    d->smtp.Disconnect();
    finish(SendResult::Failed);
}

void Mailer::finish(SendResult result)
{
    // Delivered from the event loop, so that a caller never sees its result inside its own
    // SendToRecipient call, and may start the next send from the callback.
    d->stage = Private::Stage::Delivering;
    QMetaObject::invokeMethod(
        this,
        [this, result] {
            d->stage = Private::Stage::Idle;
            const QString address = d->address;
            const SendCallback done = std::exchange(d->done, {});
            if (done)
                done(result);
            emit sendFinished(address, result);
        },
        Qt::QueuedConnection);
}

bool Mailer::isSending() const
{
    return d->stage != Private::Stage::Idle;
}

bool Mailer::Connected()
{
    return d->smtp.Connected();
}

void Mailer::Disconnect()
{
    d->smtp.Disconnect();
}

void Mailer::setTimeouts(const SmtpTimeouts &timeouts)
{
    d->smtp.timeouts = timeouts;
}

SmtpClient &Mailer::SMTP()
{
    return d->smtp;
}

OutgoingMessage &Mailer::SMTPMessage()
{
    return d->message;
}

void Mailer::SMTPConnected()
{
    d->log.AddLog(QStringLiteral("Connected Successfully!"));
}

void Mailer::SMTPDisconnected()
{
    d->log.AddLog(QStringLiteral("Disconnected!"));
}

} // namespace pelicast
