#include "RecordingRecipientsPage.h"

#include "common/Error.h"
#include "recipients/AbortFlag.h"
#include "recipients/IoError.h"
#include "recipients/RecipientLists.h"
#include "recipients/TextExport.h"
#include "recipients/TextFileCommands.h"
#include "recipients/TextImport.h"
#include "support/ScriptedPrompts.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace pelicast;
using pelicast::test::RecordingRecipientsPage;
using pelicast::test::ScriptedPrompts;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct Fixture
{
    RecipientLists lists;
    RecordingRecipientsPage page;
    ScriptedPrompts prompts;
    AbortFlag abort;
    QTemporaryDir dir;

    Fixture()
    {
        lists.openAll();
        for (const char *a : {"c@x", "a@x", "b@x"}) // All in address order
            lists.MainTable.AppendAddress(QString::fromLatin1(a));
        for (const char *a : {"s2@x", "s1@x"})
            lists.SuccessTable.AppendAddress(QString::fromLatin1(a));
        for (const char *a : {"e@x"})
            lists.ErrorTable.AppendAddress(QString::fromLatin1(a));
    }

    // Runs the export; the error text, or an empty text when it went through.
    QString exportTo(const std::optional<QString> &path)
    {
        prompts.answerFile(path);
        try {
            Button22Click(lists, page, prompts, abort);
        } catch (const Error &e) {
            return e.text();
        }
        return QString();
    }
};

} // namespace

class TestTextExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheSelectedList_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("All") << 0 << QByteArray("a@x\r\nb@x\r\nc@x\r\n");
        QTest::newRow("Success") << 1 << QByteArray("s1@x\r\ns2@x\r\n");
        QTest::newRow("Error") << 2 << QByteArray("e@x\r\n");
        QTest::newRow("no tab: All") << -1 << QByteArray("a@x\r\nb@x\r\nc@x\r\n");
    }
    void writesTheSelectedList()
    {
        QFETCH(int, tab);
        QFETCH(QByteArray, expected);
        Fixture f;
        f.page.tab = tab;
        RecipientList &list = tab == 1 ? f.lists.SuccessTable
                            : tab == 2 ? f.lists.ErrorTable
                                       : f.lists.MainTable;
        RecipientListModel &link = f.lists.viewLinkOf(list);
        list.setCurrentRow(list.count() - 1);
        const QString path = f.dir.filePath("out.txt");
        {
            QFile old(path); // an existing file is replaced
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(1000, 'o'));
        }
        QStringList duringWrite;
        f.page.onProgressPosition = [&](int position) {
            duringWrite << QStringLiteral("%1 abort=%2 link=%3")
                               .arg(position)
                               .arg(f.page.abortVisible)
                               .arg(link.isViewLinkEnabled());
        };

        QCOMPARE(f.exportTo(path), QString());

        QCOMPARE(contents(path), expected);
        QCOMPARE(entries(f.dir.path()), QStringList{"out.txt"});
        const FileDialogSpec spec = f.prompts.dialogs.value(0);
        QCOMPARE(spec.title, QStringLiteral("Save"));
        QCOMPARE(spec.filter, QStringLiteral("Text files|*.txt|All files|*.*"));
        QCOMPARE(spec.defaultSuffix, QStringLiteral("txt"));
        QVERIFY(spec.confirmOverwrite);
        // The bar runs to the position after each GoNext, the last one repeated at the end.
        const int n = list.count();
        QCOMPARE(f.page.progressMaximums, QList<int>{n});
        QList<int> positions{0};
        for (int i = 2; i <= n; ++i)
            positions << i;
        positions << n << 0;
        QCOMPARE(f.page.progressPositions, positions);
        QCOMPARE(duringWrite.first(), QStringLiteral("0 abort=1 link=1")); // before the switch
        QCOMPARE(duringWrite.at(1), QStringLiteral("%1 abort=1 link=0").arg(n > 1 ? 2 : 1));
        QCOMPARE(duringWrite.last(), QStringLiteral("0 abort=1 link=0")); // switched on after
        QVERIFY(!f.page.abortVisible);
        QVERIFY(link.isViewLinkEnabled());
        QCOMPARE(list.RecordPosition(), 1);
        QCOMPARE(f.page.countLabel, QStringLiteral("unset")); // no count refresh
    }

    void emptyListGivesAnEmptyFile()
    {
        Fixture f;
        f.lists.ErrorTable.EmptyList();
        f.page.tab = 2;
        const QString path = f.dir.filePath("empty.txt");
        QCOMPARE(f.exportTo(path), QString());
        QCOMPARE(contents(path), QByteArray());
        QCOMPARE(f.page.progressMaximums, QList<int>{0});
        QCOMPARE(f.page.progressPositions, (QList<int>{0, 0}));
        QCOMPARE(f.page.abortVisibility, (QList<bool>{true, false}));
    }

    void cancelledDialogDoesNothing()
    {
        Fixture f;
        QCOMPARE(f.exportTo(std::nullopt), QString());
        QVERIFY(f.page.progressMaximums.isEmpty());
        QVERIFY(f.page.abortVisibility.isEmpty());
        QVERIFY(entries(f.dir.path()).isEmpty());
    }

    void pendingAbortStopsBeforeTheFirstLine()
    {
        Fixture f;
        f.abort.request();
        const QString path = f.dir.filePath("out.txt");
        QCOMPARE(f.exportTo(path), QString());
        QCOMPARE(contents(path), QByteArray());
        QVERIFY(!f.abort.isRequested());
        QCOMPARE(f.lists.MainTable.RecordPosition(), 1);
    }

    void failuresLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("target"); // relative to the test folder unless absolute
        QTest::addColumn<QString>("error");
        QTest::newRow("folder without write access") << "locked/out.txt" << "File access denied";
        QTest::newRow("missing folder") << "missing/out.txt" << "Invalid filename";
        QTest::newRow("a file used as a folder") << "plain/out.txt" << "Invalid filename";
        QTest::newRow("name too long") << QString(300, u'n') << "Invalid filename";
        QTest::newRow("a folder as the file") << "plain-folder" << "File access denied";
        QTest::newRow("disk full") << "full/out.txt" << "Disk full";
    }
    void failuresLeaveNothingBehind()
    {
        QFETCH(QString, target);
        QFETCH(QString, error);
        Fixture f;
        for (int i = 0; i < 5000; ++i) // enough to outgrow every write buffer
            f.lists.MainTable.AppendAddress(QStringLiteral("recipient%1@example.org").arg(i));
        const QByteArray before = QByteArray(10, 'o');
        QString path = f.dir.filePath(target);
        QVERIFY(QFile(f.dir.filePath("plain")).open(QIODevice::WriteOnly));
        QVERIFY(QDir(f.dir.path()).mkdir("plain-folder"));
        QVERIFY(QDir(f.dir.path()).mkdir("full"));

        if (target.startsWith("locked/")) {
            const QString locked = f.dir.filePath("locked");
            QVERIFY(QDir().mkdir(locked));
            QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
            if (QFile(locked + "/probe").open(QIODevice::WriteOnly)) {
                // Permission bits do not hold back root: use a folder of the kernel's
                // that refuses new files to everybody.
                QFile::remove(locked + "/probe");
                if (QFile("/sys/pelicast-probe.txt").open(QIODevice::WriteOnly))
                    QSKIP("no folder here refuses new files to this user");
                path = QStringLiteral("/sys/pelicast-export-test.txt");
            }
        }

        struct rlimit oldLimit{};
        const bool limitSize = target.startsWith("full/");
        if (limitSize) { // the file size limit stops a write short, as a full disk does
            QVERIFY(getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
            struct rlimit small = oldLimit;
            small.rlim_cur = 64 * 1024;
            std::signal(SIGXFSZ, SIG_IGN);
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        const QString text = f.exportTo(path);
        if (limitSize)
            setrlimit(RLIMIT_FSIZE, &oldLimit);

        QCOMPARE(text, error);
        QVERIFY(!QFileInfo(path).isFile());
        QCOMPARE(entries(f.dir.path() + "/full"), QStringList());
        if (QFileInfo(path).absolutePath() != f.dir.path())
            QCOMPARE(entries(QFileInfo(path).absolutePath()).contains(QFileInfo(path).fileName()),
                     false);
        QCOMPARE(entries(f.dir.path()).size(), target.startsWith("locked/") ? 4 : 3);
        QVERIFY(!f.page.abortVisible);
        QCOMPARE(f.lists.MainTable.count(), 5003);
        QVERIFY(f.lists.DataSource1.isViewLinkEnabled());
        QFile::setPermissions(f.dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner
                                                             | QFile::ExeOwner);
    }

    void importGivesTheExportedAddressesBack()
    {
        Fixture f;
        const QStringList addresses{"Zo\u00eb <z@x>", "a@x ", "", "\ttab@x", "A@x", "\u4e2d@x",
                                    QString(100, u'w')};
        for (const QString &a : addresses)
            f.lists.MainTable.AppendAddress(a);
        QStringList before;
        for (int i = 0; i < f.lists.MainTable.count(); ++i)
            before << f.lists.MainTable.addressAt(i);
        const QString path = f.dir.filePath("round.txt");
        QCOMPARE(f.exportTo(path), QString());

        f.prompts.answer(Answer::Yes); // clear All first
        f.prompts.answerFile(path);
        TextImport import(f.lists, f.page, f.prompts, f.abort);
        QSignalSpy finished(&import, &TextImport::finished);
        QSignalSpy failed(&import, &TextImport::failed);
        QVERIFY(import.start());
        QVERIFY(finished.wait(10000));
        QCOMPARE(failed.count(), 0);
        QStringList after;
        for (int i = 0; i < f.lists.MainTable.count(); ++i)
            after << f.lists.MainTable.addressAt(i);
        QCOMPARE(after, before);
        QCOMPARE(import.duplicates(), 0);
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("systemError");
        QTest::addColumn<bool>("creating");
        QTest::addColumn<QString>("text");
        QTest::newRow("ENOENT reading") << ENOENT << false << "File not found";
        QTest::newRow("ENOENT creating") << ENOENT << true << "Invalid filename";
        QTest::newRow("EMFILE") << EMFILE << false << "Too many open files";
        QTest::newRow("ENFILE") << ENFILE << true << "Too many open files";
        QTest::newRow("EROFS") << EROFS << true << "File access denied";
        QTest::newRow("ENOSPC") << ENOSPC << true << "Disk full";
        QTest::newRow("EIO") << EIO << false << "I/O error 5";
        QTest::newRow("ENXIO") << ENXIO << false << "I/O error 6";
    }
    void errorTexts()
    {
        QFETCH(int, systemError);
        QFETCH(bool, creating);
        QFETCH(QString, text);
        QCOMPARE(ioErrorText(systemError, creating ? FileAction::Create : FileAction::Read), text);
    }
};

QTEST_GUILESS_MAIN(TestTextExport)
#include "tst_TextExport.moc"
