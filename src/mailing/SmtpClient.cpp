#include "mailing/SmtpClient.h"

#include "mailing/SmtpDataWriter.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslSocket>

namespace pelicast {

namespace {

// How long a closing socket may take to write its QUIT before it is dropped.
constexpr int closeGraceMs = 5000;

QByteArray base64(const QString &text)
{
    return text.toUtf8().toBase64();
}

} // namespace

SmtpClient::SmtpClient(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SmtpClient::onTimeout);
}

SmtpClient::~SmtpClient()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

bool SmtpClient::hasExtension(const QString &keyword) const
{
    return m_extensions.contains(keyword.toUpper());
}

// --- operations -------------------------------------------------------------------------

bool SmtpClient::Connected()
{
    if (m_link == Link::Closed || m_link == Link::Connecting)
        return false;
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        return true;
    if (m_op == Op::Send)
        return false; // the send notices the loss itself and reports it first
    dropSocket(false);
    m_link = Link::Closed;
    fireDisconnected();
    return false;
}

void SmtpClient::Connect()
{
    if (m_op != Op::None || m_link != Link::Closed) {
        qWarning("SmtpClient::Connect while a connection is open or busy");
        return;
    }
    m_op = Op::Connect;
    m_link = Link::Connecting;
    m_lastError.clear();
    m_tcpStood = false;
    m_authenticated = false;
    m_tlsStarted = false;
    m_extensions.clear();
    m_authMechanisms.clear();
    m_reader.clear();

    if (Port < 1 || Port > 65535) {
        failConnect(QStringLiteral("port %1 out of range").arg(Port), false);
        return;
    }
    if (security != Security::None && !QSslSocket::supportsSsl()) {
        failConnect(QStringLiteral("TLS is not available"), false);
        return;
    }

    if (security == Security::None) {
        m_socket = new QTcpSocket(this);
    } else {
        auto *socket = new QSslSocket(this);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!extraCaCertificates.isEmpty())
            tls.addCaCertificates(extraCaCertificates);
        if (acceptAnyCertificate)
            tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        socket->setSslConfiguration(tls);
        connect(socket, &QSslSocket::encrypted, this, &SmtpClient::onEncrypted);
        connect(socket, &QSslSocket::encryptedBytesWritten, this, &SmtpClient::onBytesWritten);
        connect(socket, &QSslSocket::sslErrors, this, &SmtpClient::onSslErrors);
        m_socket = socket;
    }

    connect(m_socket, &QAbstractSocket::connected, this, &SmtpClient::onSocketConnected);
    connect(m_socket, &QIODevice::readyRead, this, &SmtpClient::onReadyRead);
    connect(m_socket, &QIODevice::bytesWritten, this, &SmtpClient::onBytesWritten);
    connect(m_socket, &QAbstractSocket::disconnected, this, &SmtpClient::onSocketLost);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &SmtpClient::onSocketLost);

    m_timer.start(timeouts.connect);
    if (security == Security::Tls)
        tlsSocket()->connectToHostEncrypted(Host, quint16(Port));
    else
        m_socket->connectToHost(Host, quint16(Port));
}

void SmtpClient::Send(const SmtpEnvelope &envelope)
{
    if (m_op != Op::None) {
        qWarning("SmtpClient::Send while busy");
        return;
    }
    m_op = Op::Send;
    m_lastError.clear();
    if (m_link != Link::Ready || !m_socket
        || m_socket->state() != QAbstractSocket::ConnectedState) {
        m_lastError = QStringLiteral("not connected");
        finish(Op::Send, false);
        return;
    }
    m_envelope = envelope;
    m_nextRecipient = 0;
    command("RSET", &SmtpClient::onRset, timeouts.command);
}

void SmtpClient::Disconnect()
{
    switch (m_link) {
    case Link::Closed:
        return;
    case Link::Connecting:
        failConnect(QStringLiteral("disconnected while connecting"), true);
        return;
    case Link::Ready:
    case Link::Broken:
        if (m_op == Op::Send)
            failSend(QStringLiteral("disconnected while sending"));
        dropSocket(true);
        m_link = Link::Closed;
        fireDisconnected();
        return;
    }
}

// --- connection set-up: one handler per state ---------------------------------------------

void SmtpClient::onSocketConnected()
{
    if (m_op != Op::Connect)
        return;
    m_tcpStood = true;
    // With implicit TLS the greeting comes after the handshake; the same wait covers both.
    expect(&SmtpClient::onGreeting, timeouts.greeting);
    emit OnConnected();
}

void SmtpClient::onGreeting(const SmtpReply &reply)
{
    if (!reply.is(220))
        return failConnect(QStringLiteral("greeting refused: ") + reply.summary(), true);
    sendEhlo();
}

void SmtpClient::sendEhlo()
{
    m_extensions.clear();
    m_authMechanisms.clear();
    command("EHLO " + heloName(), &SmtpClient::onEhlo, timeouts.command);
}

void SmtpClient::onEhlo(const SmtpReply &reply)
{
    if (!reply.is(250)) {
        if (m_tlsStarted)
            return failConnect(QStringLiteral("EHLO refused after STARTTLS: ") + reply.summary(),
                               true);
        return command("HELO " + heloName(), &SmtpClient::onHelo, timeouts.command);
    }
    noteExtensions(reply);
    if (security == Security::StartTls && !m_tlsStarted) {
        if (!hasExtension(QStringLiteral("STARTTLS")))
            return failConnect(QStringLiteral("the server does not offer STARTTLS"), true);
        return command("STARTTLS", &SmtpClient::onStartTls, timeouts.command);
    }
    connectionReady();
}

void SmtpClient::onHelo(const SmtpReply &reply)
{
    if (!reply.is(250))
        return failConnect(QStringLiteral("HELO refused: ") + reply.summary(), true);
    if (security == Security::StartTls)
        return failConnect(QStringLiteral("STARTTLS needs EHLO"), true);
    connectionReady();
}

void SmtpClient::onStartTls(const SmtpReply &reply)
{
    if (!reply.is(220))
        return failConnect(QStringLiteral("STARTTLS refused: ") + reply.summary(), true);
    // Anything the server sent after its 220 came in plain text and could be an
    // attacker's; it must not be read as if it had come through TLS.
    if (m_reader.hasBufferedData() || m_socket->bytesAvailable() > 0)
        return failConnect(QStringLiteral("plain-text data after STARTTLS"), false);
    m_tlsStarted = true;
    m_timer.start(timeouts.greeting);
    tlsSocket()->startClientEncryption();
}

void SmtpClient::onEncrypted()
{
    if (m_op == Op::Connect && m_tlsStarted)
        sendEhlo();
}

void SmtpClient::connectionReady()
{
    m_timer.stop();
    m_link = Link::Ready;
    finish(Op::Connect, true);
}

void SmtpClient::noteExtensions(const SmtpReply &reply)
{
    // The first line names the server; every other line is one extension.
    for (qsizetype i = 1; i < reply.lines.size(); ++i) {
        const QString &line = reply.lines.at(i);
        const QString keyword = line.section(u' ', 0, 0).section(u'=', 0, 0).toUpper();
        if (!keyword.isEmpty())
            m_extensions.insert(keyword);
        if (line.startsWith(QLatin1String("AUTH "), Qt::CaseInsensitive)
            || line.startsWith(QLatin1String("AUTH="), Qt::CaseInsensitive)) {
            const QStringList mechanisms = line.mid(5).toUpper().split(u' ', Qt::SkipEmptyParts);
            for (const QString &m : mechanisms) {
                if (!m_authMechanisms.contains(m))
                    m_authMechanisms << m;
            }
        }
    }
}

QByteArray SmtpClient::heloName() const
{
    // RFC 5321 wants a domain name or an address literal here.
    static const QRegularExpression domain(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$"));
    const QString host = QHostInfo::localHostName();
    if (domain.match(host).hasMatch())
        return host.toLatin1();
    const QHostAddress local = m_socket ? m_socket->localAddress() : QHostAddress();
    if (local.protocol() == QAbstractSocket::IPv6Protocol)
        return "[IPv6:" + local.toString().toLatin1() + "]";
    if (local.protocol() == QAbstractSocket::IPv4Protocol)
        return "[" + local.toString().toLatin1() + "]";
    return "localhost";
}

// --- one transaction: one handler per state ------------------------------------------------

void SmtpClient::onRset(const SmtpReply &reply)
{
    if (!reply.is(250))
        return failSend(QStringLiteral("RSET refused: ") + reply.summary());
    startAuthentication();
}

void SmtpClient::startAuthentication()
{
    if (authenticationType != atLogin || m_authenticated)
        return sendMailFrom();
    // The connection may stand from a run that wanted no TLS.
    const QSslSocket *tls = tlsSocket();
    if (security != Security::None && (!tls || !tls->isEncrypted()))
        return failSend(QStringLiteral("credentials are never sent without TLS"));
    if (m_authMechanisms.contains(QStringLiteral("LOGIN")))
        return command("AUTH LOGIN", &SmtpClient::onAuthLogin, timeouts.command);
    if (m_authMechanisms.contains(QStringLiteral("PLAIN"))) {
        const QString plain = QChar(0) + Username + QChar(0) + Password;
        return command("AUTH PLAIN " + base64(plain), &SmtpClient::onAuthPassword,
                       timeouts.command);
    }
    sendMailFrom(); // the server offers neither: send without authenticating
}

void SmtpClient::onAuthLogin(const SmtpReply &reply)
{
    if (!reply.is(334))
        return failSend(QStringLiteral("AUTH LOGIN refused: ") + reply.summary());
    command(base64(Username), &SmtpClient::onAuthUsername, timeouts.command);
}

void SmtpClient::onAuthUsername(const SmtpReply &reply)
{
    if (!reply.is(334))
        return failSend(QStringLiteral("user name refused: ") + reply.summary());
    command(base64(Password), &SmtpClient::onAuthPassword, timeouts.command);
}

void SmtpClient::onAuthPassword(const SmtpReply &reply)
{
    if (!reply.is(235))
        return failSend(QStringLiteral("login refused: ") + reply.summary());
    m_authenticated = true;
    sendMailFrom();
}

void SmtpClient::sendMailFrom()
{
    QByteArray line = "MAIL FROM:<" + m_envelope.sender + ">";
    if (m_envelope.smtpUtf8) {
        if (!hasExtension(QStringLiteral("SMTPUTF8")))
            return failSend(QStringLiteral("the server does not offer SMTPUTF8"));
        line += " SMTPUTF8";
    }
    command(line, &SmtpClient::onMailFrom, timeouts.mail);
}

void SmtpClient::onMailFrom(const SmtpReply &reply)
{
    if (!reply.is(250))
        return failSend(QStringLiteral("sender refused: ") + reply.summary());
    sendNextRecipient();
}

void SmtpClient::sendNextRecipient()
{
    if (m_nextRecipient < m_envelope.recipients.size()) {
        const QByteArray &to = m_envelope.recipients.at(m_nextRecipient++);
        return command("RCPT TO:<" + to + ">", &SmtpClient::onRcptTo, timeouts.rcpt);
    }
    command("DATA", &SmtpClient::onData, timeouts.dataStart);
}

void SmtpClient::onRcptTo(const SmtpReply &reply)
{
    if (!reply.is(250) && !reply.is(251))
        return failSend(QStringLiteral("recipient refused: ") + reply.summary());
    sendNextRecipient();
}

void SmtpClient::onData(const SmtpReply &reply)
{
    if (!reply.is(354))
        return failSend(QStringLiteral("DATA refused: ") + reply.summary());
    m_writingData = true;
    expect(&SmtpClient::onDataEnd, timeouts.dataBlock);
    m_socket->write(SmtpDataWriter::dataBlock(m_envelope.message));
    m_socket->flush();
    m_envelope.message.clear();
}

void SmtpClient::onDataEnd(const SmtpReply &reply)
{
    m_writingData = false;
    if (!reply.is(250))
        return failSend(QStringLiteral("message refused: ") + reply.summary());
    finish(Op::Send, true);
}

// --- socket events ---------------------------------------------------------------------------

void SmtpClient::command(const QByteArray &line, Handler handler, SmtpTimeouts::ms timeout)
{
    expect(handler, timeout);
    m_socket->write(line + "\r\n");
    // Out at once rather than on the next turn of the event loop: one wake-up less per
    // command, and a command is short enough for the socket to take it whole.
    m_socket->flush();
}

void SmtpClient::expect(Handler handler, SmtpTimeouts::ms timeout)
{
    m_handler = handler;
    m_timer.start(timeout);
}

void SmtpClient::onReadyRead()
{
    m_reader.append(m_socket->readAll());
    while (m_socket) {
        const std::optional<SmtpReply> reply = m_reader.next();
        if (!reply) {
            if (m_reader.hasError())
                fail(QStringLiteral("protocol error: ") + m_reader.error());
            return;
        }
        if (!m_handler)
            continue; // unsolicited, e.g. a 421 before the server hangs up
        const Handler handler = std::exchange(m_handler, nullptr);
        m_timer.stop();
        (this->*handler)(*reply);
    }
}

void SmtpClient::onBytesWritten()
{
    if (!m_writingData || !m_socket)
        return;
    const QSslSocket *tls = tlsSocket();
    if (m_socket->bytesToWrite() == 0 && (!tls || tls->encryptedBytesToWrite() == 0)) {
        m_writingData = false;
        m_timer.start(timeouts.dataEnd);
    } else {
        m_timer.start(timeouts.dataBlock);
    }
}

void SmtpClient::onSocketLost()
{
    if (!m_socket)
        return;
    const QString why = QStringLiteral("connection lost: ") + m_socket->errorString();
    if (m_op != Op::None)
        return fail(why);
    if (m_link == Link::Ready) {
        // Closed by the server between two sends. The result of the last send may still be
        // on its way to the caller; the closing is reported after it.
        QTcpSocket *lost = m_socket;
        lost->disconnect(this);
        QMetaObject::invokeMethod(
            this,
            [this, lost] {
                if (m_link != Link::Ready || m_socket != lost)
                    return;
                dropSocket(false);
                m_link = Link::Closed;
                fireDisconnected();
            },
            Qt::QueuedConnection);
    }
}

void SmtpClient::onSslErrors(const QList<QSslError> &errors)
{
    if (acceptAnyCertificate) {
        if (QSslSocket *tls = tlsSocket())
            tls->ignoreSslErrors();
        return;
    }
    if (m_lastError.isEmpty() && !errors.isEmpty())
        m_lastError = QStringLiteral("certificate refused: ") + errors.first().errorString();
}

void SmtpClient::onTimeout()
{
    fail(QStringLiteral("timed out"));
}

// --- ending ----------------------------------------------------------------------------------

void SmtpClient::fail(const QString &why, bool sayQuit)
{
    switch (m_op) {
    case Op::Connect:
        return failConnect(why, sayQuit);
    case Op::Send:
        return failSend(why);
    case Op::None:
        if (m_link == Link::Ready) { // garbage from the server while idle
            dropSocket(false);
            m_link = Link::Closed;
            fireDisconnected();
        }
        return;
    }
}

void SmtpClient::failConnect(const QString &why, bool sayQuit)
{
    if (m_lastError.isEmpty())
        m_lastError = why;
    m_timer.stop();
    m_handler = nullptr;
    dropSocket(sayQuit);
    m_link = Link::Closed;
    fireDisconnected();
    finish(Op::Connect, false);
}

void SmtpClient::failSend(const QString &why)
{
    if (m_lastError.isEmpty())
        m_lastError = why;
    m_timer.stop();
    m_handler = nullptr;
    m_writingData = false;
    // The socket stays as it is until Disconnect, so that the failure is reported before
    // the closing is; events of a dying socket must not report it earlier.
    if (m_socket)
        m_socket->disconnect(this);
    m_link = Link::Broken;
    finish(Op::Send, false);
}

void SmtpClient::finish(Op op, bool ok)
{
    m_op = Op::None;
    QMetaObject::invokeMethod(
        this,
        [this, op, ok] {
            if (op == Op::Connect)
                emit connectFinished(ok);
            else
                emit sendFinished(ok);
        },
        Qt::QueuedConnection);
}

void SmtpClient::dropSocket(bool sayQuit)
{
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    m_reader.clear();
    m_writingData = false;
    if (sayQuit && socket->state() == QAbstractSocket::ConnectedState) {
        // QUIT goes out, but its reply is not awaited.
        socket->write("QUIT\r\n");
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(closeGraceMs, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        return;
    }
    socket->abort();
    socket->deleteLater();
}

QSslSocket *SmtpClient::tlsSocket() const
{
    return qobject_cast<QSslSocket *>(m_socket);
}

void SmtpClient::fireDisconnected()
{
    if (!m_tcpStood)
        return;
    m_tcpStood = false;
    m_authenticated = false;
    emit OnDisconnected();
}

} // namespace pelicast
