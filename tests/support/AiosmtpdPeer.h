#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace pelicast::test {

// Debian's aiosmtpd as a real SMTP peer (tests/support/aiosmtpd_peer.py, run by
// /usr/bin/python3). Every message it accepts arrives here as a report of Python's email
// parser (see the script). The process ends with the object.
class AiosmtpdPeer : public QObject
{
    Q_OBJECT
public:
    enum class Mode { Plain, StartTls, Tls };

    explicit AiosmtpdPeer(QObject *parent = nullptr);
    ~AiosmtpdPeer() override;

    // Starts the peer and waits until it listens; false (see errorText()) when it cannot.
    // user empty: no login; certificate and key: PEM files, needed for the TLS modes.
    bool start(Mode mode, const QString &user = {}, const QString &password = {},
               const QString &certificate = {}, const QString &key = {});
    quint16 port() const { return m_port; }

    QList<QJsonObject> reports() const { return m_reports; }
    // Mechanisms the client used for AUTH while the connection was not encrypted.
    QStringList authWithoutTls() const { return m_authWithoutTls; }
    QString errorText();

    // A self-signed certificate for 127.0.0.1 and its key, written into folder by the
    // openssl command; false when that fails.
    static bool makeCertificate(const QString &folder, QString *certificate, QString *key);

private:
    void onOutput();

    QProcess m_process;
    QByteArray m_pending;
    quint16 m_port = 0;
    QList<QJsonObject> m_reports;
    QStringList m_authWithoutTls;
    QString m_error;
};

} // namespace pelicast::test
