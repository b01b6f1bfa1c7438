#include "mailing/SmtpDataWriter.h"

namespace pelicast {

QByteArray SmtpDataWriter::dataBlock(const QByteArray &message)
{
    QByteArray out;
    out.reserve(message.size() + message.size() / 64 + 8);
    qsizetype pos = 0;
    const qsizetype size = message.size();
    while (pos < size) {
        qsizetype end = message.indexOf('\n', pos);
        const bool lastLine = end < 0;
        if (lastLine)
            end = size;
        qsizetype lineEnd = end;
        if (lineEnd > pos && message.at(lineEnd - 1) == '\r')
            --lineEnd;
        if (message.at(pos) == '.')
            out += '.';
        out.append(message.constData() + pos, lineEnd - pos);
        out += "\r\n";
        pos = lastLine ? size : end + 1;
    }
    out += ".\r\n";
    return out;
}

} // namespace pelicast
