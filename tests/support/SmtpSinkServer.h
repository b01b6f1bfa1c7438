#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace pelicast::test {

// A permissive SMTP server on 127.0.0.1 (port chosen by the system) that accepts every
// message and records it, for tests that send many: EHLO/HELO, RSET, NOOP, AUTH LOGIN and
// PLAIN, MAIL, RCPT, DATA, QUIT. Refusals are configured per recipient; a login can be
// required.
class SmtpSinkServer : public QObject
{
    Q_OBJECT
public:
    struct Message
    {
        QByteArray from;
        QList<QByteArray> to;
        QByteArray data;  // as the client meant it: dot-stuffing undone, CR LF line ends
        int connection;   // 1 for the first connection
        QString login;    // the user name the connection authenticated with, if any
    };

    explicit SmtpSinkServer(QObject *parent = nullptr);
    ~SmtpSinkServer() override;

    quint16 port() const { return m_server.serverPort(); }
    QString portText() const { return QString::number(port()); }

    // Offers AUTH LOGIN and PLAIN and accepts this pair only; MAIL before it is refused.
    void requireLogin(const QString &user, const QString &password);
    // RCPT TO for this address gets the reply instead of 250.
    void refuseRecipient(const QByteArray &address,
                         const QByteArray &reply = "550 5.1.1 Mailbox unavailable");
    void setOffersSmtpUtf8(bool offers) { m_smtpUtf8 = offers; }

    QList<Message> messages() const { return m_messages; }
    int connectionCount() const { return m_connectionCount; }
    int openConnections() const { return int(m_sessions.size()); }
    int quitCount() const { return m_quits; }
    // Every command line of every connection, prefixed with its connection number: "1 RSET".
    QStringList commands() const { return m_commands; }

Q_SIGNALS:
    void messageReceived();

private:
    struct Session;
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void handleLine(QTcpSocket *socket, Session &s, const QByteArray &line);
    void handleAuth(QTcpSocket *socket, Session &s, const QByteArray &line);
    void reply(QTcpSocket *socket, const QByteArray &line);

    QTcpServer m_server;
    QHash<QTcpSocket *, Session *> m_sessions;
    QList<Message> m_messages;
    QStringList m_commands;
    QHash<QByteArray, QByteArray> m_refused;
    QString m_user;
    QString m_password;
    bool m_loginRequired = false;
    bool m_smtpUtf8 = true;
    int m_connectionCount = 0;
    int m_quits = 0;
};

} // namespace pelicast::test
