#include "mailing/Mailer.h"

#include "common/Error.h"
#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "shell/ServerSettings.h"

namespace pelicast {

struct Mailer::Private
{
    explicit Private(const ActivityLog &l) : log(l) {}
    const ActivityLog &log;
    SmtpTimeouts timeouts;
    int port = 25;
};

Mailer::Mailer(const ActivityLog &log, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(log))
{
}

Mailer::~Mailer() = default;

void Mailer::PrepareMessage(const MessageDraft &, const ServerSettings &settings)
{
    bool ok = false;
    const int port = settings.ServerPort.toInt(&ok, 10);
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(settings.ServerPort));
    d->port = port;
}

void Mailer::SendToRecipient(const QString &, SendCallback)
{
    throw Error(QStringLiteral("Mailer::SendToRecipient is not built yet"));
}

bool Mailer::isSending() const
{
    return false;
}

bool Mailer::Connected()
{
    return false;
}

void Mailer::Disconnect() {}

void Mailer::setTimeouts(const SmtpTimeouts &timeouts)
{
    d->timeouts = timeouts;
}

} // namespace pelicast
