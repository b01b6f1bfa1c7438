#include "mailing/MimeHeaders.h"

#include <cstdio>

namespace pelicast {

namespace {

constexpr qsizetype maxWord = 60;        // encoded words, atoms and quoted strings
constexpr qsizetype maxFileNameSegment = 50;

bool isPrintableAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

bool isAtext(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
        return true;
    return QStringView(u"!#$%&'*+-/=?^_`{|}~").contains(QChar(c));
}

bool isTokenChar(char c)
{
    return c > 0x20 && c < 0x7f && !QByteArrayView("()<>@,;:\\\"/[]?=").contains(c);
}

QByteArray quoted(const QString &text)
{
    QByteArray out = "\"";
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += '\\';
        out += char(c.unicode());
    }
    return out + '"';
}

bool isAttrChar(uchar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
           || QByteArrayView("!#$&+-.^_`|~").contains(char(c));
}

} // namespace

QString MimeHeaders::singleLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    }
    return out;
}

QByteArray MimeHeaders::field(const QByteArray &name, const QList<QByteArray> &tokens)
{
    // Built in place, every header of every recipient's copy comes through here.
    qsizetype room = name.size() + 3;
    for (const QByteArray &token : tokens)
        room += token.size() + 3;
    QByteArray out;
    out.reserve(room);
    out += name;
    out += ':';
    qsizetype lineStart = 0;
    for (const QByteArray &token : tokens) {
        const qsizetype lineSize = out.size() - lineStart;
        const bool lineHasValue = lineSize > name.size() + 1;
        if (!token.isEmpty() && lineHasValue && lineSize + 1 + token.size() > MaxLine) {
            out += "\r\n";
            lineStart = out.size();
        }
        out += ' ';
        out += token;
    }
    out += "\r\n";
    return out;
}

QList<QByteArray> MimeHeaders::encodedWords(QStringView text, const QByteArray &charset,
                                            const Encoder &encoder)
{
    const qsizetype overhead = charset.size() + 7; // =?charset?B?...?=
    const qsizetype maxRaw = (maxWord - overhead) / 4 * 3;
    if (maxRaw < 6 && charset != "UTF-8") // a charset name too long to leave room for text
        return encodedWords(text, "UTF-8", [](QStringView t) { return t.toUtf8(); });

    QList<QByteArray> words;
    auto addWord = [&](const QByteArray &raw) {
        words << "=?" + charset + "?B?" + raw.toBase64() + "?=";
    };
    // Each word holds whole characters and ends in the charset's initial state, so the
    // chunk is converted on its own and grown one character at a time.
    qsizetype start = 0;
    QByteArray fitting;
    qsizetype end = start;
    while (end < text.size()) {
        qsizetype next = end + 1;
        if (text.at(end).isHighSurrogate() && next < text.size() && text.at(next).isLowSurrogate())
            ++next;
        const std::optional<QByteArray> raw = encoder(text.sliced(start, next - start));
        if (!raw) // cannot happen when the caller chose a charset that holds the text
            return encodedWords(text, "UTF-8", [](QStringView t) { return t.toUtf8(); });
        const QByteArray &bytes = *raw;
        if (bytes.size() > maxRaw && end > start) {
            addWord(fitting);
            start = end;
            fitting.clear();
            continue;
        }
        fitting = bytes;
        end = next;
    }
    if (end > start || words.isEmpty())
        addWord(fitting);
    return words;
}

QList<QByteArray> MimeHeaders::unstructured(const QString &text, const QByteArray &charset,
                                            const Encoder &encoder)
{
    const QString line = singleLine(text);
    bool plain = isPrintableAscii(line) && !line.contains(QLatin1String("=?"));
    const QStringList words = line.split(u' ');
    for (const QString &word : words)
        plain = plain && word.size() <= maxWord;
    if (!plain)
        return encodedWords(line, charset, encoder);
    QList<QByteArray> tokens;
    for (const QString &word : words)
        tokens << word.toLatin1();
    return tokens;
}

QList<QByteArray> MimeHeaders::phrase(const QString &name)
{
    const QString text = singleLine(name).trimmed();
    if (text.isEmpty())
        return {};
    if (isPrintableAscii(text) && !text.contains(QLatin1String("=?"))) {
        bool atoms = true;
        for (QChar c : text)
            atoms = atoms && (c == u' ' || isAtext(c.unicode()));
        if (atoms) {
            QList<QByteArray> tokens;
            for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
                if (word.size() > maxWord)
                    return encodedWords(text, "UTF-8", [](QStringView t) { return t.toUtf8(); });
                tokens << word.toLatin1();
            }
            return tokens;
        }
        if (text.size() <= maxWord)
            return {quoted(text)};
    }
    return encodedWords(text, "UTF-8", [](QStringView t) { return t.toUtf8(); });
}

QList<QByteArray> MimeHeaders::mailbox(const QString &name, const QByteArray &address)
{
    QList<QByteArray> tokens = phrase(name);
    if (tokens.isEmpty())
        return {address.isEmpty() ? QByteArray("<>") : address};
    tokens << '<' + address + '>';
    return tokens;
}

QByteArray MimeHeaders::parameterValue(const QByteArray &value)
{
    bool token = !value.isEmpty();
    for (char c : value)
        token = token && isTokenChar(c);
    return token ? value : quoted(QString::fromLatin1(value));
}

QString MimeHeaders::asciiFallback(const QString &name)
{
    QString out;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (c.isLowSurrogate())
            continue;
        out += (u < 0x20 || u > 0x7e || u == u'"' || u == u'\\') ? QChar(u'_') : c;
    }
    return out;
}

QList<QByteArray> MimeHeaders::fileNameParameter(const QByteArray &parameter, const QString &name)
{
    if (isPrintableAscii(name) && name.size() <= maxWord && !name.contains(u'"')
        && !name.contains(u'\\'))
        return {parameter + '=' + quoted(name)};

    // RFC 2231: UTF-8, percent-encoded, cut into numbered segments so that lines stay short.
    QByteArray encoded;
    QList<QByteArray> segments;
    const QByteArray utf8 = name.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto c = uchar(utf8.at(i));
        QByteArray piece = isAttrChar(c) ? QByteArray(1, char(c))
                                         : '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        if (encoded.size() + piece.size() > maxFileNameSegment) {
            segments << encoded;
            encoded.clear();
        }
        encoded += piece;
    }
    segments << encoded;

    QList<QByteArray> tokens;
    for (qsizetype n = 0; n < segments.size(); ++n) {
        const QByteArray prefix = n == 0 ? "UTF-8''" : "";
        const QByteArray key = segments.size() == 1
                                   ? parameter + '*'
                                   : parameter + '*' + QByteArray::number(n) + '*';
        tokens << key + '=' + prefix + segments.at(n) + (n + 1 < segments.size() ? ";" : "");
    }
    return tokens;
}

QByteArray MimeHeaders::date(const QDateTime &when)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = when.date();
    const QTime t = when.time();
    const int offset = when.offsetFromUtc() / 60;
    const int absOffset = offset < 0 ? -offset : offset;
    // Formatted in one go: this runs for every recipient.
    char text[48];
    const int length = std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d",
                                     days[d.dayOfWeek() - 1], d.day(), months[d.month() - 1],
                                     d.year(), t.hour(), t.minute(), t.second(),
                                     offset < 0 ? '-' : '+', absOffset / 60, absOffset % 60);
    return QByteArray(text, qBound(0, length, int(sizeof text) - 1));
}

} // namespace pelicast
