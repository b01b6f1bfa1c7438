#include "mailing/SmtpDataWriter.h"

namespace pelicast {

namespace {

// Every LF is the end of a CR LF pair, and the message ends with one (or is empty).
bool hasOnlyCrLfLines(const QByteArray &message)
{
    if (!message.isEmpty() && !message.endsWith("\r\n"))
        return false;
    for (qsizetype at = message.indexOf('\n'); at >= 0; at = message.indexOf('\n', at + 1)) {
        if (at == 0 || message.at(at - 1) != '\r')
            return false;
    }
    return true;
}

} // namespace

QByteArray SmtpDataWriter::dataBlock(const QByteArray &message)
{
    if (hasOnlyCrLfLines(message)) {
        // The usual case: copy the text between the lines that start with a dot.
        QByteArray out;
        out.reserve(message.size() + message.size() / 64 + 8);
        qsizetype from = 0;
        if (message.startsWith('.'))
            out += '.';
        const qsizetype last = message.size() - 1;
        for (qsizetype at = message.indexOf('\n'); at >= 0 && at < last;
             at = message.indexOf('\n', at + 1)) {
            if (message.at(at + 1) != '.')
                continue;
            out.append(message.constData() + from, at + 1 - from).append('.');
            from = at + 1;
        }
        out.append(message.constData() + from, message.size() - from);
        return out.append(".\r\n");
    }

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
