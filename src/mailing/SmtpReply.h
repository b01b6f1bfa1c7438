#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace pelicast {

// One complete server reply: its three-digit code and the text of each of its lines
// (a multi-line reply has several, all with the same code).
struct SmtpReply
{
    int code = 0;
    QStringList lines;

    bool is(int expected) const { return code == expected; }
    QString text() const { return lines.join(u'\n'); }
    // "250 first line", for messages about a refused step.
    QString summary() const;
};

// Cuts the bytes received from the server into replies. A reply line may end with CR LF
// or a lone LF. A line longer than MaxLineLength characters, a line that does not start
// with a reply code, or a multi-line reply whose code changes, is a protocol error: the
// reader then keeps its error and yields nothing more.
class SmtpReplyReader
{
public:
    static constexpr qsizetype MaxLineLength = 16384;
    static constexpr qsizetype MaxLines = 1000;

    void append(const QByteArray &bytes);
    std::optional<SmtpReply> next();

    bool hasError() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    // Bytes received beyond the last complete reply (after STARTTLS there must be none).
    bool hasBufferedData() const { return m_pos < m_buffer.size() || !m_partial.lines.isEmpty(); }
    void clear();

private:
    bool takeLine(QByteArray &line);
    void fail(const QString &why);

    QByteArray m_buffer;
    qsizetype m_pos = 0;
    SmtpReply m_partial;
    QString m_error;
};

} // namespace pelicast
