#include "mailing/MimeEncoding.h"

namespace pelicast {

namespace {

constexpr qsizetype qpLineLength = 76;
constexpr qsizetype base64LineLength = 76;
const char hexDigits[] = "0123456789ABCDEF";

} // namespace

bool MimeEncoding::isSevenBit(const QByteArray &text)
{
    qsizetype lineStart = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = uchar(text.at(i));
        if (c == 0 || c >= 0x80)
            return false;
        if (c == '\r') {
            if (i + 1 >= size || text.at(i + 1) != '\n')
                return false;
            if (i - lineStart > MaxLineOctets)
                return false;
            ++i;
            lineStart = i + 1;
        } else if (c == '\n') {
            return false;
        }
    }
    return size - lineStart <= MaxLineOctets;
}

QByteArray MimeEncoding::quotedPrintable(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 16);
    qsizetype column = 0;
    const qsizetype size = text.size();

    auto put = [&](const char *piece, qsizetype length) {
        // Room is kept for the "=" of a soft line break.
        if (column + length > qpLineLength - 1) {
            out += "=\r\n";
            column = 0;
        }
        out.append(piece, length);
        column += length;
    };

    for (qsizetype i = 0; i < size; ++i) {
        const auto c = uchar(text.at(i));
        if (c == '\r' && i + 1 < size && text.at(i + 1) == '\n') {
            out += "\r\n";
            column = 0;
            ++i;
            continue;
        }
        const bool lineEndFollows = i + 1 == size
                                    || (text.at(i + 1) == '\r' && i + 2 < size
                                        && text.at(i + 2) == '\n');
        const bool blank = c == ' ' || c == '\t';
        const bool literal = (c >= 33 && c <= 126 && c != '=') || (blank && !lineEndFollows);
        if (literal) {
            const char ch = char(c);
            put(&ch, 1);
        } else {
            const char escaped[3] = {'=', hexDigits[c >> 4], hexDigits[c & 15]};
            put(escaped, 3);
        }
    }
    return out;
}

QByteArray MimeEncoding::base64Lines(const QByteArray &data)
{
    const QByteArray flat = data.toBase64();
    QByteArray out;
    out.reserve(flat.size() + (flat.size() / base64LineLength + 1) * 2);
    for (qsizetype pos = 0; pos < flat.size(); pos += base64LineLength) {
        out.append(flat.constData() + pos, qMin(base64LineLength, flat.size() - pos));
        out += "\r\n";
    }
    return out;
}

} // namespace pelicast
