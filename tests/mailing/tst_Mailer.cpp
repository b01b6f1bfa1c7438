#include "common/Error.h"
#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "mailing/OutgoingMessage.h"
#include "mailing/SmtpClient.h"
#include "shell/ServerSettings.h"
#include "support/ScriptedSmtpServer.h"
#include "support/SmtpSinkServer.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelicast;
using pelicast::test::ScriptedSmtpServer;
using pelicast::test::SmtpSinkServer;

Q_DECLARE_METATYPE(pelicast::SendResult)

namespace {

struct Fixture
{
    QStringList log;
    ActivityLog activity;
    Mailer mailer{activity};
    MessageDraft draft;
    ServerSettings settings;

    explicit Fixture(quint16 port)
    {
        activity.setSink([this](const QString &line) { log << line; });
        mailer.setTimeouts(SmtpTimeouts::all(std::chrono::seconds(10)));
        draft.Subject = "Hello %NAME%";
        draft.Body = {"Dear %NAME%,", "%name% stays"};
        draft.HTML = false;
        settings.Server = "127.0.0.1";
        settings.ServerPort = QString::number(port);
        settings.Email = "sender@example.org";
    }
    std::optional<SendResult> send(const QString &address)
    {
        QSignalSpy finished(&mailer, &Mailer::sendFinished);
        mailer.SendToRecipient(address);
        if (!finished.wait(20000))
            return std::nullopt;
        return finished.first().at(1).value<SendResult>();
    }
};

} // namespace

class TestMailer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portMustBeAnInteger_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("word") << "smtp";
        QTest::newRow("empty") << "";
        QTest::newRow("decimal point") << "25.0";
        QTest::newRow("too big for an integer") << "99999999999";
    }
    void portMustBeAnInteger()
    {
        QFETCH(QString, port);
        Fixture f(25);
        f.settings.Name = "New Name";
        f.settings.Server = "mail.example.org";
        f.settings.ServerPort = port;
        f.settings.ServerAuthComboIndex = 1;
        try {
            f.mailer.PrepareMessage(f.draft, f.settings);
            QFAIL("no error");
        } catch (const Error &e) {
            QCOMPARE(e.text(), "'" + port + "' is not a valid integer value");
        }
        // The fields before the port have taken effect; the port keeps its old value.
        QCOMPARE(f.mailer.SMTPMessage().FromName, "New Name");
        QCOMPARE(f.mailer.SMTP().Host, "mail.example.org");
        QCOMPARE(f.mailer.SMTP().authenticationType, SmtpClient::atLogin);
        QCOMPARE(f.mailer.SMTP().Port, 25);
        QVERIFY(f.log.isEmpty());
    }

    void preparedFields()
    {
        Fixture f(2525);
        f.draft.EncodingInternal = false;
        f.draft.EncodingEditBox = "KOI8-U";
        f.draft.HTML = true;
        f.draft.Priority = 1;
        f.settings.ServerAuthComboIndex = 1;
        f.mailer.PrepareMessage(f.draft, f.settings);
        const OutgoingMessage &m = f.mailer.SMTPMessage();
        QCOMPARE(m.CharSet(), "KOI8-U");
        QCOMPARE(m.ContentType, "text/html");
        QCOMPARE(m.Priority, 1);
        QCOMPARE(f.mailer.SMTP().Port, 2525);

        // An authentication index other than 0 or 1 keeps the previous run's type.
        f.settings.ServerAuthComboIndex = 2;
        f.draft.EncodingInternal = true;
        f.draft.EncodingComboIndex = -1;
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.mailer.SMTP().authenticationType, SmtpClient::atLogin);
        QCOMPARE(m.CharSet(), "windows-1251");
        f.settings.ServerAuthComboIndex = 0;
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.mailer.SMTP().authenticationType, SmtpClient::atNone);
    }

    // Every recipient gets his own name; the draft keeps its macros; one connection, one
    // EHLO and one login serve every message until it is closed.
    void personalisedCopiesOnOneConnection()
    {
        SmtpSinkServer server;
        server.requireLogin("user", "pw");
        Fixture f(server.port());
        f.settings.ServerAuthComboIndex = 1;
        f.settings.ServerLogin = "user";
        f.settings.ServerPWD = "pw";
        const MessageDraft before = f.draft;
        f.mailer.PrepareMessage(f.draft, f.settings);

        const QStringList addresses{"Ann <ann@example.org>", "bo@example.org",
                                    "%NAME% <x@example.org>"};
        for (const QString &a : addresses)
            QCOMPARE(f.send(a), SendResult::Sent);
        QVERIFY(f.mailer.Connected());
        f.mailer.Disconnect();
        QVERIFY(!f.mailer.Connected());
        f.mailer.Disconnect(); // nothing when closed: no second "Disconnected!"
        QCOMPARE(f.draft.Subject, before.Subject);
        QCOMPARE(f.draft.Body, before.Body);

        const QList<SmtpSinkServer::Message> got = server.messages();
        QCOMPARE(got.size(), 3);
        const QStringList names{"Ann ", "", "%NAME% "};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(got[i].data.contains("\r\nSubject: Hello " + names[i].toUtf8() + "\r\n")
                    || (names[i].isEmpty() && got[i].data.contains("\r\nSubject: Hello \r\n")));
            QVERIFY(got[i].data.contains("\r\n\r\nDear " + names[i].toUtf8() + ",\r\n%name% stays"));
            QCOMPARE(got[i].connection, 1);
            QCOMPARE(got[i].login, "user");
        }
        int ehlo = 0, auth = 0;
        for (const QString &c : server.commands()) {
            ehlo += c.startsWith("1 EHLO ");
            auth += c.startsWith("1 AUTH ");
        }
        QCOMPARE(ehlo, 1);
        QCOMPARE(auth, 1);
        QTRY_COMPARE(server.quitCount(), 1);

        const QString at = "127.0.0.1:" + f.settings.ServerPort;
        QCOMPARE(f.log, (QStringList{"Connecting..." + at, "Connected Successfully!",
                                     "Sending to ... Ann <ann@example.org>",
                                     "Send Success: Ann <ann@example.org>",
                                     "Sending to ... bo@example.org", "Send Success: bo@example.org",
                                     "Sending to ... %NAME% <x@example.org>",
                                     "Send Success: %NAME% <x@example.org>", "Disconnected!"}));
    }

    void secondConnectionAuthenticatesAgain()
    {
        SmtpSinkServer server;
        server.requireLogin("user", "pw");
        Fixture f(server.port());
        f.settings.ServerAuthComboIndex = 1;
        f.settings.ServerLogin = "user";
        f.settings.ServerPWD = "pw";
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.send("a@example.org"), SendResult::Sent);
        f.mailer.Disconnect();
        QCOMPARE(f.send("b@example.org"), SendResult::Sent);
        QCOMPARE(server.messages().at(1).connection, 2);
        QCOMPARE(server.messages().at(1).login, "user");
    }

    void serverClosingWhileIdleIsNoticed()
    {
        ScriptedSmtpServer server({"S: 220 fake", "C: EHLO *", "S: 250 fake", "C: RSET",
                                   "S: 250 ok", "C: MAIL FROM:*", "S: 250 ok", "C: RCPT TO:*",
                                   "S: 250 ok", "C: DATA", "S: 354 go", "C: <message>",
                                   "S: 250 ok", "S: 421 closing", "drop", "S: 220 again",
                                   "C: EHLO *", "S: 250 fake", "C: RSET", "S: 250 ok",
                                   "C: MAIL FROM:*", "S: 250 ok", "C: RCPT TO:*", "S: 250 ok",
                                   "C: DATA", "S: 354 go", "C: <message>", "S: 250 ok"});
        Fixture f(server.port());
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.send("a@example.org"), SendResult::Sent);
        QTRY_COMPARE(f.log.count("Disconnected!"), 1); // logged when the close comes
        QVERIFY(!f.mailer.Connected());
        QCOMPARE(f.send("b@example.org"), SendResult::Sent);
        QTRY_VERIFY2(server.succeeded(), qPrintable(server.failure()));
        QCOMPARE(f.log.mid(4, 3), (QStringList{"Disconnected!", "Connecting...127.0.0.1:"
                                                  + f.settings.ServerPort,
                                              "Connected Successfully!"}));
    }

    void deletedAttachmentFailsEverySend()
    {
        SmtpSinkServer server;
        QTemporaryDir dir;
        const QString path = dir.filePath("gone.txt");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Fixture f(server.port());
        f.draft.Attachments = {path};
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.send("a@example.org"), SendResult::Sent);
        QVERIFY(QFile::remove(path));
        QCOMPARE(f.send("b@example.org"), SendResult::Failed);
        QCOMPARE(f.send("c@example.org"), SendResult::Failed);
        QCOMPARE(server.messages().size(), 1);
        QCOMPARE(f.log.mid(2), (QStringList{"Sending to ... a@example.org",
                                            "Send Success: a@example.org",
                                            "Sending to ... b@example.org", "Send Fail: b@example.org",
                                            "Disconnected!",
                                            "Connecting...127.0.0.1:" + f.settings.ServerPort,
                                            "Connected Successfully!",
                                            "Sending to ... c@example.org", "Send Fail: c@example.org",
                                            "Disconnected!"}));
    }

    void nonAsciiMailboxNeedsSmtpUtf8_data()
    {
        QTest::addColumn<bool>("offered");
        QTest::addColumn<SendResult>("result");
        QTest::newRow("offered") << true << SendResult::Sent;
        QTest::newRow("not offered: fails before MAIL") << false << SendResult::Failed;
    }
    void nonAsciiMailboxNeedsSmtpUtf8()
    {
        QFETCH(bool, offered);
        QFETCH(SendResult, result);
        SmtpSinkServer server;
        server.setOffersSmtpUtf8(offered);
        Fixture f(server.port());
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.send(QString::fromUtf8("Jörg <jörg@bücher.example>")), result);
        const bool mailSent = std::any_of(server.commands().cbegin(), server.commands().cend(),
                                          [](const QString &c) { return c.startsWith("1 MAIL"); });
        QCOMPARE(mailSent, offered);
        if (offered) {
            QCOMPARE(server.messages().first().to,
                     QList<QByteArray>{QString::fromUtf8("jörg@xn--bcher-kva.example").toUtf8()});
            QVERIFY(server.commands().contains("1 MAIL FROM:<sender@example.org> SMTPUTF8"));
        }
    }

    void connectionRefused()
    {
        QTcpServer closed; // a port that nobody listens on any more
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        Fixture f(port);
        f.mailer.PrepareMessage(f.draft, f.settings);
        std::optional<SendResult> called;
        QSignalSpy finished(&f.mailer, &Mailer::sendFinished);
        f.mailer.SendToRecipient("Ann <a@example.org>", [&](SendResult r) {
            QVERIFY(finished.isEmpty()); // the callback first, then the signal
            called = r;
        });
        QVERIFY(finished.wait(20000));
        QCOMPARE(called, SendResult::NotConnected);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().at(0).toString(), "Ann <a@example.org>");
        QCOMPARE(finished.first().at(1).value<SendResult>(), SendResult::NotConnected);
        const QString at = "127.0.0.1:" + f.settings.ServerPort;
        QCOMPARE(f.log, (QStringList{"Connecting..." + at, "Can't connect to: " + at}));
        // The copy was personalised although nothing was sent.
        QCOMPARE(f.mailer.SMTPMessage().Subject, "Hello Ann ");
    }

    void portOutOfRangeNeverConnects()
    {
        SmtpSinkServer server;
        Fixture f(0);
        // 65536 + the real port would reach the server if the number were cut to 16 bits.
        f.settings.ServerPort = QString::number(65536 + server.port());
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.send("a@example.org"), SendResult::NotConnected);
        QCOMPARE(server.connectionCount(), 0);
    }

    // Text the server sends after its 220 to STARTTLS came in the clear; it must never be
    // taken as if it had come through TLS.
    void plainTextAfterStartTlsRefused()
    {
        ScriptedSmtpServer server({"S: 220 fake", "C: EHLO *", "S: 250-fake", "S: 250 STARTTLS",
                                   "C: STARTTLS", "S: 220 go ahead\r\n250-fake\r\n250 AUTH LOGIN",
                                   "closed"});
        Fixture f(server.port());
        f.settings.ServerSecurity = 1;
        f.mailer.PrepareMessage(f.draft, f.settings);
        QCOMPARE(f.send("a@example.org"), SendResult::NotConnected);
        QCOMPARE(f.mailer.SMTP().lastError(), "plain-text data after STARTTLS");
        QTRY_VERIFY2(server.succeeded(), qPrintable(server.failure()));
    }
};

QTEST_GUILESS_MAIN(TestMailer)
#include "tst_Mailer.moc"
