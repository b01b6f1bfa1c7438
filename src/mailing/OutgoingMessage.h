#pragma once

#include "mailing/MailAddress.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace pelicast {

class CharsetEncoder;

// The message component: what every recipient's copy is built from. The per-run fields
// are set once by PrepareMessage, the per-recipient ones by each send.
class OutgoingMessage
{
public:
    OutgoingMessage();
    ~OutgoingMessage();
    OutgoingMessage(const OutgoingMessage &) = delete;
    OutgoingMessage &operator=(const OutgoingMessage &) = delete;

    // Per run.
    QString FromName;
    QString FromAddress;
    int Priority = 2;                               // 0 Highest ... 4 Lowest
    QString ContentType = QStringLiteral("text/plain");
    QStringList Attachments;                        // full paths; each read at every send
    void setCharSet(const QString &charset);        // empty: no charset declared
    QString CharSet() const;
    const CharsetEncoder &encoder() const { return *m_encoder; }

    // Per recipient.
    QStringList Body;
    QString Subject;
    QList<Mailbox> Recipients;

private:
    std::unique_ptr<CharsetEncoder> m_encoder;
};

} // namespace pelicast
