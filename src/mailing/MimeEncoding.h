#pragma once

#include <QByteArray>

namespace pelicast {

// The content transfer encodings of the outgoing message (RFC 2045).
class MimeEncoding
{
public:
    static constexpr qsizetype MaxLineOctets = 998;

    // True when the bytes may travel as "7bit": no byte above 127, no NUL, no CR or LF
    // other than CR LF pairs, no line longer than 998 octets.
    static bool isSevenBit(const QByteArray &text);

    // Quoted-printable: CR LF pairs stay hard line breaks, every other byte that is not
    // plain printable ASCII is escaped, lines are at most 76 characters.
    static QByteArray quotedPrintable(const QByteArray &text);

    // Base64 in lines of 76 characters, each ending in CR LF.
    static QByteArray base64Lines(const QByteArray &data);
};

} // namespace pelicast
