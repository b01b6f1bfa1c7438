// The log editor fed by AddLog: every line unchanged and in order, "Clear Log" at any time.
#include "ui/ActivityLogView.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

class TestActivityLogView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesArriveUnchanged()
    {
        QPlainTextEdit editor;
        ActivityLogView log(&editor);
        const QStringList lines{"", "Connecting...", "  two  spaces  ", "", "Send Success: a@b"};
        for (const QString &l : lines)
            log.addLine(l);
        QCOMPARE(log.lines(), lines);
        QCOMPARE(editor.toPlainText(), lines.join(u'\n'));
        log.addLine("DONE.");
        QTRY_COMPARE(editor.blockCount(), lines.size() + 1); // shown without being asked
        QCOMPARE(editor.document()->lastBlock().text(), QStringLiteral("DONE."));
    }

    void emptyFirstLineIsALine()
    {
        QPlainTextEdit editor;
        ActivityLogView log(&editor);
        log.addLine("");
        log.flush();
        log.addLine("x");
        QCOMPARE(log.lines(), (QStringList{"", "x"}));
    }

    void clearDropsShownAndPendingLines()
    {
        QPlainTextEdit editor;
        ActivityLogView log(&editor);
        log.addLine("shown");
        log.flush();
        log.addLine("not yet shown");
        log.clear();
        QCOMPARE(log.lines(), QStringList{});
        QTest::qWait(100); // the pending flush must not bring the line back
        QCOMPARE(editor.toPlainText(), QString());
        log.addLine("after");
        QCOMPARE(log.lines(), QStringList{"after"});
    }

    void followsTheEndUnlessScrolledAway()
    {
        QPlainTextEdit editor;
        editor.resize(300, 120);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        ActivityLogView log(&editor);
        for (int i = 0; i < 200; ++i)
            log.addLine(QString::number(i));
        log.flush();
        QScrollBar *bar = editor.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(0);
        log.addLine("more");
        log.flush();
        QCOMPARE(bar->value(), 0);
    }

    // Lines written while the log's tab is not in front are in view when it comes back.
    void followsTheEndWhileOnAnotherTab()
    {
        QTabWidget tabs;
        auto *editor = new QPlainTextEdit;
        tabs.addTab(editor, "Statistics");
        tabs.addTab(new QWidget, "Message");
        tabs.resize(300, 150);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        ActivityLogView log(editor);
        for (int i = 0; i < 50; ++i)
            log.addLine(QString::number(i));
        log.flush();
        tabs.setCurrentIndex(1);
        for (int i = 0; i < 100; ++i)
            log.addLine(QStringLiteral("hidden %1").arg(i));
        log.flush();
        tabs.setCurrentIndex(0);
        QApplication::processEvents();
        QScrollBar *bar = editor->verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        QCOMPARE(bar->value(), bar->maximum());
    }
};

QTEST_MAIN(TestActivityLogView)
#include "tst_ActivityLogView.moc"
