#include "mailing/MimeEncoding.h"

#include <cstring>

namespace pelicast {

namespace {

constexpr qsizetype qpLineLength = 76;
constexpr qsizetype base64LineLength = 76;
const char hexDigits[] = "0123456789ABCDEF";

} // namespace

bool MimeEncoding::isSevenBit(const QByteArray &text)
{
    // Every body is checked once per recipient. Eight bytes at a time pass at once while
    // all of them are printable ASCII (0x0e to 0x7f); a word that holds anything else (a
    // line end, a control character, an 8-bit byte) is looked at byte by byte.
    constexpr quint64 ones = 0x0101010101010101ull;
    constexpr quint64 highBits = 0x8080808080808080ull;
    const auto *p = reinterpret_cast<const uchar *>(text.constData());
    const uchar *const end = p + text.size();
    const uchar *lineStart = p;
    while (p < end) {
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            // A byte's high bit is set in here when the byte is 0x80 or above, or below 0x0e.
            if (((word | ((word - ones * 0x0e) & ~word)) & highBits) == 0) {
                p += 8;
                continue;
            }
        }
        const uchar c = *p;
        if (c == 0 || c >= 0x80 || c == '\n')
            return false;
        if (c == '\r') {
            if (p + 1 >= end || p[1] != '\n')
                return false;
            if (p - lineStart > MaxLineOctets)
                return false;
            ++p;
            lineStart = p + 1;
        }
        ++p;
    }
    return end - lineStart <= MaxLineOctets;
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
