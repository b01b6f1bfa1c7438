#include "mailing/SmtpReply.h"

#include <cctype>

namespace pelicast {

QString SmtpReply::summary() const
{
    return QString::number(code) + u' ' + lines.value(0);
}

void SmtpReplyReader::append(const QByteArray &bytes)
{
    if (hasError())
        return;
    if (m_pos > 0 && m_pos == m_buffer.size()) {
        m_buffer.clear();
        m_pos = 0;
    }
    m_buffer += bytes;
}

void SmtpReplyReader::clear()
{
    m_buffer.clear();
    m_pos = 0;
    m_partial = {};
    m_error.clear();
}

void SmtpReplyReader::fail(const QString &why)
{
    m_error = why;
    m_buffer.clear();
    m_pos = 0;
    m_partial = {};
}

bool SmtpReplyReader::takeLine(QByteArray &line)
{
    const qsizetype end = m_buffer.indexOf('\n', m_pos);
    if (end < 0) {
        // An unfinished line may not grow without bound either (+1 for a CR still to come).
        if (m_buffer.size() - m_pos > MaxLineLength + 1)
            fail(QStringLiteral("reply line longer than %1 characters").arg(MaxLineLength));
        return false;
    }
    qsizetype length = end - m_pos;
    if (length > 0 && m_buffer.at(end - 1) == '\r')
        --length;
    line = m_buffer.mid(m_pos, length);
    m_pos = end + 1;
    if (m_pos > 65536) { // keep the buffer from holding every reply of the connection
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    return true;
}

std::optional<SmtpReply> SmtpReplyReader::next()
{
    QByteArray raw;
    while (!hasError() && takeLine(raw)) {
        const QString line = QString::fromUtf8(raw);
        if (line.size() > MaxLineLength) {
            fail(QStringLiteral("reply line longer than %1 characters").arg(MaxLineLength));
            break;
        }
        const bool digits = raw.size() >= 3 && std::isdigit(uchar(raw[0]))
                            && std::isdigit(uchar(raw[1])) && std::isdigit(uchar(raw[2]));
        const char separator = raw.size() > 3 ? raw[3] : ' ';
        if (!digits || (separator != ' ' && separator != '-')) {
            fail(QStringLiteral("malformed reply line: %1").arg(line.left(80)));
            break;
        }
        const int code = raw.left(3).toInt();
        if (!m_partial.lines.isEmpty() && code != m_partial.code) {
            fail(QStringLiteral("reply code changed within a multi-line reply"));
            break;
        }
        m_partial.code = code;
        m_partial.lines << line.mid(4);
        if (separator == ' ') {
            SmtpReply done = std::move(m_partial);
            m_partial = {};
            return done;
        }
        if (m_partial.lines.size() >= MaxLines) {
            fail(QStringLiteral("reply of more than %1 lines").arg(MaxLines));
            break;
        }
    }
    return std::nullopt;
}

} // namespace pelicast
