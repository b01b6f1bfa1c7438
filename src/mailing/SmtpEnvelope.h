#pragma once

#include <QByteArray>
#include <QList>

namespace pelicast {

// One SMTP transaction: the envelope addresses as they go on the wire (domains in ACE
// form) and the message itself, with CR LF line ends and not yet dot-stuffed.
struct SmtpEnvelope
{
    QByteArray sender;
    QList<QByteArray> recipients;
    QByteArray message;
    bool smtpUtf8 = false; // an address needs the server's SMTPUTF8 extension
};

} // namespace pelicast
