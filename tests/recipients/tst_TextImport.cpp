#include "RecordingRecipientsPage.h"

#include "recipients/AbortFlag.h"
#include "recipients/RecipientLists.h"
#include "recipients/TextFileCommands.h"
#include "recipients/TextImport.h"
#include "support/ScriptedPrompts.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace pelicast;
using pelicast::test::RecordingRecipientsPage;
using pelicast::test::ScriptedPrompts;

namespace {

// What the list holds, from its stored bytes (a QString round trip through fromUtf8() would
// hide a leading byte-order mark).
QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        const QByteArrayView utf8 = list.addressUtf8At(i);
        out << (utf8.startsWith("\xef\xbb\xbf") ? QChar(0xfeff) + QString::fromUtf8(utf8.sliced(3))
                                                  : QString::fromUtf8(utf8));
    }
    return out;
}

QString status(int read, int duplicates)
{
    return QStringLiteral("Imported: %1 /Dublicates: %2").arg(read).arg(duplicates);
}

// The program's objects around one import, with All in file order so that a test sees the
// lines in the order they were stored.
struct Fixture
{
    RecipientLists lists;
    RecordingRecipientsPage page;
    ScriptedPrompts prompts;
    AbortFlag abort;
    QTemporaryDir dir;
    QStringList errors;
    int finishedCount = 0;

    Fixture()
    {
        lists.openAll();
        lists.MainTable.beginLoad(false);
        lists.MainTable.finishLoad();
    }

    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("in.txt"))
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return path;
    }

    // Answers the question and the dialog, runs the import to its end.
    void import(Answer answer, const std::optional<QString> &path, TextImport *reuse = nullptr)
    {
        prompts.answer(answer);
        if (answer != Answer::Cancel)
            prompts.answerFile(path);
        TextImport own(lists, page, prompts, abort);
        TextImport &import = reuse ? *reuse : own;
        QObject::connect(&import, &TextImport::failed,
                         [this](const QString &text) { errors << text; });
        QObject::connect(&import, &TextImport::finished, [this] { ++finishedCount; });
        if (import.start())
            QTRY_VERIFY_WITH_TIMEOUT(!import.isRunning(), 20000);
        QVERIFY(!prompts.ranDry);
    }

    // The state every way out of a started import leaves behind.
    void verifyCleanedUp() const
    {
        QVERIFY(!page.abortVisible);
        QCOMPARE(page.status, QString());
        QVERIFY(lists.DataSource1.isViewLinkEnabled());
        QCOMPARE(page.countLabel, QString::number(lists.MainTable.count()));
        QCOMPARE(finishedCount, 1);
    }
};

} // namespace

class TestTextImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readingRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("linesRead");

        const QStringList abc{"a@x", "b@x", "c@x"};
        QTest::newRow("LF") << QByteArray("a@x\nb@x\nc@x\n") << abc << 3;
        QTest::newRow("CR LF") << QByteArray("a@x\r\nb@x\r\nc@x\r\n") << abc << 3;
        QTest::newRow("mixed") << QByteArray("a@x\r\nb@x\nc@x\r\n") << abc << 3;
        QTest::newRow("no final line end") << QByteArray("a@x\nb@x\r\nc@x") << abc << 3;
        QTest::newRow("lone CRs dropped inside a line")
            << QByteArray("a\r@x\r\r\nb@x\r") << QStringList{"a@x", "b@x"} << 2;
        QByteArray crLines;
        for (int i = 0; i < 30; ++i)
            crLines += QByteArray::number(1000000000 + i) + '\r';
        QString joined = QString::fromLatin1(crLines).remove(u'\r');
        QTest::newRow("CR alone ends no line: one line, cut to 100")
            << crLines << QStringList{joined.left(100)} << 1;
        QTest::newRow("0x1A ends the file")
            << QByteArray("a@x\nb@x\x1a" "c@x\nd@x\n") << QStringList{"a@x", "b@x"} << 2;
        QTest::newRow("0x1A at a line start")
            << QByteArray("a@x\r\n\x1a\r\nb@x\r\n") << QStringList{"a@x"} << 1;
        QTest::newRow("empty file") << QByteArray() << QStringList{} << 0;
        QTest::newRow("only 0x1A") << QByteArray("\x1a" "a@x\n") << QStringList{} << 0;
        QTest::newRow("empty lines: the first is an address, the others duplicates")
            << QByteArray("\n\r\na@x\n\n") << QStringList{"", "a@x"} << 4;
        QTest::newRow("a lone CR is an empty line")
            << QByteArray("\r") << QStringList{""} << 1;
        QTest::newRow("white space kept")
            << QByteArray("a@x \na@x\n\ta@x\n a@x\t\n")
            << QStringList{"a@x ", "a@x", "\ta@x", " a@x\t"} << 4;
        QTest::newRow("letter case counts")
            << QByteArray("a@x\nA@x\na@x\n") << QStringList{"a@x", "A@x"} << 3;
        const QByteArray longLine = QByteArray(150, 'l');
        QTest::newRow("over-long line cut to 100")
            << longLine + "\nb@x\n" << QStringList{QString(100, u'l'), "b@x"} << 2;
        const QByteArray u = QByteArray("\xc3\xbc");        // one character, two bytes
        const QByteArray g = QByteArray("\xf0\x9d\x84\x9e"); // one character, four bytes
        QTest::newRow("characters, not bytes, count to 100")
            << u.repeated(100) + "\n" + u.repeated(100) + "\n" + g.repeated(101) + "\n"
            << QStringList{QString::fromUtf8(u.repeated(100)), QString::fromUtf8(g.repeated(100))}
            << 3;
        const QByteArray hugeLine = QByteArray(3 * 1024 * 1024, 'h') + "@x";
        QTest::newRow("a line longer than any read buffer")
            << QByteArray("a@x\n") + hugeLine + "\r\nb@x"
            << QStringList{"a@x", QString(100, u'h'), "b@x"} << 3;
        QTest::newRow("byte-order mark is part of the first line")
            << QByteArray("\xef\xbb\xbf" "a@x\na@x\n")
            << QStringList{QString(QChar(0xfeff)) + "a@x", "a@x"} << 2;
        QTest::newRow("UTF-8, and Latin-1 for a line that is not UTF-8")
            << QByteArray("Zo\xc3\xab <z@x>\nJos\xe9 <j@x>\nZo\xeb <z@x>\n")
            << QStringList{QString::fromUtf8("Zo\xc3\xab <z@x>"),
                           QString::fromUtf8("Jos\xc3\xa9 <j@x>")}
            << 3;
    }
    void readingRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QFETCH(int, linesRead);
        Fixture f;
        TextImport import(f.lists, f.page, f.prompts, f.abort);
        f.import(Answer::No, f.write(bytes), &import);
        QCOMPARE(f.errors, QStringList());
        QCOMPARE(rows(f.lists.MainTable), expected);
        QCOMPARE(import.linesRead(), linesRead);
        QCOMPARE(import.duplicates(), linesRead - expected.size());
        f.verifyCleanedUp();
        if (expected.isEmpty()) // nothing stored: the status text was never set
            QCOMPARE(f.page.statusTexts, QStringList{QString()});
    }

    void statusAndStateWhileItRuns()
    {
        Fixture f;
        f.lists.MainTable.AppendAddress("old@x");
        QSignalSpy resets(&f.lists.DataSource1, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&f.lists.DataSource1, &QAbstractItemModel::rowsInserted);
        QStringList seen;
        f.page.onStatusText = [&](const QString &text) {
            if (text.isEmpty())
                return;
            seen << QStringLiteral("%1 abort=%2 link=%3 count=%4")
                        .arg(text)
                        .arg(f.page.abortVisible)
                        .arg(f.lists.DataSource1.isViewLinkEnabled())
                        .arg(f.lists.MainTable.count());
        };
        f.import(Answer::No, f.write("a@x\r\na@x\r\nold@x\r\nb@x\r\n"));

        QCOMPARE(f.prompts.asked, (QStringList{"warning: Clear database before importing ?",
                                               "open: Text files|*.txt|All Files |*.*"}));
        QCOMPARE(f.prompts.dialogs.value(0).filter, QStringLiteral("Text files|*.txt|All Files |*.*"));
        // One status text per stored line; none for a duplicate.
        QCOMPARE(seen, (QStringList{status(1, 0) + " abort=1 link=0 count=2",
                                    status(4, 2) + " abort=1 link=0 count=3"}));
        QCOMPARE(f.page.statusTexts.last(), QString());
        QCOMPARE(f.page.abortVisibility, (QList<bool>{true, false}));
        QCOMPARE(rows(f.lists.MainTable), (QStringList{"old@x", "a@x", "b@x"}));
        // The grid is reset once at the end instead of following every line.
        QCOMPARE(resets.count(), 1);
        QCOMPARE(inserts.count(), 0);
        QCOMPARE(f.errors, QStringList());
        f.verifyCleanedUp();
        QCOMPARE(f.page.countLabel, QStringLiteral("3"));
    }

    void abort_data()
    {
        QTest::addColumn<int>("abortAfterStored"); // 0: requested before the import
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("before the first line") << 0 << QStringList{"keep@x"};
        QTest::newRow("in the middle") << 2 << QStringList{"keep@x", "a@x", "b@x"};
    }
    void abort()
    {
        QFETCH(int, abortAfterStored);
        QFETCH(QStringList, expected);
        Fixture f;
        f.lists.MainTable.AppendAddress("keep@x");
        if (abortAfterStored == 0)
            f.abort.request();
        // The status text is set right before the window's events would run: a click on
        // Abort lands there.
        f.page.onStatusText = [&](const QString &text) {
            if (text == status(abortAfterStored, 0))
                AbortButtonClick(f.abort);
        };
        f.import(Answer::No, f.write("a@x\nb@x\nc@x\nd@x\n"));
        QCOMPARE(rows(f.lists.MainTable), expected);
        QVERIFY(!f.abort.isRequested()); // the loop that honoured it cleared it
        QCOMPARE(f.errors, QStringList());
        f.verifyCleanedUp();
    }

    void abortClickedWhileTheEventLoopRuns()
    {
        // A file far longer than one slice: the event loop must get control back before the
        // end, so that a queued click is seen.
        Fixture f;
        QByteArray bytes;
        const int total = 400000;
        for (int i = 0; i < total; ++i)
            bytes += "recipient" + QByteArray::number(i) + "@example.org\r\n";
        const QString path = f.write(bytes);
        f.prompts.answer(Answer::No);
        f.prompts.answerFile(path);
        TextImport import(f.lists, f.page, f.prompts, f.abort);
        QSignalSpy finished(&import, &TextImport::finished);
        QVERIFY(import.start());
        QCOMPARE(import.linesRead(), 0); // nothing is read before the event loop runs
        QVERIFY(f.page.abortVisible);    // but the Abort button shows from the open on
        QTimer::singleShot(0, [&] { f.abort.request(); });
        QVERIFY(finished.wait(20000));
        QVERIFY(import.linesRead() > 0);
        QVERIFY(import.linesRead() < total);
        QCOMPARE(f.lists.MainTable.count(), int(import.linesRead()));
        QVERIFY(!f.abort.isRequested());
        QCOMPARE(finished.count(), 1);
    }

    void requestAfterTheLastLineStopsTheNextImport()
    {
        Fixture f;
        const QString path = f.write("a@x\nb@x\n");
        f.page.onStatusText = [&](const QString &text) {
            if (text == status(2, 0))
                f.abort.request();
        };
        f.import(Answer::No, path);
        QCOMPARE(rows(f.lists.MainTable), (QStringList{"a@x", "b@x"}));
        QVERIFY(f.abort.isRequested()); // pending: no loop looked at it

        Fixture next;
        next.abort.request();
        TextImport import(next.lists, next.page, next.prompts, next.abort);
        next.import(Answer::No, path, &import);
        QCOMPARE(import.linesRead(), 0);
        QVERIFY(!next.abort.isRequested());
    }

    void handlerOwnsTheImportAndReportsItsError()
    {
        Fixture f;
        const QString folder = f.dir.filePath("folder.txt");
        QVERIFY(QDir().mkdir(folder));
        QObject window;
        QStringList shown;
        auto onError = [&](const QString &text) { shown << text; };

        f.prompts.answer(Answer::No);
        f.prompts.answerFile(folder); // opens, then fails on the first read
        QPointer<TextImport> running =
            Button17OpenClick(f.lists, f.page, f.prompts, f.abort, &window, onError);
        QVERIFY(running);
        QTRY_VERIFY(!running); // deleted once finished
        QCOMPARE(shown, QStringList{"File access denied"});

        f.prompts.answer(Answer::Cancel);
        QVERIFY(!Button17OpenClick(f.lists, f.page, f.prompts, f.abort, &window, onError));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.children().isEmpty());
        QCOMPARE(shown.size(), 1);
    }

    void endsBeforeReading_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("chooseMissingFile"); // else the dialog is cancelled
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("countLabel");
        QTest::newRow("Cancel") << Answer::Cancel << false << 2 << "unset";
        QTest::newRow("Yes, then Cancel in the dialog") << Answer::Yes << false << 0 << "0";
        QTest::newRow("Yes, then a missing file") << Answer::Yes << true << 0 << "0";
        QTest::newRow("No, then Cancel in the dialog") << Answer::No << false << 2 << "unset";
        QTest::newRow("No, then a missing file") << Answer::No << true << 2 << "unset";
    }
    void endsBeforeReading()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, chooseMissingFile);
        QFETCH(int, left);
        QFETCH(QString, countLabel);
        Fixture f;
        f.lists.MainTable.AppendAddress("a@x");
        f.lists.MainTable.AppendAddress("b@x");
        f.import(answer, chooseMissingFile ? std::optional(f.dir.filePath("missing.txt"))
                                           : std::nullopt);
        QCOMPARE(f.lists.MainTable.count(), left);
        QCOMPARE(f.page.countLabel, countLabel);
        QCOMPARE(f.errors, QStringList());
        QCOMPARE(f.finishedCount, 1);
        // The file was never opened: the Abort button and the status panel were not touched.
        QVERIFY(f.page.abortVisibility.isEmpty());
        QVERIFY(f.page.statusTexts.isEmpty());
        QVERIFY(f.lists.DataSource1.isViewLinkEnabled());
    }

    void errorsEndTheImportAfterTheCleanup_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("asFolder");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("expected");
        const QString head = QString(100, u'x');
        QTest::newRow("a cut line equal to an address in All")
            << QByteArray("a@x\n") + QByteArray(100, 'x') + "tail\nb@x\n" << false
            << "Duplicate index value. Operation aborted." << QStringList{head, "a@x"};
        QTest::newRow("an over-long line twice in the file")
            << QByteArray("a@x\n") + QByteArray(120, 'y') + "\n" + QByteArray(120, 'y')
                   + "\nb@x\n"
            << false << "Duplicate index value. Operation aborted."
            << QStringList{head, "a@x", QString(100, u'y')};
        QTest::newRow("a folder") << QByteArray() << true << "File access denied"
                                  << QStringList{head};
    }
    void errorsEndTheImportAfterTheCleanup()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, asFolder);
        QFETCH(QString, error);
        QFETCH(QStringList, expected);
        Fixture f;
        f.lists.MainTable.AppendAddress(QString(100, u'x'));
        QString path = f.write(bytes);
        if (asFolder) {
            path = f.dir.filePath("folder.txt");
            QVERIFY(QDir().mkdir(path));
        }
        TextImport import(f.lists, f.page, f.prompts, f.abort);
        // The error box comes after the cleanup and the count refresh.
        QObject::connect(&import, &TextImport::failed, [&] {
            QVERIFY(!f.page.abortVisible);
            QCOMPARE(f.page.status, QString());
            QVERIFY(f.lists.DataSource1.isViewLinkEnabled());
            QCOMPARE(f.page.countLabel, QString::number(expected.size()));
        });
        f.import(Answer::No, path, &import);
        QCOMPARE(f.errors, QStringList{error});
        QCOMPARE(rows(f.lists.MainTable), expected);
        f.verifyCleanedUp();
    }
};

QTEST_GUILESS_MAIN(TestTextImport)
#include "tst_TextImport.moc"
