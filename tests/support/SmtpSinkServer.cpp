#include "support/SmtpSinkServer.h"

#include <QTcpSocket>

namespace pelicast::test {

struct SmtpSinkServer::Session
{
    int number = 0;
    QByteArray in;
    enum class Auth { None, LoginUser, LoginPassword } auth = Auth::None;
    QString pendingUser;
    QString login;
    bool inData = false;
    QByteArray from;
    QList<QByteArray> to;
    QByteArray data;
};

namespace {

QByteArray angleAddress(const QByteArray &argument)
{
    const qsizetype open = argument.indexOf('<');
    const qsizetype close = argument.indexOf('>', open + 1);
    return open < 0 || close < 0 ? QByteArray() : argument.mid(open + 1, close - open - 1);
}

} // namespace

SmtpSinkServer::SmtpSinkServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &SmtpSinkServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

SmtpSinkServer::~SmtpSinkServer()
{
    for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
        it.key()->disconnect(this);
        delete it.value();
    }
}

void SmtpSinkServer::requireLogin(const QString &user, const QString &password)
{
    m_loginRequired = true;
    m_user = user;
    m_password = password;
}

void SmtpSinkServer::refuseRecipient(const QByteArray &address, const QByteArray &reply)
{
    m_refused.insert(address, reply);
}

void SmtpSinkServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto *session = new Session;
        session->number = ++m_connectionCount;
        m_sessions.insert(socket, session);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            delete m_sessions.take(socket);
            socket->deleteLater();
        });
        reply(socket, "220 sink.test ESMTP ready");
    }
}

void SmtpSinkServer::reply(QTcpSocket *socket, const QByteArray &line)
{
    socket->write(line + "\r\n");
}

void SmtpSinkServer::onReadyRead(QTcpSocket *socket)
{
    Session *s = m_sessions.value(socket);
    if (!s)
        return;
    s->in += socket->readAll();
    qsizetype end;
    while (m_sessions.contains(socket) && (end = s->in.indexOf("\r\n")) >= 0) {
        const QByteArray line = s->in.left(end);
        s->in.remove(0, end + 2);
        handleLine(socket, *s, line);
    }
}

void SmtpSinkServer::handleLine(QTcpSocket *socket, Session &s, const QByteArray &line)
{
    if (s.inData) {
        if (line != ".") {
            s.data += (line.startsWith('.') ? line.mid(1) : line) + "\r\n";
            return;
        }
        s.inData = false;
        m_messages << Message{s.from, s.to, s.data, s.number, s.login};
        s.from.clear();
        s.to.clear();
        s.data.clear();
        reply(socket, "250 2.0.0 Queued");
        emit messageReceived();
        return;
    }
    if (s.auth != Session::Auth::None)
        return handleAuth(socket, s, line);

    m_commands << QString::number(s.number) + u' ' + QString::fromUtf8(line);
    const QList<QByteArray> words = line.split(' ');
    const QByteArray verb = words.value(0).toUpper();
    if (verb == "EHLO") {
        QByteArray text = "250-sink.test\r\n";
        if (m_loginRequired)
            text += "250-AUTH LOGIN PLAIN\r\n";
        if (m_smtpUtf8)
            text += "250-SMTPUTF8\r\n";
        reply(socket, text + "250 8BITMIME");
    } else if (verb == "HELO" || verb == "NOOP") {
        reply(socket, "250 OK");
    } else if (verb == "RSET") {
        s.from.clear();
        s.to.clear();
        reply(socket, "250 OK");
    } else if (verb == "AUTH" && m_loginRequired) {
        const QByteArray mechanism = words.value(1).toUpper();
        if (mechanism == "LOGIN") {
            s.auth = Session::Auth::LoginUser;
            reply(socket, "334 VXNlcm5hbWU6");
        } else if (mechanism == "PLAIN") {
            const QList<QByteArray> parts =
                QByteArray::fromBase64(words.value(2)).split('\0');
            const bool ok = parts.size() == 3 && QString::fromUtf8(parts[1]) == m_user
                            && QString::fromUtf8(parts[2]) == m_password;
            if (ok)
                s.login = m_user;
            reply(socket, ok ? "235 2.7.0 Accepted" : "535 5.7.8 Bad credentials");
        } else {
            reply(socket, "504 Unknown mechanism");
        }
    } else if (verb == "MAIL") {
        if (m_loginRequired && s.login.isEmpty())
            return reply(socket, "530 5.7.0 Authentication required");
        s.from = angleAddress(line);
        reply(socket, "250 OK");
    } else if (verb == "RCPT") {
        const QByteArray to = angleAddress(line);
        if (m_refused.contains(to))
            return reply(socket, m_refused.value(to));
        s.to << to;
        reply(socket, "250 OK");
    } else if (verb == "DATA") {
        if (s.to.isEmpty())
            return reply(socket, "503 5.5.1 No recipients");
        s.inData = true;
        reply(socket, "354 End data with <CR><LF>.<CR><LF>");
    } else if (verb == "QUIT") {
        ++m_quits;
        reply(socket, "221 Bye");
        socket->disconnectFromHost();
    } else {
        reply(socket, "500 Unknown command");
    }
}

void SmtpSinkServer::handleAuth(QTcpSocket *socket, Session &s, const QByteArray &line)
{
    const QString text = QString::fromUtf8(QByteArray::fromBase64(line));
    if (s.auth == Session::Auth::LoginUser) {
        s.pendingUser = text;
        s.auth = Session::Auth::LoginPassword;
        return reply(socket, "334 UGFzc3dvcmQ6");
    }
    s.auth = Session::Auth::None;
    const bool ok = s.pendingUser == m_user && text == m_password;
    if (ok)
        s.login = m_user;
    reply(socket, ok ? "235 2.7.0 Accepted" : "535 5.7.8 Bad credentials");
}

} // namespace pelicast::test
