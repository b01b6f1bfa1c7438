#include "common/Error.h"
#include "recipients/DatabaseCommands.h"
#include "recipients/DatabaseFile.h"
#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"
#include "support/ScriptedPrompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace pelicast;
using pelicast::test::ScriptedPrompts;

namespace {

// The part of the "Recipents" page these commands touch: the selected tab and the count label.
class FakePage : public RecipientsPage
{
public:
    int tab = 0;
    QString countLabel = QStringLiteral("untouched");

    int selectedListTab() const override { return tab; }
    QString newAddressText() const override { return {}; }
    void setNewAddressText(const QString &) override {}
    void setCountLabel(const QString &text) override { countLabel = text; }
    void setControlEnabled(RecipientControl, bool) override {}
    void setStatusText(const QString &) override {}
    void setAbortButtonVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
};

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

const QString question = QStringLiteral("warning: Clear database before opening ?");
const QString filter = QStringLiteral("Pelicast DataBase|*.sdb|All Files|*.*");

} // namespace

class TestDatabaseCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_fileOfTwo; // holds "z@x" and "b@x", in that order

private Q_SLOTS:
    void initTestCase()
    {
        RecipientLists lists;
        lists.openAll();
        lists.MainTable.beginLoad(false);
        lists.MainTable.addLoadedRecord(QStringLiteral("z@x"), RecipientList::Added);
        lists.MainTable.addLoadedRecord(QStringLiteral("b@x"), RecipientList::Added);
        lists.MainTable.finishLoad();
        m_fileOfTwo = m_dir.filePath(QStringLiteral("two.sdb"));
        SaveDatabaseFile(lists.MainTable, m_fileOfTwo);
    }

    void open_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("choose"); // pick the file, or cancel the dialog
        QTest::addColumn<QStringList>("all");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("questions");
        const QStringList mine{"a@x", "c@x"};
        const QStringList file{"z@x", "b@x"};
        QTest::newRow("Cancel ends") << int(Answer::Cancel) << true << mine << "untouched" << 1;
        QTest::newRow("Yes, dialog cancelled: emptied and counted")
            << int(Answer::Yes) << false << QStringList() << "0" << 2;
        QTest::newRow("No, dialog cancelled: nothing") << int(Answer::No) << false << mine << "untouched" << 2;
        QTest::newRow("Yes, loaded") << int(Answer::Yes) << true << file << "2" << 2;
        QTest::newRow("No, loaded: only the file's records") << int(Answer::No) << true << file << "2" << 2;
    }
    void open()
    {
        QFETCH(int, answer);
        QFETCH(bool, choose);
        QFETCH(QStringList, all);
        QFETCH(QString, label);
        QFETCH(int, questions);
        RecipientLists lists;
        lists.openAll();
        lists.MainTable.AppendAddress(QStringLiteral("c@x"));
        lists.MainTable.AppendAddress(QStringLiteral("a@x"));
        FakePage page;
        ScriptedPrompts prompts;
        prompts.answer(Answer(answer));
        prompts.answerFile(choose ? std::optional<QString>(m_fileOfTwo) : std::nullopt);

        Button3Click(lists, page, prompts);

        QCOMPARE(rows(lists.MainTable), all);
        QCOMPARE(page.countLabel, label);
        QCOMPARE(prompts.asked.size(), questions);
        QCOMPARE(prompts.asked.first(), question);
        if (questions == 2) {
            QCOMPARE(prompts.asked.last(), QStringLiteral("open: ") + filter);
            QCOMPARE(prompts.dialogs.first().defaultSuffix, QStringLiteral("sdb"));
        }
    }

    // A failed load still shows the count of what the list holds now.
    void openFailureRefreshesTheCount()
    {
        const QString text = m_dir.filePath(QStringLiteral("addresses.txt"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("someone@example.org\r\n");
        file.close();

        RecipientLists lists;
        lists.openAll();
        lists.MainTable.AppendAddress(QStringLiteral("a@x"));
        FakePage page;
        ScriptedPrompts prompts;
        prompts.answer(Answer::Yes);
        prompts.answerFile(text);
        QCOMPARE(errorOf([&] { Button3Click(lists, page, prompts); }),
                 QStringLiteral("Invalid stream format"));
        QCOMPARE(lists.MainTable.AddressCount(), 0);
        QCOMPARE(page.countLabel, QStringLiteral("0"));
    }

    void openAlwaysLoadsIntoAll()
    {
        RecipientLists lists;
        lists.openAll();
        FakePage page;
        page.tab = 0;
        ScriptedPrompts prompts;
        prompts.answer(Answer::No);
        prompts.answerFile(m_fileOfTwo);
        Button3Click(lists, page, prompts);
        QCOMPARE(lists.MainTable.AddressCount(), 2);
        QCOMPARE(lists.SuccessTable.AddressCount() + lists.ErrorTable.AddressCount(), 0);
    }

    void save_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("written"); // the one address of the list saved; empty: none
        QTest::newRow("All") << 0 << "all@x";
        QTest::newRow("Success") << 1 << "success@x";
        QTest::newRow("Error") << 2 << "error@x";
        QTest::newRow("no tab") << -1 << QString();
    }
    void save()
    {
        QFETCH(int, tab);
        QFETCH(QString, written);
        RecipientLists lists;
        lists.openAll();
        lists.MainTable.AppendAddress(QStringLiteral("all@x"));
        lists.SuccessTable.AppendAddress(QStringLiteral("success@x"));
        lists.ErrorTable.AppendAddress(QStringLiteral("error@x"));
        const QString target = m_dir.filePath(QStringLiteral("saved.sdb"));
        QFile::remove(target);
        // Replaced without a question.
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
        old.close();

        FakePage page;
        page.tab = tab;
        ScriptedPrompts prompts;
        prompts.answerFile(target);
        Button4Click(lists, page, prompts);

        QCOMPARE(prompts.asked, QStringList{QStringLiteral("save: ") + filter});
        const FileDialogSpec spec = prompts.dialogs.first();
        QCOMPARE(spec.title, QStringLiteral("Save"));
        QCOMPARE(spec.defaultSuffix, QStringLiteral("sdb"));
        QVERIFY(!spec.confirmOverwrite);
        QCOMPARE(page.countLabel, QStringLiteral("untouched"));

        RecipientList check(QStringLiteral("MainTableIndex"));
        check.OpenList();
        if (written.isEmpty()) {
            QCOMPARE(QFile(target).size(), qint64(11));
        } else {
            LoadDatabaseFile(check, target);
            QCOMPARE(rows(check), QStringList{written});
        }
    }

    void saveCancelled()
    {
        RecipientLists lists;
        lists.openAll();
        FakePage page;
        ScriptedPrompts prompts;
        prompts.answerFile(std::nullopt);
        Button4Click(lists, page, prompts);
        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY(!prompts.ranDry);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseCommands)
#include "tst_DatabaseCommands.moc"
