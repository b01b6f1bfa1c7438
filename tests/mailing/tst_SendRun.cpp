#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "mailing/SendRun.h"
#include "recipients/RecipientLists.h"
#include "shell/ServerSettings.h"
#include "support/RecordingSendRunView.h"
#include "support/ScriptedSmtpServer.h"
#include "support/SmtpSinkServer.h"

#include <QSignalSpy>
#include <QtTest>

using namespace pelicast;
using pelicast::test::RecordingSendRunView;
using pelicast::test::ScriptedSmtpServer;
using pelicast::test::SmtpSinkServer;

namespace {

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

// Recipient n of a run: a display name and an address. Two digits, so that the lists'
// address order is the order of the numbers.
QString recipient(int n)
{
    return QStringLiteral("Reader %1 <r%1@example.org>").arg(n, 2, 10, QLatin1Char('0'));
}
QString bare(int n)
{
    return QStringLiteral("r%1@example.org").arg(n, 2, 10, QLatin1Char('0'));
}
QStringList recipients(int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out << recipient(n);
    return out;
}

// The log in short, one token per line: "C" Connecting..., "+" Connected Successfully!,
// "sN" Sending to ... (recipient N), "okN" Send Success, "failN" Send Fail,
// "D" Disconnected!, "X" Can't connect to, "stop" Stopping..., "A" Aborted!, "done" DONE.
QString shortLog(const QStringList &log)
{
    static const QRegularExpression number(QStringLiteral("<r(\\d+)@"));
    QStringList out;
    for (const QString &line : log) {
        const QString n = QString::number(number.match(line).captured(1).toInt());
        if (line.startsWith("Connecting..."))
            out << "C";
        else if (line == "Connected Successfully!")
            out << "+";
        else if (line.startsWith("Sending to ... "))
            out << "s" + n;
        else if (line.startsWith("Send Success: "))
            out << "ok" + n;
        else if (line.startsWith("Send Fail: "))
            out << "fail" + n;
        else if (line == "Disconnected!")
            out << "D";
        else if (line.startsWith("Can't connect to: "))
            out << "X";
        else if (line == "Stopping...")
            out << "stop";
        else if (line == "Aborted!")
            out << "A";
        else if (line == "DONE.")
            out << "done";
        else
            out << "?" + line;
    }
    return out.join(u' ');
}

// "sN okN" for every recipient from..to: accepted sends on an open connection.
QString accepted(int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out << QStringLiteral("s%1 ok%1").arg(n);
    return out.join(u' ');
}

// One connection of a scripted server that accepts the messages to recipients from..to.
QStringList acceptingConnection(int from, int to)
{
    QStringList script{"S: 220 scripted ESMTP", "C: EHLO *", "S: 250 scripted"};
    for (int n = from; n <= to; ++n) {
        script << "C: RSET" << "S: 250 OK" << "C: MAIL FROM:<sender@example.org>"
               << "S: 250 OK" << "C: RCPT TO:<" + bare(n) + ">" << "S: 250 OK" << "C: DATA"
               << "S: 354 go ahead" << "C: <message>" << "S: 250 queued";
    }
    return script << "C: QUIT" << "closed";
}

// Everything a run touches, wired as the program wires it, with the window recorded.
struct RunFixture
{
    ActivityLog log;
    RecipientLists lists;
    RecordingSendRunView view;
    Mailer mailer{log};
    SendRun run{mailer, lists, log, view};
    MessageDraft draft;
    ServerSettings settings;

    RunFixture()
    {
        log.setSink([this](const QString &line) { view.logLine(line); });
        lists.openAll();
        mailer.setTimeouts(SmtpTimeouts::all(std::chrono::seconds(10)));
        draft.Subject = QStringLiteral("Hello %NAME%");
        draft.Body = QStringList{QStringLiteral("Dear %NAME%,"), QStringLiteral("news.")};
        draft.HTML = false;
        settings.Server = QStringLiteral("127.0.0.1");
        settings.Email = QStringLiteral("sender@example.org");
    }

    void useServer(quint16 port) { settings.ServerPort = QString::number(port); }

    void fillAll(const QStringList &addresses)
    {
        for (const QString &a : addresses)
            lists.MainTable.AppendAddress(a);
    }

    // One press of Send, up to finished(). The run must return from Button2Click at once
    // and signal only from the event loop.
    bool press()
    {
        QSignalSpy finished(&run, &SendRun::finished);
        view.events.clear();
        run.Button2Click(draft, settings);
        if (!run.isActive() || finished.count() != 0)
            return false;
        if (!finished.wait(30000))
            return false;
        return finished.count() == 1 && !run.isActive();
    }
};

const QStringList lockDown = {
    "statistics tab",    "stop buttons shown", "message tab off",
    "grids off",         "list-tab handler detached",
    "BitBtn1 off",       "Button6 off",        "BitBtn2 off",
    "BitBtn3 off",       "Button3 off",        "Button4 off",
    "Button5 off",       "Button17Open off",   "Button22 off",
    "Edit1 off",         "Button13 off",       "Button_move_all2 off",
    "settings tab off",  "send off",
};

const QStringList restore = {
    "send on",           "stop buttons hidden",       "message tab on", "grids on",
    "list-tab handler attached", "PageControl2Change", "settings tab on",
};

} // namespace

class TestSendRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The whole order of what the window sees when nothing is sent: the lock-down, the
    // preparation's progress, the end of the loop, the restore and the closing line. A
    // port that is not an integer fails in the preparation, before the loop was prepared:
    // no progress at all, the error after the restore, and no "DONE.".
    void windowOrderWithoutSends_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty All")
            << "25"
            << lockDown + QStringList{"progress max 0", "progress 0", "progress 0"} + restore
                   + QStringList{"log: DONE."};
        QTest::newRow("port not an integer")
            << "25x" << lockDown + restore + QStringList{"error: '25x' is not a valid integer value"};
        QTest::newRow("empty port")
            << "" << lockDown + restore + QStringList{"error: '' is not a valid integer value"};
    }
    void windowOrderWithoutSends()
    {
        QFETCH(QString, port);
        QFETCH(QStringList, expected);
        RunFixture f;
        f.settings.ServerPort = port;
        QVERIFY(f.press());
        QCOMPARE(f.view.events, expected);
    }

    // A second press while a run is active starts nothing; the first run still ends once.
    void secondPressDuringARunIsIgnored()
    {
        RunFixture f;
        QSignalSpy finished(&f.run, &SendRun::finished);
        f.run.Button2Click(f.draft, f.settings);
        f.run.Button2Click(f.draft, f.settings);
        QVERIFY(finished.wait(5000));
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.view.events.count("statistics tab"), 1);
        QCOMPARE(f.view.log(), QStringList{"DONE."});
    }

    // A stop request outlives runs that find All empty and ends the first one that finds
    // an address, before its first send; that run clears it.
    void pendingStopEndsTheNextRunWithAnAddress()
    {
        RunFixture f;
        f.run.AbortSendBtn1Click();
        QCOMPARE(f.view.log(), QStringList{"Stopping..."});
        QVERIFY(f.run.StopRequested());

        QVERIFY(f.press()); // All empty: nothing to stop
        QCOMPARE(f.view.log(), QStringList{"DONE."});
        QVERIFY(f.run.StopRequested());

        f.fillAll({"a@example.org", "b@example.org"});
        f.settings.ServerPort = QStringLiteral("1"); // would fail, were a send tried
        QVERIFY(f.press());
        QCOMPARE(f.view.log(), (QStringList{"Aborted!", "DONE."}));
        QVERIFY(!f.run.StopRequested());
        QCOMPARE(rows(f.lists.MainTable), (QStringList{"a@example.org", "b@example.org"}));
        QCOMPARE(f.view.eventsStartingWith("progress"),
                 (QStringList{"progress max 2", "progress 0", "progress 0"}));
    }

    // Runs against a server that accepts what it is not told to refuse. The short log
    // shows where each connection opens and closes; the lists, the progress and the count
    // must follow the addresses dealt with.
    void runs_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("refused");      // RCPT refused for these recipients
        QTest::addColumn<bool>("loginRefused");
        QTest::addColumn<int>("stopAt");              // Stop while this recipient is sent
        QTest::addColumn<bool>("stopByClose");        // the window's close, not the button
        QTest::addColumn<QString>("expectedLog");
        QTest::addColumn<int>("leftFrom");            // first recipient left in All, 0: none
        QTest::addColumn<int>("connections");

        QTest::newRow("25 accepted: closes after the 10th, the 20th and at the end")
            << 25 << QList<int>{} << false << 0 << false
            << "C + " + accepted(1, 10) + " D C + " + accepted(11, 20) + " D C + "
                   + accepted(21, 25) + " D done"
            << 0 << 3;
        QTest::newRow("failure at the 5th of 25: the periodic closes keep their count")
            << 25 << QList<int>{5} << false << 0 << false
            << "C + " + accepted(1, 4) + " s5 fail5 D C + " + accepted(6, 10) + " D C + "
                   + accepted(11, 20) + " D C + " + accepted(21, 25) + " D done"
            << 0 << 4;
        QString everyOneFails;
        for (int n = 1; n <= 12; ++n)
            everyOneFails += QStringLiteral("C + s%1 fail%1 D ").arg(n);
        QTest::newRow("login refused: every address fails on its own connection")
            << 12 << QList<int>{} << true << 0 << false << everyOneFails + "done" << 0 << 12;
        QTest::newRow("Stop during a send: that send finishes")
            << 5 << QList<int>{} << false << 3 << false
            << "C + " + accepted(1, 2) + " s3 stop ok3 A D done" << 4 << 1;
        QTest::newRow("close of the window during a send")
            << 5 << QList<int>{} << false << 3 << true
            << "C + " + accepted(1, 2) + " s3 ok3 A D done" << 4 << 1;
    }
    void runs()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, refused);
        QFETCH(bool, loginRefused);
        QFETCH(int, stopAt);
        QFETCH(bool, stopByClose);
        QFETCH(QString, expectedLog);
        QFETCH(int, leftFrom);
        QFETCH(int, connections);

        SmtpSinkServer sink;
        for (int n : refused)
            sink.refuseRecipient(bare(n).toUtf8());
        RunFixture f;
        if (loginRefused) {
            sink.requireLogin("user", "right");
            f.settings.ServerAuthComboIndex = 1;
            f.settings.ServerLogin = "user";
            f.settings.ServerPWD = "wrong";
        }
        if (stopAt > 0) {
            QObject::connect(&sink, &SmtpSinkServer::messageReceived, &f.run, [&] {
                if (sink.messages().size() == stopAt)
                    stopByClose ? f.run.requestStop() : f.run.AbortSendBtn1Click();
            });
        }
        f.useServer(sink.port());
        f.fillAll(recipients(1, count));

        QVERIFY(f.press());
        QCOMPARE(shortLog(f.view.log()), expectedLog);

        const int dealtWith = leftFrom ? leftFrom - 1 : count;
        QStringList failed;
        for (int n : refused)
            failed << recipient(n);
        if (loginRefused)
            failed = recipients(1, count);
        QStringList succeeded;
        for (const QString &r : recipients(1, dealtWith))
            if (!failed.contains(r))
                succeeded << r;
        QCOMPARE(rows(f.lists.ErrorTable), failed);
        QCOMPARE(rows(f.lists.SuccessTable), succeeded);
        QCOMPARE(rows(f.lists.MainTable), leftFrom ? recipients(leftFrom, count) : QStringList{});
        QVERIFY(!f.run.StopRequested());

        QStringList progress{QStringLiteral("progress max %1").arg(count), "progress 0"};
        for (int n = 1; n <= dealtWith; ++n)
            progress << QStringLiteral("progress %1").arg(n);
        QCOMPARE(f.view.eventsStartingWith("progress"), progress << "progress 0");
        QCOMPARE(f.view.events.count("count"), dealtWith);

        QCOMPARE(sink.messages().size(), succeeded.size());
        QCOMPARE(sink.connectionCount(), connections);
        QVERIFY(!f.mailer.Connected());
        QTRY_COMPARE(sink.openConnections(), 0);
    }

    // The whole order of one accepted address, log lines and window together, and what
    // went over the wire: the run's closing QUIT included.
    void oneAcceptedAddress()
    {
        SmtpSinkServer sink;
        RunFixture f;
        f.useServer(sink.port());
        f.fillAll({recipient(1)});
        QVERIFY(f.press());

        const QString port = sink.portText();
        const QStringList expected =
            lockDown
            + QStringList{"progress max 1", "progress 0", "log: Connecting...127.0.0.1:" + port,
                          "log: Connected Successfully!",
                          "log: Sending to ... Reader 01 <r01@example.org>",
                          "log: Send Success: Reader 01 <r01@example.org>", "count", "progress 1",
                          "progress 0", "log: Disconnected!"}
            + restore + QStringList{"log: DONE."};
        QCOMPARE(f.view.events, expected);
        QCOMPARE(rows(f.lists.SuccessTable), QStringList{recipient(1)});
        QVERIFY(rows(f.lists.MainTable).isEmpty());
        QTRY_COMPARE(sink.quitCount(), 1);
        QStringList commands = sink.commands();
        QVERIFY(!commands.isEmpty() && commands.first().startsWith("1 EHLO "));
        commands.removeFirst();
        QCOMPARE(commands, (QStringList{"1 RSET", "1 MAIL FROM:<sender@example.org>",
                                        "1 RCPT TO:<r01@example.org>", "1 DATA", "1 QUIT"}));
    }

    // A Stop while the last address is sent finds no further address: the run ends
    // normally and the request waits, through a run with All empty, for the next run that
    // has an address, which ends before its first send.
    void stopDuringTheLastSendStaysPending()
    {
        SmtpSinkServer sink;
        RunFixture f;
        QObject::connect(&sink, &SmtpSinkServer::messageReceived, &f.run, [&] {
            if (sink.messages().size() == 3)
                f.run.AbortSendBtn1Click();
        });
        f.useServer(sink.port());
        f.fillAll(recipients(1, 3));
        QVERIFY(f.press());
        QCOMPARE(shortLog(f.view.log()), "C + " + accepted(1, 2) + " s3 stop ok3 D done");
        QVERIFY(f.run.StopRequested());

        QVERIFY(f.press());
        QCOMPARE(shortLog(f.view.log()), QString("done"));
        QVERIFY(f.run.StopRequested());

        f.fillAll(recipients(4, 5));
        QVERIFY(f.press());
        QCOMPARE(shortLog(f.view.log()), QString("A done"));
        QVERIFY(!f.run.StopRequested());
        QCOMPARE(rows(f.lists.MainTable), recipients(4, 5));
        QCOMPARE(sink.connectionCount(), 1);
    }

    // No connection for the 11th address: the run ends with it and the rest in All, in
    // their order, and the next press of Send begins with the 11th.
    void connectionFailureAtTheEleventh()
    {
        ScriptedSmtpServer scripted(acceptingConnection(1, 10)
                                    << "S: 421 4.3.2 Too busy, try later" << "C: QUIT"
                                    << "closed");
        RunFixture f;
        f.useServer(scripted.port());
        f.fillAll(recipients(1, 15));
        QVERIFY(f.press());
        QTRY_VERIFY2(scripted.isDone() || !scripted.failure().isEmpty(), qPrintable(scripted.position()));
        QVERIFY2(scripted.succeeded(), qPrintable(scripted.failure()));
        QCOMPARE(shortLog(f.view.log()), "C + " + accepted(1, 10) + " D C + D X done");
        QCOMPARE(rows(f.lists.SuccessTable), recipients(1, 10));
        QCOMPARE(rows(f.lists.MainTable), recipients(11, 15));
        QCOMPARE(f.view.eventsStartingWith("progress").constLast(), QString("progress 0"));

        SmtpSinkServer sink;
        f.useServer(sink.port());
        QVERIFY(f.press());
        QCOMPARE(shortLog(f.view.log()), "C + " + accepted(11, 15) + " D done");
        QCOMPARE(sink.messages().first().to, QList<QByteArray>{bare(11).toUtf8()});
    }

    // An address that Success already holds is sent, then refused by Success: the run
    // stops there with the error, after the end of the loop and the restore, without
    // closing the connection and without "DONE.". The address lives on in Success only;
    // the next run goes on with the open connection.
    void duplicateInSuccessStopsTheRun()
    {
        SmtpSinkServer sink;
        RunFixture f;
        f.useServer(sink.port());
        f.lists.SuccessTable.AppendAddress(recipient(2));
        f.fillAll(recipients(1, 3));
        QVERIFY(f.press());

        QCOMPARE(shortLog(f.view.log()), "C + " + accepted(1, 2));
        const QStringList &events = f.view.events;
        const QStringList tail = events.mid(events.indexOf("log: Send Success: " + recipient(2)) + 1);
        const QStringList expectedTail = QStringList{"progress 0"} + restore
                                         + QStringList{"error: Duplicate index value. Operation aborted."};
        QCOMPARE(tail, expectedTail);
        QCOMPARE(rows(f.lists.MainTable), recipients(3, 3));
        QCOMPARE(rows(f.lists.SuccessTable), recipients(1, 2));
        QVERIFY(rows(f.lists.ErrorTable).isEmpty());
        QVERIFY(f.mailer.Connected());

        QVERIFY(f.press());
        QCOMPARE(shortLog(f.view.log()), "s3 ok3 D done");
        QCOMPARE(sink.connectionCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSendRun)
#include "tst_SendRun.moc"
