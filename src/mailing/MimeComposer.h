#pragma once

#include "mailing/SmtpEnvelope.h"

#include <QDateTime>

namespace pelicast {

class OutgoingMessage;

// Builds one recipient's copy of the message as it travels: headers, the text part and the
// attachments, with its envelope.
//
// Layout: without attachments the message is the text part itself; with them it is
// "multipart/mixed" with the text part first and one base64 "application/octet-stream"
// part per file. The text goes in the declared charset when that charset holds the whole
// personalised subject and body, in UTF-8 (and declared so) otherwise, and in UTF-8
// under the typed name when ICU does not know the name; "7bit" when the bytes allow it,
// quoted-printable otherwise.
class MimeComposer
{
public:
    // Throws pelicast::Error when an attachment cannot be read, an address cannot be sent
    // safely, or an address needs SMTPUTF8 and the server does not offer it.
    static SmtpEnvelope compose(const OutgoingMessage &message, bool serverSmtpUtf8,
                                const QDateTime &now = currentTime());

    // The time now, at the local offset from UTC. The offset is looked up at most once a
    // second: every lookup reads the time-zone file, and a send run composes thousands of
    // messages a minute.
    static QDateTime currentTime();

    static constexpr const char *MailAgent = "Pelicast 3.0";
};

} // namespace pelicast
