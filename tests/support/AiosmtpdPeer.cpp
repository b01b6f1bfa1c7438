#include "support/AiosmtpdPeer.h"

#include <QDir>
#include <QJsonDocument>
#include <QTest>

namespace pelicast::test {

AiosmtpdPeer::AiosmtpdPeer(QObject *parent) : QObject(parent)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &AiosmtpdPeer::onOutput);
}

AiosmtpdPeer::~AiosmtpdPeer()
{
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool AiosmtpdPeer::start(Mode mode, const QString &user, const QString &password,
                         const QString &certificate, const QString &key)
{
    QStringList args{QStringLiteral(PELICAST_TESTS_DIR "/support/aiosmtpd_peer.py")};
    args << (mode == Mode::Plain ? "plain" : mode == Mode::StartTls ? "starttls" : "tls");
    if (!user.isEmpty())
        args << "--user" << user << "--password" << password;
    if (!certificate.isEmpty())
        args << "--cert" << certificate << "--key" << key;
    m_process.start(QStringLiteral(PELICAST_PYTHON), args);
    // Importing asyncio and aiosmtpd takes a moment; the peer says when it listens.
    const bool ready = QTest::qWaitFor(
        [this] { return m_port != 0 || m_process.state() == QProcess::NotRunning; }, 20000);
    if (!ready || m_port == 0) {
        m_error = QStringLiteral("peer did not start: ") + errorText();
        return false;
    }
    return true;
}

void AiosmtpdPeer::onOutput()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(end).trimmed();
        m_pending.remove(0, end + 1);
        if (line.startsWith("PORT ")) {
            m_port = quint16(line.mid(5).toUInt());
            continue;
        }
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.contains("auth_without_tls"))
            m_authWithoutTls << object.value("auth_without_tls").toString();
        else if (!object.isEmpty())
            m_reports << object;
    }
}

QString AiosmtpdPeer::errorText()
{
    return m_error + QString::fromUtf8(m_process.readAllStandardError());
}

bool AiosmtpdPeer::makeCertificate(const QString &folder, QString *certificate, QString *key)
{
    *certificate = QDir(folder).filePath("cert.pem");
    *key = QDir(folder).filePath("key.pem");
    QProcess openssl;
    // An EC key: generated in milliseconds, where RSA could take a second.
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                              "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", *key, "-out",
                              *certificate, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                              "subjectAltName=IP:127.0.0.1,DNS:localhost"});
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit
           && openssl.exitCode() == 0;
}

} // namespace pelicast::test
