#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace pelicast {

// Header fields of the outgoing message: RFC 2047 encoded words for text that is not plain
// ASCII, RFC 2231 parameters, and folding. No input can start a header line of its own:
// line breaks in names and subjects become blanks, and every value is quoted or encoded.
class MimeHeaders
{
public:
    // Lines of a folded field are at most this long (RFC 2047 asks for 76 where encoded
    // words appear, RFC 5322 for 78 everywhere).
    static constexpr qsizetype MaxLine = 76;

    // Converts a text into a charset; nothing when the charset cannot hold it.
    using Encoder = std::function<std::optional<QByteArray>(QStringView)>;

    // "Name: token token...", folded before a token where a line would grow too long. The
    // tokens are separated by single blanks; an empty token stands for an extra blank.
    static QByteArray field(const QByteArray &name, const QList<QByteArray> &tokens);

    // An unstructured text (the subject): plain words when it is short printable ASCII,
    // otherwise encoded words in the given charset.
    static QList<QByteArray> unstructured(const QString &text, const QByteArray &charset,
                                          const Encoder &encoder);
    // A display name as a phrase: atoms, a quoted string, or UTF-8 encoded words.
    static QList<QByteArray> phrase(const QString &name);
    // "Name <address>" (or the bare address), the tokens of one mailbox.
    static QList<QByteArray> mailbox(const QString &name, const QByteArray &address);

    // Encoded words of at most 60 characters each, every one complete in itself.
    static QList<QByteArray> encodedWords(QStringView text, const QByteArray &charset,
                                          const Encoder &encoder);

    // A parameter value as a token when it can be one, else as a quoted string.
    static QByteArray parameterValue(const QByteArray &value);
    // The tokens of a file name parameter ("filename" or "name"): the plain quoted form for
    // short printable ASCII, otherwise RFC 2231 UTF-8 segments (filename*0*=...).
    static QList<QByteArray> fileNameParameter(const QByteArray &parameter, const QString &name);
    // The file name with everything that is not printable ASCII replaced, for readers that
    // do not know RFC 2231.
    static QString asciiFallback(const QString &name);

    // RFC 5322 date-time, e.g. "Tue, 04 Mar 2025 09:05:00 +0100".
    static QByteArray date(const QDateTime &when);

    // Line breaks and other control characters turned into blanks.
    static QString singleLine(const QString &text);
};

} // namespace pelicast
