#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace pelicast::test {

// An SMTP peer that plays one whole conversation from a script, on 127.0.0.1 and a port
// chosen by the system. Steps, one string each, in order:
//   "S: 220 hello"   the server writes the text and CR LF
//   "C: EHLO *"      the server expects this line from the client; a final "*" matches
//                    any rest of the line
//   "C: <message>"   the server reads a message up to the lone "." and keeps it, with the
//                    dot-stuffing undone (see messages())
//   "pause 200"      the server waits 200 ms before the next step
//   "drop"           the server closes the connection (after what it wrote so far)
//   "closed"         the server expects the client to close the connection
// Steps after "drop" or "closed" belong to the client's next connection. When the client
// deviates (another line, a line without CR, an early close, a line after the script's
// end) the server records the first deviation in failure() and closes the connection.
// After the last step the server stays silent.
class ScriptedSmtpServer : public QObject
{
    Q_OBJECT
public:
    explicit ScriptedSmtpServer(const QStringList &script, QObject *parent = nullptr);

    quint16 port() const { return m_server.serverPort(); }
    bool isDone() const { return m_step == m_script.size(); }
    QString failure() const { return m_failure; }
    // Every step ran and the client never deviated.
    bool succeeded() const { return isDone() && m_failure.isEmpty(); }
    // Where the script stands, for a failure message: "step 4 of 9 (C: RSET)".
    QString position() const;

    QStringList clientLines() const { return m_clientLines; } // message lines not included
    QList<QByteArray> messages() const { return m_messages; }
    int connectionCount() const { return m_connections; }

private:
    void onNewConnection();
    void onReadyRead();
    void onClientClosed();
    void advance();
    bool takeLine(QByteArray &line);
    bool readMessage();
    void fail(const QString &why);
    void detach(bool abort);

    QStringList m_script;
    qsizetype m_step = 0;
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    bool m_clientClosed = false;
    bool m_pausing = false;
    QByteArray m_in;
    QList<QByteArray> m_messageLines;
    QStringList m_clientLines;
    QList<QByteArray> m_messages;
    QString m_failure;
    int m_connections = 0;
};

} // namespace pelicast::test
