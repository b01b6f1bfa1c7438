#include "draft/MessageDraft.h"
#include "mailing/ActivityLog.h"
#include "mailing/Mailer.h"
#include "mailing/SendRun.h"
#include "recipients/RecipientLists.h"
#include "shell/ServerSettings.h"
#include "support/RecordingSendRunView.h"

#include <QSignalSpy>
#include <QtTest>

using namespace pelicast;
using pelicast::test::RecordingSendRunView;

namespace {

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
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
};

QTEST_GUILESS_MAIN(TestSendRun)
#include "tst_SendRun.moc"
