#include "shell/TerminationSignal.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

using namespace pelicast;

class TestTerminationSignal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signalsArriveThroughTheEventLoop_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void signalsArriveThroughTheEventLoop()
    {
        QFETCH(int, signal);
        TerminationSignal termination;
        QSignalSpy requested(&termination, &TerminationSignal::requested);
        QCOMPARE(::raise(signal), 0);
        QCOMPARE(requested.size(), 0); // never from inside the handler
        QVERIFY(requested.wait(2000));
        QCOMPARE(::raise(signal), 0); // and again for a second request
        QTRY_COMPARE(requested.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestTerminationSignal)
#include "tst_TerminationSignal.moc"
