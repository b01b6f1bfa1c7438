#include "common/Error.h"
#include "recipients/RecipientCommands.h"
#include "recipients/RecipientLists.h"
#include "support/FakeRecipientsPage.h"
#include "support/ScriptedPrompts.h"

#include <QtTest>

#include <functional>
#include <memory>

using namespace pelicast;
using namespace pelicast::test;
using enum RecipientControl;

namespace {

const QString duplicate = QStringLiteral("Duplicate index value. Operation aborted.");

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

void fill(RecipientList &list, const QStringList &addresses)
{
    for (const QString &a : addresses)
        list.AppendAddress(a);
}

// Lists opened and filled, a page and scripted prompts, wired to the commands.
struct Fixture
{
    RecipientLists lists;
    FakeRecipientsPage page;
    ScriptedPrompts prompts;
    RecipientCommands commands{lists, page, prompts};

    Fixture(const QStringList &all = {}, const QStringList &success = {},
            const QStringList &error = {})
    {
        lists.openAll();
        fill(lists.MainTable, all);
        fill(lists.SuccessTable, success);
        fill(lists.ErrorTable, error);
    }
};

// Lower-case ASCII addresses sort the same under every collation the tests may run with.
const QStringList abc{"a@x", "b@x", "c@x"};

} // namespace

class TestRecipientCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newAddressRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("addEnabled");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("spaces are text") << QStringLiteral("  ") << true;
        QTest::newRow("address") << QStringLiteral("Jo <jo@x>") << true;
    }
    void newAddressRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, addEnabled);
        Fixture f;
        f.page.edit1 = text;
        f.commands.Edit1Change();
        QCOMPARE(f.page.enabledState(BitBtn1), std::optional<bool>(addEnabled));
    }

    void add_data()
    {
        QTest::addColumn<QStringList>("all");
        QTest::addColumn<bool>("fileOrder");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expectedRows");
        QTest::addColumn<QString>("expectedCurrent");
        QTest::addColumn<QString>("expectedEdit1");
        QTest::addColumn<QString>("expectedError");
        const QString h100(100, u'h');
        const QString h150 = h100 + QString(50, u'z');

        QTest::newRow("new address takes its sorted place")
            << QStringList{"a@x", "c@x"} << false << "b@x" << abc << "b@x" << "" << "";
        QTest::newRow("after a load it goes to the end")
            << QStringList{"c@x", "a@x"} << true << "b@x"
            << QStringList{"c@x", "a@x", "b@x"} << "b@x" << "" << "";
        QTest::newRow("known address: selected, not stored, text kept")
            << abc << false << "a@x" << abc << "a@x" << "a@x" << "";
        QTest::newRow("another letter case is another address")
            << abc << true << "A@x" << QStringList{"a@x", "b@x", "c@x", "A@x"} << "A@x" << ""
            << "";
        QTest::newRow("150 characters are stored as 100")
            << abc << false << h150 << QStringList{"a@x", "b@x", "c@x", h100} << h100 << ""
            << "";
        QTest::newRow("150 characters whose first 100 are known")
            << QStringList{"a@x", h100} << false << h150 << QStringList{"a@x", h100} << h100
            << h150 << duplicate;
        QTest::newRow("the empty text is an address")
            << abc << false << "" << QStringList{"", "a@x", "b@x", "c@x"} << "" << "" << "";
    }
    void add()
    {
        QFETCH(QStringList, all);
        QFETCH(bool, fileOrder);
        QFETCH(QString, text);
        QFETCH(QStringList, expectedRows);
        QFETCH(QString, expectedCurrent);
        QFETCH(QString, expectedEdit1);
        QFETCH(QString, expectedError);
        Fixture f;
        RecipientList &list = f.lists.MainTable;
        if (fileOrder) {
            list.beginLoad(false);
            for (const QString &a : all)
                list.addLoadedRecord(a, RecipientList::Unchanged);
            list.finishLoad();
        } else {
            fill(list, all);
        }
        list.setCurrentRow(list.count() - 1);
        f.page.edit1 = text;
        f.page.countLabel = QStringLiteral("before");

        QCOMPARE(errorOf([&] { f.commands.BitBtn1Click(); }), expectedError);
        QCOMPARE(rows(list), expectedRows);
        QCOMPARE(list.Address(), expectedCurrent);
        QCOMPARE(f.page.edit1, expectedEdit1);
        QVERIFY(f.prompts.asked.isEmpty());
        const bool stored = expectedRows.size() > all.size();
        QCOMPARE(f.page.countLabel,
                 stored ? QString::number(expectedRows.size()) : QStringLiteral("before"));
        if (stored) {
            QCOMPARE(f.page.enabledState(BitBtn1), std::optional<bool>(false));
            QCOMPARE(list.changeStatusAt(list.currentRow()), quint8(RecipientList::Added));
        }
    }

    void deleteTakesCurrentAndRefreshes()
    {
        Fixture f(abc);
        f.lists.MainTable.FindAddress(QStringLiteral("b@x"));
        f.commands.Button6Click();
        QCOMPARE(rows(f.lists.MainTable), (QStringList{"a@x", "c@x"}));
        QCOMPARE(f.lists.MainTable.Address(), QStringLiteral("c@x")); // the next one
        QCOMPARE(f.page.countLabel, QStringLiteral("2"));

        Fixture empty;
        empty.page.countLabel = QStringLiteral("stale");
        empty.commands.Button6Click();
        QCOMPARE(empty.page.countLabel, QStringLiteral("0"));
    }

    void editMovesAddressIntoEdit1()
    {
        Fixture f(abc);
        f.lists.MainTable.FindAddress(QStringLiteral("b@x"));
        f.page.edit1 = QStringLiteral("typed");
        f.page.enabled[BitBtn1] = false;
        f.commands.BitBtn2Click();
        QCOMPARE(f.page.edit1, QStringLiteral("b@x"));
        QCOMPARE(f.page.enabledState(BitBtn1), std::optional<bool>(true));
        QCOMPARE(rows(f.lists.MainTable), (QStringList{"a@x", "c@x"}));
        QCOMPARE(f.page.countLabel, QStringLiteral("2"));
        // Add brings it back.
        f.commands.BitBtn1Click();
        QCOMPARE(rows(f.lists.MainTable), abc);

        Fixture empty;
        empty.page.edit1 = QStringLiteral("typed");
        empty.commands.BitBtn2Click();
        QCOMPARE(empty.page.edit1, QStringLiteral("typed"));
        QVERIFY(empty.page.enabled.empty());
    }

    void find_data()
    {
        QTest::addColumn<QStringList>("all");
        QTest::addColumn<std::optional<QString>>("entry");
        QTest::addColumn<QString>("expectedCurrent");
        QTest::addColumn<QString>("expectedMessage");
        const std::optional<QString> none;
        QTest::newRow("found") << abc << std::optional<QString>("b@x") << "b@x" << "";
        QTest::newRow("other letter case")
            << abc << std::optional<QString>("B@x") << "c@x" << "\" B@x \"  Not Found!";
        QTest::newRow("part of an address")
            << abc << std::optional<QString>("a@") << "c@x" << "\" a@ \"  Not Found!";
        QTest::newRow("empty list") << QStringList{} << std::optional<QString>("a@x") << ""
                                    << "\" a@x \"  Not Found!";
        QTest::newRow("cancelled") << abc << none << "c@x" << "";
        QTest::newRow("empty entry") << abc << std::optional<QString>("") << "c@x" << "";
    }
    void find()
    {
        QFETCH(QStringList, all);
        QFETCH(std::optional<QString>, entry);
        QFETCH(QString, expectedCurrent);
        QFETCH(QString, expectedMessage);
        Fixture f(all);
        f.prompts.answerText(entry);
        f.commands.BitBtn3Click();
        QStringList expectedAsked{QStringLiteral("input: Find:|Find:|")};
        if (!expectedMessage.isEmpty())
            expectedAsked << QStringLiteral("message: ") + expectedMessage;
        QCOMPARE(f.prompts.asked, expectedAsked);
        QCOMPARE(f.lists.MainTable.Address(), expectedCurrent);
    }

    void clear_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QList<int>>("expectedCounts");
        QTest::addColumn<QString>("expectedLabel");
        const int yes = int(Answer::Yes);
        QTest::newRow("All, Yes") << 0 << yes << "Really clear \"All\" database ?"
                                  << QList<int>{0, 2, 1} << "0";
        QTest::newRow("Error, Yes empties only Error")
            << 2 << yes << "Really clear \"Error\" database ?" << QList<int>{3, 2, 0} << "0";
        QTest::newRow("Success, No") << 1 << int(Answer::No)
                                     << "Really clear \"Success\" database ?"
                                     << QList<int>{3, 2, 1} << "before";
        QTest::newRow("All, Cancel") << 0 << int(Answer::Cancel)
                                     << "Really clear \"All\" database ?" << QList<int>{3, 2, 1}
                                     << "before";
    }
    void clear()
    {
        QFETCH(int, tab);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(QList<int>, expectedCounts);
        QFETCH(QString, expectedLabel);
        Fixture f(abc, {"s1@x", "s2@x"}, {"e1@x"});
        f.page.tab = tab;
        f.page.countLabel = QStringLiteral("before");
        f.prompts.answer(Answer(answer));
        f.commands.Button5Click();
        QCOMPARE(f.prompts.asked, QStringList{QStringLiteral("warning: ") + question});
        QCOMPARE((QList<int>{f.lists.MainTable.AddressCount(), f.lists.SuccessTable.AddressCount(),
                             f.lists.ErrorTable.AddressCount()}),
                 expectedCounts);
        QCOMPARE(f.page.countLabel, expectedLabel);
    }

    void moveToAll_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("expectedAll");
        QTest::addColumn<QStringList>("expectedSource");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("Success into All, sorted in")
            << 1 << QStringList{"a@x", "z@x"} << QStringList{"a@x", "m@x", "z@x"}
            << QStringList{} << "";
        QTest::newRow("Error into All")
            << 2 << QStringList{"c@x"} << QStringList{"c@x", "m@x"} << QStringList{} << "";
        QTest::newRow("empty source changes nothing")
            << 1 << QStringList{} << QStringList{"m@x"} << QStringList{} << "";
        QTest::newRow("duplicate in the middle: stop, source kept")
            << 1 << QStringList{"a@x", "m@x", "z@x"} << QStringList{"a@x", "m@x"}
            << QStringList{"a@x", "m@x", "z@x"} << duplicate;
    }
    void moveToAll()
    {
        QFETCH(int, tab);
        QFETCH(QStringList, source);
        QFETCH(QStringList, expectedAll);
        QFETCH(QStringList, expectedSource);
        QFETCH(QString, expectedError);
        Fixture f({"m@x"});
        RecipientList &from = tab == 1 ? f.lists.SuccessTable : f.lists.ErrorTable;
        RecipientList &other = tab == 1 ? f.lists.ErrorTable : f.lists.SuccessTable;
        fill(from, source);
        other.AppendAddress(QStringLiteral("untouched@x"));
        f.page.tab = tab;
        f.page.countLabel = QStringLiteral("before");

        QCOMPARE(errorOf([&] { f.commands.Button13Click(); }), expectedError);
        QCOMPARE(rows(f.lists.MainTable), expectedAll);
        QCOMPARE(rows(from), expectedSource);
        QCOMPARE(rows(other), QStringList{QStringLiteral("untouched@x")});
        QCOMPARE(f.page.countLabel, expectedError.isEmpty() ? QStringLiteral("0")
                                                            : QStringLiteral("before"));
        QVERIFY(f.prompts.asked.isEmpty());
    }

    void buttonRule_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("edit1");
        QTest::addColumn<bool>("addEnabled");
        QTest::addColumn<bool>("allOnly");   // Edit1, Delete, Edit, Find, Open, Import
        QTest::addColumn<QString>("label");
        QTest::newRow("All with text") << 0 << "a@x" << true << true << "10";
        QTest::newRow("All, empty Edit1") << 0 << "" << false << true << "10";
        QTest::newRow("Success") << 1 << "a@x" << false << false << "0";
        QTest::newRow("Error") << 2 << "a@x" << false << false << "3";
    }
    void buttonRule()
    {
        QFETCH(int, tab);
        QFETCH(QString, edit1);
        QFETCH(bool, addEnabled);
        QFETCH(bool, allOnly);
        QFETCH(QString, label);
        QStringList ten;
        for (int i = 0; i < 10; ++i)
            ten << QStringLiteral("a%1@x").arg(i);
        Fixture f(ten, {}, {"e1@x", "e2@x", "e3@x"});
        f.page.tab = tab;
        f.page.edit1 = edit1;
        f.commands.PageControl2Change();

        QCOMPARE(f.page.enabledState(BitBtn1), std::optional<bool>(addEnabled));
        for (RecipientControl c : {Edit1, Button6, BitBtn2, BitBtn3, Button3, Button17Open})
            QCOMPARE(f.page.enabledState(c), std::optional<bool>(allOnly));
        for (RecipientControl c : {Button4, Button5, Button22, Button13, Button_move_all2})
            QCOMPARE(f.page.enabledState(c), std::optional<bool>(true));
        QCOMPARE(f.page.countLabel, label);
    }

    void backToAllRestoresAdd()
    {
        Fixture f(abc);
        f.page.edit1 = QStringLiteral("left over");
        f.page.tab = 1;
        f.commands.PageControl2Change();
        QCOMPARE(f.page.enabledState(BitBtn1), std::optional<bool>(false));
        QCOMPARE(f.page.countLabel, QStringLiteral("0"));
        f.page.tab = 0;
        f.commands.PageControl2Change();
        QCOMPARE(f.page.enabledState(BitBtn1), std::optional<bool>(true));
        QCOMPARE(f.page.enabledState(Edit1), std::optional<bool>(true));
        QCOMPARE(f.page.countLabel, QStringLiteral("3"));
    }

    void gridDelete_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("expectedError");
        QTest::newRow("OK") << true << QStringList{"e1@x", "e3@x"};
        QTest::newRow("Cancel") << false << QStringList{"e1@x", "e2@x", "e3@x"};
    }
    void gridDelete()
    {
        QFETCH(bool, ok);
        QFETCH(QStringList, expectedError);
        Fixture f(abc, {}, {"e1@x", "e2@x", "e3@x"});
        f.page.tab = 2;
        f.page.countLabel = QStringLiteral("before");
        f.lists.ErrorTable.FindAddress(QStringLiteral("e2@x"));
        f.prompts.answerOk(ok);
        f.commands.deleteRecordFromGrid(f.lists.ErrorTable);
        QCOMPARE(f.prompts.asked, QStringList{QStringLiteral("confirmOkCancel: Delete record?")});
        QCOMPARE(rows(f.lists.ErrorTable), expectedError);
        QCOMPARE(rows(f.lists.MainTable), abc);
        QCOMPARE(f.page.countLabel, QStringLiteral("before"));
    }

    void gridDeleteOnEmptyListAsksNothing()
    {
        Fixture f;
        f.commands.deleteRecordFromGrid(f.lists.SuccessTable);
        QVERIFY(f.prompts.asked.isEmpty());
    }

    // While the question is open an import may store into All, which moves All's current
    // record; OK must still delete the record the question was about.
    void gridDeleteWhileAnImportStores()
    {
        struct ImportingPrompts : ScriptedPrompts
        {
            std::function<void()> duringQuestion;
            bool confirmOkCancel(const QString &text) override
            {
                duringQuestion();
                return ScriptedPrompts::confirmOkCancel(text);
            }
        };
        RecipientLists lists;
        lists.openAll();
        fill(lists.MainTable, abc);
        FakeRecipientsPage page;
        ImportingPrompts prompts;
        prompts.duringQuestion = [&] { lists.MainTable.AppendAddress(QStringLiteral("d@x")); };
        prompts.answerOk(true);
        RecipientCommands commands(lists, page, prompts);
        lists.MainTable.FindAddress(QStringLiteral("a@x"));
        commands.deleteRecordFromGrid(lists.MainTable);
        QCOMPARE(rows(lists.MainTable), (QStringList{"b@x", "c@x", "d@x"}));
    }

    void closedListRaises()
    {
        RecipientLists lists; // never opened
        FakeRecipientsPage page;
        ScriptedPrompts prompts;
        RecipientCommands commands(lists, page, prompts);
        const QString closed = QStringLiteral("Cannot perform this operation on a closed dataset");
        page.edit1 = QStringLiteral("a@x");
        QCOMPARE(errorOf([&] { commands.BitBtn1Click(); }), closed);
        QCOMPARE(errorOf([&] { commands.Button6Click(); }), closed);
        page.tab = 1;
        QCOMPARE(errorOf([&] { commands.Button13Click(); }), closed);
        QCOMPARE(page.edit1, QStringLiteral("a@x"));
    }
};

QTEST_GUILESS_MAIN(TestRecipientCommands)
#include "tst_RecipientCommands.moc"
