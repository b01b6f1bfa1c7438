#include "support/ScriptedSmtpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace pelicast::test {

ScriptedSmtpServer::ScriptedSmtpServer(const QStringList &script, QObject *parent)
    : QObject(parent), m_script(script)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedSmtpServer::onNewConnection);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        m_failure = QStringLiteral("cannot listen: ") + m_server.errorString();
}

QString ScriptedSmtpServer::position() const
{
    return QStringLiteral("step %1 of %2 (%3)")
        .arg(m_step + 1)
        .arg(m_script.size())
        .arg(m_script.value(m_step, QStringLiteral("end")));
}

void ScriptedSmtpServer::onNewConnection()
{
    advance();
}

void ScriptedSmtpServer::onReadyRead()
{
    m_in += m_socket->readAll();
    advance();
}

void ScriptedSmtpServer::onClientClosed()
{
    m_clientClosed = true;
    advance();
}

void ScriptedSmtpServer::fail(const QString &why)
{
    if (m_failure.isEmpty())
        m_failure = why + QStringLiteral(" at ") + position();
    detach(true);
}

void ScriptedSmtpServer::detach(bool abort)
{
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    if (abort) {
        socket->abort();
    } else {
        // What the script wrote before must reach the client ahead of the close.
        socket->flush();
        socket->disconnectFromHost();
    }
    socket->deleteLater();
    m_in.clear();
    m_clientClosed = false;
}

bool ScriptedSmtpServer::takeLine(QByteArray &line)
{
    const qsizetype end = m_in.indexOf('\n');
    if (end < 0)
        return false;
    line = m_in.left(end);
    m_in.remove(0, end + 1);
    if (!line.endsWith('\r')) {
        fail(QStringLiteral("line without CR: ") + QString::fromUtf8(line));
        return false;
    }
    line.chop(1);
    return true;
}

bool ScriptedSmtpServer::readMessage()
{
    QByteArray line;
    while (takeLine(line)) {
        if (line == ".") {
            QByteArray message;
            for (const QByteArray &l : std::as_const(m_messageLines))
                message += l + "\r\n";
            m_messages << message;
            m_messageLines.clear();
            return true;
        }
        if (line.startsWith('.'))
            line.remove(0, 1);
        m_messageLines << line;
    }
    return false;
}

void ScriptedSmtpServer::advance()
{
    while (m_failure.isEmpty() && m_step < m_script.size() && !m_pausing) {
        if (!m_socket) {
            m_socket = m_server.nextPendingConnection();
            if (!m_socket)
                return;
            ++m_connections;
            connect(m_socket, &QTcpSocket::readyRead, this, &ScriptedSmtpServer::onReadyRead);
            connect(m_socket, &QTcpSocket::disconnected, this,
                    &ScriptedSmtpServer::onClientClosed);
            m_in += m_socket->readAll();
        }
        const QString step = m_script.at(m_step);
        if (step.startsWith(QLatin1String("S: "))) {
            m_socket->write(step.mid(3).toUtf8() + "\r\n");
            ++m_step;
        } else if (step.startsWith(QLatin1String("pause "))) {
            m_pausing = true;
            QTimer::singleShot(step.mid(6).toInt(), this, [this] {
                m_pausing = false;
                ++m_step;
                advance();
            });
            return;
        } else if (step == QLatin1String("drop")) {
            detach(false);
            ++m_step;
        } else if (step == QLatin1String("closed")) {
            QByteArray line;
            if (takeLine(line))
                return fail(QStringLiteral("expected the close, got: ") + QString::fromUtf8(line));
            if (!m_clientClosed)
                return;
            detach(false);
            ++m_step;
        } else if (step == QLatin1String("C: <message>")) {
            if (!readMessage()) {
                if (m_clientClosed)
                    fail(QStringLiteral("client closed during the message"));
                return;
            }
            ++m_step;
        } else if (step.startsWith(QLatin1String("C: "))) {
            QByteArray raw;
            if (!takeLine(raw)) {
                if (m_clientClosed)
                    fail(QStringLiteral("client closed the connection"));
                return;
            }
            const QString line = QString::fromUtf8(raw);
            m_clientLines << line;
            QString expected = step.mid(3);
            const bool prefix = expected.endsWith(u'*');
            if (prefix)
                expected.chop(1);
            if (prefix ? !line.startsWith(expected) : line != expected)
                return fail(QStringLiteral("unexpected client line \"%1\"").arg(line));
            ++m_step;
        } else {
            return fail(QStringLiteral("bad script step"));
        }
    }
    if (isDone() && m_failure.isEmpty() && m_socket) {
        QByteArray line;
        if (takeLine(line)) {
            m_clientLines << QString::fromUtf8(line);
            fail(QStringLiteral("client line after the script: ") + QString::fromUtf8(line));
        }
    }
}

} // namespace pelicast::test
