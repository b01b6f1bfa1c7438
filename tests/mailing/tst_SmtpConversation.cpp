#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "shell/ServerSettings.h"
#include "support/ScriptedSmtpServer.h"

#include <QtTest>

using namespace pelicast;
using pelicast::test::ScriptedSmtpServer;

namespace {

const QString ann = QStringLiteral("Ann Lee <ann@example.org>");

// The start of most conversations: greeting, EHLO, and the extensions offered.
QStringList greeting(const QStringList &extensions = {})
{
    QStringList s{"S: 220 fake.test ESMTP", "C: EHLO *"};
    if (extensions.isEmpty())
        return s << "S: 250 fake.test";
    s << "S: 250-fake.test";
    for (qsizetype i = 0; i < extensions.size(); ++i)
        s << (i + 1 < extensions.size() ? "S: 250-" : "S: 250 ") + extensions.at(i);
    return s;
}

QStringList transaction(const QStringList &recipients = {"ann@example.org"})
{
    QStringList s{"C: RSET", "S: 250 OK", "C: MAIL FROM:<sender@example.org>", "S: 250 OK"};
    for (const QString &r : recipients)
        s << "C: RCPT TO:<" + r + ">" << "S: 250 OK";
    return s << "C: DATA" << "S: 354 go ahead" << "C: <message>" << "S: 250 queued";
}

const QStringList quit{"C: QUIT", "closed"};

const QString b64User = QString::fromLatin1(QByteArray("user").toBase64());
const QString b64Password = QString::fromLatin1(QByteArray("s3cret").toBase64());
const QString b64Plain = QString::fromLatin1(QByteArray("\0user\0s3cret", 12).toBase64());

// Expected log lines; "%SERVER%" stands for the server text, colon and port.
QStringList connecting() { return {"Connecting...%SERVER%", "Connected Successfully!"}; }
QStringList sending(const QString &a = ann) { return {"Sending to ... " + a}; }
QStringList sent(const QString &a = ann) { return {"Send Success: " + a, "Disconnected!"}; }
QStringList sendFailed(const QString &a = ann) { return {"Send Fail: " + a, "Disconnected!"}; }
QStringList notConnected() { return {"Disconnected!", "Can't connect to: %SERVER%"}; }

} // namespace

Q_DECLARE_METATYPE(pelicast::SendResult)

// Whole conversations with a scripted server: every line the client writes, in order, the
// result of the send, and the activity log. After the result the test disconnects, as the
// send run does, so that every conversation ends with QUIT (when a connection is left).
class TestSmtpConversation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conversation_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("auth");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<QStringList>("log");

        const int quick = 5000; // never reached by a server that answers
        const int silent = 500;
        const auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

        row("happy path") << greeting() + transaction() + quit << ann << 0 << quick
                          << SendResult::Sent << connecting() + sending() + sent();
        row("multi-line greeting")
            << QStringList{"S: 220-fake.test one", "S: 220-two", "S: 220 three", "C: EHLO *",
                           "S: 250 ok"} + transaction() + quit
            << ann << 0 << quick << SendResult::Sent << connecting() + sending() + sent();
        row("EHLO refused, HELO accepted")
            << QStringList{"S: 220 fake.test", "C: EHLO *", "S: 502 not here", "C: HELO *",
                           "S: 250 hello"} + transaction() + quit
            << ann << 0 << quick << SendResult::Sent << connecting() + sending() + sent();
        row("EHLO and HELO refused")
            << QStringList{"S: 220 fake.test", "C: EHLO *", "S: 502 no", "C: HELO *",
                           "S: 502 no"} + quit
            << ann << 0 << quick << SendResult::NotConnected << connecting() + notConnected();
        row("greeting refused")
            << QStringList{"S: 554 go away"} + quit << ann << 0 << quick
            << SendResult::NotConnected << connecting() + notConnected();
        row("AUTH LOGIN preferred")
            << greeting({"AUTH PLAIN LOGIN"})
                   + QStringList{"C: RSET", "S: 250 OK", "C: AUTH LOGIN", "S: 334 VXNlcm5hbWU6",
                                 "C: " + b64User, "S: 334 UGFzc3dvcmQ6", "C: " + b64Password,
                                 "S: 235 ok"}
                   + transaction().mid(2) + quit
            << ann << 1 << quick << SendResult::Sent << connecting() + sending() + sent();
        row("AUTH PLAIN when LOGIN is not offered")
            << greeting({"AUTH=PLAIN CRAM-MD5"})
                   + QStringList{"C: RSET", "S: 250 OK", "C: AUTH PLAIN " + b64Plain,
                                 "S: 235 ok"}
                   + transaction().mid(2) + quit
            << ann << 1 << quick << SendResult::Sent << connecting() + sending() + sent();
        row("login asked for, nothing offered: no AUTH")
            << greeting({"8BITMIME"}) + transaction() + quit << ann << 1 << quick
            << SendResult::Sent << connecting() + sending() + sent();
        row("no login asked for though offered")
            << greeting({"AUTH LOGIN"}) + transaction() + quit << ann << 0 << quick
            << SendResult::Sent << connecting() + sending() + sent();
        row("login refused")
            << greeting({"AUTH LOGIN"})
                   + QStringList{"C: RSET", "S: 250 OK", "C: AUTH LOGIN", "S: 334 VXNlcm5hbWU6",
                                 "C: " + b64User, "S: 334 UGFzc3dvcmQ6", "C: " + b64Password,
                                 "S: 535 5.7.8 no"} + quit
            << ann << 1 << quick << SendResult::Failed
            << connecting() + sending() + sendFailed();
        row("recipient refused")
            << greeting()
                   + QStringList{"C: RSET", "S: 250 OK", "C: MAIL FROM:<sender@example.org>",
                                 "S: 250 OK", "C: RCPT TO:<ann@example.org>", "S: 550 unknown"}
                   + quit
            << ann << 0 << quick << SendResult::Failed << connecting() + sending() + sendFailed();
        row("251 is accepted for a recipient")
            << greeting()
                   + QStringList{"C: RSET", "S: 250 OK", "C: MAIL FROM:<sender@example.org>",
                                 "S: 250 OK", "C: RCPT TO:<ann@example.org>", "S: 251 forwarded",
                                 "C: DATA", "S: 354 go", "C: <message>", "S: 250 ok"} + quit
            << ann << 0 << quick << SendResult::Sent << connecting() + sending() + sent();
        row("sender refused")
            << greeting()
                   + QStringList{"C: RSET", "S: 250 OK", "C: MAIL FROM:<sender@example.org>",
                                 "S: 553 no"} + quit
            << ann << 0 << quick << SendResult::Failed << connecting() + sending() + sendFailed();
        row("DATA refused")
            << greeting() + transaction().mid(0, 6) + QStringList{"C: DATA", "S: 554 no"} + quit
            << ann << 0 << quick << SendResult::Failed << connecting() + sending() + sendFailed();
        row("message refused after the final dot")
            << greeting() + transaction().mid(0, 9) + QStringList{"S: 552 too big"} + quit
            << ann << 0 << quick << SendResult::Failed << connecting() + sending() + sendFailed();
        const QString two = "Ann <ann@example.org>, \"Lee, Bo\" <bo@example.org>";
        row("two addresses in one stored text: one transaction")
            << greeting() + transaction({"ann@example.org", "bo@example.org"}) + quit << two
            << 0 << quick << SendResult::Sent << connecting() + sending(two) + sent(two);
        row("empty address: MAIL, then DATA, refused")
            << greeting()
                   + QStringList{"C: RSET", "S: 250 OK", "C: MAIL FROM:<sender@example.org>",
                                 "S: 250 OK", "C: DATA", "S: 503 no recipients"} + quit
            << "" << 0 << quick << SendResult::Failed
            << connecting() + sending("") + sendFailed("");
        row("dropped before the greeting") << QStringList{"drop"} << ann << 0 << quick
                                           << SendResult::NotConnected
                                           << connecting() + notConnected();
        row("dropped after EHLO")
            << QStringList{"S: 220 fake.test", "C: EHLO *", "drop"} << ann << 0 << quick
            << SendResult::NotConnected << connecting() + notConnected();
        row("dropped at RSET")
            << greeting() + QStringList{"C: RSET", "drop"} << ann << 0 << quick
            << SendResult::Failed << connecting() + sending() + sendFailed();
        row("dropped at RCPT")
            << greeting() + transaction().mid(0, 5) + QStringList{"drop"} << ann << 0 << quick
            << SendResult::Failed << connecting() + sending() + sendFailed();
        row("dropped during the message")
            << greeting() + transaction().mid(0, 8) + QStringList{"drop"} << ann << 0 << quick
            << SendResult::Failed << connecting() + sending() + sendFailed();
        row("silent instead of the greeting")
            << QStringList{"closed"} << ann << 0 << silent << SendResult::NotConnected
            << connecting() + notConnected();
        row("silent after EHLO")
            << QStringList{"S: 220 fake.test", "C: EHLO *", "closed"} << ann << 0 << silent
            << SendResult::NotConnected << connecting() + notConnected();
        row("silent after MAIL")
            << greeting() + transaction().mid(0, 3) + quit << ann << 0 << silent
            << SendResult::Failed << connecting() + sending() + sendFailed();
        row("silent after the final dot")
            << greeting() + transaction().mid(0, 9) + quit << ann << 0 << silent
            << SendResult::Failed << connecting() + sending() + sendFailed();
        row("slow but within the wait")
            << QStringList{"pause 100", "S: 220 fake.test", "C: EHLO *", "pause 100",
                           "S: 250 ok"} + transaction() + quit
            << ann << 0 << 1000 << SendResult::Sent << connecting() + sending() + sent();
        row("reply line of 16384 characters")
            << QStringList{"S: 220 " + QString(16380, u'x'), "C: EHLO *", "S: 250 ok"}
                   + transaction() + quit
            << ann << 0 << quick << SendResult::Sent << connecting() + sending() + sent();
        row("reply line of 16385 characters")
            << QStringList{"S: 220 " + QString(16381, u'x'), "closed"} << ann << 0 << quick
            << SendResult::NotConnected << connecting() + notConnected();
        row("malformed reply")
            << QStringList{"S: hello there", "closed"} << ann << 0 << quick
            << SendResult::NotConnected << connecting() + notConnected();
    }

    void conversation()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, address);
        QFETCH(int, auth);
        QFETCH(int, timeoutMs);
        QFETCH(SendResult, result);
        QFETCH(QStringList, log);

        ScriptedSmtpServer server(script);
        QVERIFY2(server.failure().isEmpty(), qPrintable(server.failure()));
        QStringList lines;
        ActivityLog activity;
        activity.setSink([&](const QString &line) { lines << line; });
        Mailer mailer(activity);
        mailer.setTimeouts(SmtpTimeouts::all(std::chrono::milliseconds(timeoutMs)));

        MessageDraft draft;
        draft.Subject = "Hello %NAME%";
        draft.Body = {"Dear %NAME%,", ".a line with a leading dot", "bye"};
        ServerSettings settings;
        settings.Server = "127.0.0.1";
        settings.ServerPort = QString::number(server.port());
        settings.ServerAuthComboIndex = auth;
        settings.ServerLogin = "user";
        settings.ServerPWD = "s3cret";
        settings.Name = "Pelicast Test";
        settings.Email = "sender@example.org";
        mailer.PrepareMessage(draft, settings);

        std::optional<SendResult> got;
        QSignalSpy finished(&mailer, &Mailer::sendFinished);
        mailer.SendToRecipient(address, [&](SendResult r) { got = r; });
        QVERIFY(!got); // never from inside the call
        QVERIFY(finished.wait(10000));
        QCOMPARE(got, result);
        if (mailer.Connected())
            mailer.Disconnect();
        QTRY_VERIFY2_WITH_TIMEOUT(server.succeeded(),
                                  qPrintable(server.failure() + " / " + server.position()),
                                  10000);

        for (QString &line : log)
            line.replace("%SERVER%", "127.0.0.1:" + settings.ServerPort);
        QCOMPARE(lines, log);
        if (result == SendResult::Sent) {
            QCOMPARE(server.messages().size(), 1);
            const QByteArray message = server.messages().first();
            QVERIFY(message.contains("\r\n.a line with a leading dot\r\n"));
            QVERIFY(message.contains("X-Mailer: Pelicast 3.0\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSmtpConversation)
#include "tst_SmtpConversation.moc"
