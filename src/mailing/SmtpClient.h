#pragma once

#include "mailing/SmtpEnvelope.h"
#include "mailing/SmtpReply.h"
#include "mailing/SmtpTimeouts.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QSslCertificate>
#include <QSslError>
#include <QString>
#include <QTimer>

class QSslSocket;
class QTcpSocket;

namespace pelicast {

// The program's SMTP client, on QSslSocket. Every operation is asynchronous: Connect and
// Send start a conversation whose result arrives by connectFinished / sendFinished, always
// from the event loop and never from inside the call. Each protocol state has its own reply
// handler, and every wait has a timer (SmtpTimeouts).
//
// OnConnected fires as soon as the TCP connection stands; OnDisconnected fires once for
// every connection that stood, when the program closes it or notices that the server did.
// After a failed Send the connection is left for the caller to Disconnect.
class SmtpClient : public QObject
{
    Q_OBJECT
public:
    enum AuthenticationType { atNone, atLogin };
    enum class Security { None = 0, StartTls = 1, Tls = 2 };

    explicit SmtpClient(QObject *parent = nullptr);
    ~SmtpClient() override;

    QString Host;
    int Port = 25;
    AuthenticationType authenticationType = atNone;
    QString Username;
    QString Password;
    Security security = Security::None;
    bool acceptAnyCertificate = false;
    SmtpTimeouts timeouts;
    // Trusted in addition to the system's CA store (a test's own certificate).
    QList<QSslCertificate> extraCaCertificates;

    bool Connected();
    void Connect();
    void Send(const SmtpEnvelope &envelope);
    void Disconnect();

    bool isBusy() const { return m_op != Op::None; }
    // What the server offered in its last EHLO reply.
    bool hasExtension(const QString &keyword) const;
    QStringList authMechanisms() const { return m_authMechanisms; }
    // Why the last Connect or Send failed (for tests and diagnostics; never logged).
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    void OnConnected();
    void OnDisconnected();
    void connectFinished(bool ok);
    void sendFinished(bool ok);

private:
    enum class Op { None, Connect, Send };
    enum class Link { Closed, Connecting, Ready, Broken };
    using Handler = void (SmtpClient::*)(const SmtpReply &);

    // Reply handlers, one per protocol state.
    void onGreeting(const SmtpReply &reply);
    void onEhlo(const SmtpReply &reply);
    void onHelo(const SmtpReply &reply);
    void onStartTls(const SmtpReply &reply);
    void onRset(const SmtpReply &reply);
    void onAuthLogin(const SmtpReply &reply);
    void onAuthUsername(const SmtpReply &reply);
    void onAuthPassword(const SmtpReply &reply);
    void onMailFrom(const SmtpReply &reply);
    void onRcptTo(const SmtpReply &reply);
    void onData(const SmtpReply &reply);
    void onDataEnd(const SmtpReply &reply);

    // Socket events.
    void onSocketConnected();
    void onEncrypted();
    void onReadyRead();
    void onBytesWritten();
    void onSocketLost();
    void onSslErrors(const QList<QSslError> &errors);
    void onTimeout();

    void command(const QByteArray &line, Handler handler, SmtpTimeouts::ms timeout);
    void expect(Handler handler, SmtpTimeouts::ms timeout);
    void sendEhlo();
    void connectionReady();
    void startAuthentication();
    void sendMailFrom();
    void sendNextRecipient();
    void noteExtensions(const SmtpReply &reply);
    QByteArray heloName() const;

    void fail(const QString &why, bool sayQuit = false);
    void failConnect(const QString &why, bool sayQuit);
    void failSend(const QString &why);
    void finish(Op op, bool ok);
    void dropSocket(bool sayQuit);
    void fireDisconnected();

    // A QSslSocket only when the connection may carry TLS: setting one up costs far more
    // than the messages a plain connection carries.
    QTcpSocket *m_socket = nullptr;
    QSslSocket *tlsSocket() const;
    QTimer m_timer;
    SmtpReplyReader m_reader;
    Handler m_handler = nullptr;
    Op m_op = Op::None;
    Link m_link = Link::Closed;
    bool m_tcpStood = false;     // OnConnected fired, OnDisconnected still owed
    bool m_authenticated = false;
    bool m_tlsStarted = false;   // STARTTLS accepted on this connection
    bool m_writingData = false;
    QSet<QString> m_extensions;
    QStringList m_authMechanisms;
    SmtpEnvelope m_envelope;
    qsizetype m_nextRecipient = 0;
    QString m_lastError;
};

} // namespace pelicast
