#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace pelicast {

// One mailbox of an address list: a display name (possibly empty) and the address.
struct Mailbox
{
    QString name;
    QString address;
    bool operator==(const Mailbox &) const = default;
};

// An address as it goes on the wire: the domain in its ACE form, the local part as it is.
struct WireAddress
{
    QByteArray bytes;
    bool needsSmtpUtf8 = false; // the local part is not ASCII
};

class MailAddress
{
public:
    // Reads an RFC 822 address list: "Name <a@b>", a bare address, several of them separated
    // by commas; quoted names may hold commas, comments in parentheses are skipped. Never
    // fails: a malformed address is kept as found and refused by toWire() when it is sent.
    // Empty entries (an empty text, ",,") give no mailbox.
    static QList<Mailbox> parseList(const QString &text);

    // The wire form of an address, or pelicast::Error when it cannot be sent safely
    // (control characters or line breaks, blanks outside quotes, angle brackets, a domain
    // that has no ACE form). An empty address stays empty (the null sender).
    static WireAddress toWire(const QString &address);
};

} // namespace pelicast
