#include "common/TextLines.h"

#include <QStringDecoder>

namespace pelicast {

QString decodeTextLine(QByteArrayView bytes)
{
    // A stateless decoder per line keeps one bad line from spoiling the next; an initial
    // BOM inside the text is a character like any other here.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

QList<QByteArray> splitRawLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            lines << bytes.mid(start);
            break;
        }
        qsizetype lineEnd = end;
        if (lineEnd > start && bytes.at(lineEnd - 1) == '\r')
            --lineEnd;
        lines << bytes.mid(start, lineEnd - start);
        start = end + 1;
    }
    return lines;
}

QStringList decodeTextLines(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray text = bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes;
    QStringList lines;
    for (const QByteArray &raw : splitRawLines(text))
        lines << decodeTextLine(raw);
    return lines;
}

QByteArray encodeTextLines(const QStringList &lines)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += lines.at(i).toUtf8();
    }
    return out;
}

} // namespace pelicast
