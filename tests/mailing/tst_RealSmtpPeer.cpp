#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "mailing/SmtpClient.h"
#include "shell/ServerSettings.h"
#include "support/AiosmtpdPeer.h"

#include <QJsonArray>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelicast;
using pelicast::test::AiosmtpdPeer;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

QString header(const QJsonObject &report, const QString &name)
{
    for (const QJsonValue &pair : report.value("headers").toArray()) {
        if (pair.toArray().at(0).toString().compare(name, Qt::CaseInsensitive) == 0)
            return pair.toArray().at(1).toString();
    }
    return {};
}

QByteArray partBytes(const QJsonObject &part)
{
    return QByteArray::fromBase64(part.value("bytes").toString().toLatin1());
}

// A Mailer with its log lines, and a helper that waits for one send's result.
struct Sender
{
    QStringList log;
    ActivityLog activity;
    Mailer mailer{activity};

    Sender()
    {
        activity.setSink([this](const QString &line) { log << line; });
        mailer.setTimeouts(SmtpTimeouts::all(std::chrono::seconds(20)));
    }
    std::optional<SendResult> send(const QString &address)
    {
        QSignalSpy finished(&mailer, &Mailer::sendFinished);
        mailer.SendToRecipient(address);
        if (!finished.wait(30000))
            return std::nullopt;
        return finished.first().at(1).value<SendResult>();
    }
};

ServerSettings settingsFor(quint16 port)
{
    ServerSettings s;
    s.Server = "127.0.0.1";
    s.ServerPort = QString::number(port);
    s.ServerAuthComboIndex = 1;
    s.ServerLogin = "pelicast";
    s.ServerPWD = u8("pa ss wörd");
    s.Name = u8("Пеликан Тест");
    s.Email = "sender@example.org";
    return s;
}

} // namespace

Q_DECLARE_METATYPE(pelicast::SendResult)
Q_DECLARE_METATYPE(pelicast::test::AiosmtpdPeer::Mode)

// Messages sent to Debian's aiosmtpd and read back by Python's email parser: what a real
// server and a strict reader make of what the program writes.
class TestRealSmtpPeer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_certificate;
    QString m_key;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(AiosmtpdPeer::makeCertificate(m_dir.path(), &m_certificate, &m_key),
                 "openssl could not make a certificate");
        QVERIFY2(QSslSocket::supportsSsl(), "Qt has no TLS backend");
    }

    void personalisedMessagesThroughALogin()
    {
        AiosmtpdPeer peer;
        QVERIFY2(peer.start(AiosmtpdPeer::Mode::Plain, "pelicast", u8("pa ss wörd")),
                 qPrintable(peer.errorText()));

        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary += char((i * 131 + i / 7) % 256);
        const QString binaryPath = m_dir.filePath("data.bin");
        const QString namedPath = m_dir.filePath(u8("Отчёт für 2025.pdf"));
        for (const QString &path : {binaryPath, namedPath}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(path == binaryPath ? binary : QByteArray("%PDF-1.4\r\n.\r\n..\n"));
        }

        MessageDraft draft;
        draft.Subject = u8("Привет, %NAME%!");
        draft.Body = {u8("<p>Здравствуйте, %NAME%</p>"), ".a dot line", "", "end"};
        draft.HTML = true;
        draft.EncodingComboIndex = 11; // windows-1251
        draft.Priority = 0;
        draft.Attachments = {binaryPath, namedPath};
        const MessageDraft before = draft;

        Sender s;
        s.mailer.PrepareMessage(draft, settingsFor(peer.port()));
        const QStringList addresses{u8("Иван Петров <ivan@example.org>"),
                                    u8("Jürgen <j@example.org>"),
                                    "\"Lee, Ann\" <ann@example.org>, bo@example.org"};
        for (const QString &address : addresses)
            QCOMPARE(s.send(address), SendResult::Sent);
        s.mailer.Disconnect();
        QCOMPARE(draft.Subject, before.Subject);
        QCOMPARE(draft.Body, before.Body);

        QTRY_COMPARE_WITH_TIMEOUT(peer.reports().size(), 3, 10000);
        const QStringList names{u8("Иван Петров "), u8("Jürgen "), "\"Lee, Ann\" "};
        const QStringList charsets{"windows-1251", "UTF-8", "windows-1251"};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject r = peer.reports().at(i);
            QVERIFY2(!r.contains("parse_error"), qPrintable(r.value("parse_error").toString()));
            QCOMPARE(r.value("defects").toArray(), QJsonArray());
            QVERIFY(r.value("longest_header_line").toInt() <= 78);
            QCOMPARE(r.value("login").toString(), "pelicast");
            QCOMPARE(r.value("mail_from").toString(), "sender@example.org");
            QCOMPARE(r.value("subject").toString(), u8("Привет, ") + names.at(i) + "!");
            QCOMPARE(r.value("from").toArray(),
                     (QJsonArray{u8("Пеликан Тест"), "sender@example.org"}));
            QCOMPARE(header(r, "X-Mailer"), "Pelicast 3.0");
            QCOMPARE(header(r, "X-Priority"), "1");
            QCOMPARE(header(r, "MIME-Version"), "1.0");
            QVERIFY(!header(r, "Date").isEmpty());
            QVERIFY(!header(r, "Message-ID").isEmpty());
            QCOMPARE(r.value("content_type").toString(), "multipart/mixed");

            const QJsonArray parts = r.value("parts").toArray();
            QCOMPARE(parts.size(), 3);
            const QJsonObject text = parts.at(0).toObject();
            QCOMPARE(text.value("content_type").toString(), "text/html");
            QCOMPARE(text.value("charset").toString(), charsets.at(i));
            QCOMPARE(text.value("text").toString().replace("\r\n", "\n"),
                     u8("<p>Здравствуйте, ") + names.at(i) + "</p>\n.a dot line\n\nend");
            const QJsonObject first = parts.at(1).toObject();
            QCOMPARE(first.value("content_type").toString(), "application/octet-stream");
            QCOMPARE(first.value("disposition").toString(), "attachment");
            QCOMPARE(first.value("filename").toString(), "data.bin");
            QCOMPARE(partBytes(first), binary);
            const QJsonObject second = parts.at(2).toObject();
            QCOMPARE(second.value("filename").toString(), u8("Отчёт für 2025.pdf"));
            QCOMPARE(partBytes(second), QByteArray("%PDF-1.4\r\n.\r\n..\n"));
        }
        QCOMPARE(peer.reports().at(0).value("rcpt_tos").toArray(), QJsonArray{"ivan@example.org"});
        QCOMPARE(peer.reports().at(2).value("rcpt_tos").toArray(),
                 (QJsonArray{"ann@example.org", "bo@example.org"}));
        QCOMPARE(peer.reports().at(2).value("to").toArray(),
                 (QJsonArray{QJsonArray{"Lee, Ann", "ann@example.org"},
                             QJsonArray{"", "bo@example.org"}}));
        // One connection for the three, opened and closed once.
        QCOMPARE(s.log.count("Connected Successfully!"), 1);
        QCOMPARE(s.log.count("Disconnected!"), 1);
    }

    void refusedLoginFailsEverySend()
    {
        AiosmtpdPeer peer;
        QVERIFY2(peer.start(AiosmtpdPeer::Mode::Plain, "pelicast", "right"),
                 qPrintable(peer.errorText()));
        Sender s;
        ServerSettings settings = settingsFor(peer.port());
        settings.ServerPWD = "wrong";
        s.mailer.PrepareMessage(MessageDraft(), settings);
        QCOMPARE(s.send("a@example.org"), SendResult::Failed);
        QVERIFY2(s.mailer.SMTP().lastError().startsWith("login refused: 535"),
                 qPrintable(s.mailer.SMTP().lastError()));
        QCOMPARE(s.send("b@example.org"), SendResult::Failed);
        const QString server = "127.0.0.1:" + settings.ServerPort;
        const QStringList once{"Connecting..." + server, "Connected Successfully!"};
        const QStringList expected = once + QStringList{"Sending to ... a@example.org",
                                                        "Send Fail: a@example.org", "Disconnected!"}
                                     + once + QStringList{"Sending to ... b@example.org",
                                                          "Send Fail: b@example.org", "Disconnected!"};
        QCOMPARE(s.log, expected);
        QVERIFY(peer.reports().isEmpty());
    }

    void security_data()
    {
        QTest::addColumn<AiosmtpdPeer::Mode>("mode");
        QTest::addColumn<int>("security");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<bool>("acceptAny");
        QTest::addColumn<SendResult>("result");
        using M = AiosmtpdPeer::Mode;
        QTest::newRow("STARTTLS, trusted certificate")
            << M::StartTls << 1 << true << false << SendResult::Sent;
        QTest::newRow("SSL/TLS, trusted certificate")
            << M::Tls << 2 << true << false << SendResult::Sent;
        QTest::newRow("STARTTLS, self-signed refused")
            << M::StartTls << 1 << false << false << SendResult::NotConnected;
        QTest::newRow("SSL/TLS, self-signed refused")
            << M::Tls << 2 << false << false << SendResult::NotConnected;
        QTest::newRow("STARTTLS, self-signed accepted on request")
            << M::StartTls << 1 << false << true << SendResult::Sent;
        QTest::newRow("SSL/TLS, self-signed accepted on request")
            << M::Tls << 2 << false << true << SendResult::Sent;
        QTest::newRow("STARTTLS asked for, server without it")
            << M::Plain << 1 << true << false << SendResult::NotConnected;
        QTest::newRow("no security with a STARTTLS-only server: no login in clear")
            << M::StartTls << 0 << true << false << SendResult::Failed;
    }
    void security()
    {
        QFETCH(AiosmtpdPeer::Mode, mode);
        QFETCH(int, security);
        QFETCH(bool, trusted);
        QFETCH(bool, acceptAny);
        QFETCH(SendResult, result);

        AiosmtpdPeer peer;
        QVERIFY2(peer.start(mode, "pelicast", u8("pa ss wörd"), m_certificate, m_key),
                 qPrintable(peer.errorText()));
        Sender s;
        if (trusted)
            s.mailer.SMTP().extraCaCertificates = QSslCertificate::fromPath(m_certificate);
        ServerSettings settings = settingsFor(peer.port());
        settings.ServerSecurity = security;
        settings.ServerAcceptAnyCertificate = acceptAny;
        MessageDraft draft;
        draft.Subject = "Secure %NAME%";
        draft.Body = {"body"};
        s.mailer.PrepareMessage(draft, settings);
        const std::optional<SendResult> got = s.send("Ann <ann@example.org>");
        QVERIFY2(got == result, qPrintable(s.log.join(" | ") + " / "
                                           + s.mailer.SMTP().lastError() + " / "
                                           + peer.errorText()));
        if (s.mailer.Connected())
            s.mailer.Disconnect();

        if (result == SendResult::Sent) {
            QTRY_COMPARE_WITH_TIMEOUT(peer.reports().size(), 1, 10000);
            const QJsonObject r = peer.reports().first();
            QVERIFY(r.value("tls").toBool());
            QCOMPARE(r.value("login").toString(), "pelicast");
            QCOMPARE(r.value("subject").toString(), "Secure Ann ");
        } else {
            QVERIFY(peer.reports().isEmpty());
        }
        QCOMPARE(peer.authWithoutTls(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRealSmtpPeer)
#include "tst_RealSmtpPeer.moc"
