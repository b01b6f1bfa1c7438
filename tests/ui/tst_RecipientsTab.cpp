// The "Recipents" tab's commands as the user reaches them: typing, buttons, keys.
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

namespace {

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

struct Window
{
    TDataModule1 data;
    test::ScriptedPrompts prompts;
    std::unique_ptr<TMainForm> form;

    Window()
    {
        data.openAll();
        form = std::make_unique<TMainForm>(data, &prompts);
        form->show();
        form->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(1);
    }
    template<typename T = QWidget> T *child(const char *name) const
    {
        auto *w = form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
};

} // namespace

class TestRecipientsTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typingEnablesAdd()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        auto *edit = w.child<QLineEdit>("Edit1");
        auto *add = w.child("BitBtn1");
        edit->setFocus();
        QVERIFY(!add->isEnabled());
        QTest::keyClick(edit, Qt::Key_Space);
        QVERIFY(add->isEnabled()); // a space is text
        QTest::keyClick(edit, Qt::Key_Backspace);
        QVERIFY(!add->isEnabled());
        QTest::keyClicks(edit, "Jo <jo@example.org>");
        QVERIFY(add->isEnabled());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(rows(w.data.MainTable), QStringList{"Jo <jo@example.org>"});
        QCOMPARE(edit->text(), QString());
        QVERIFY(!add->isEnabled());
        QCOMPARE(w.child<QLabel>("Label1")->text(), QStringLiteral("1"));
        QCOMPARE(w.prompts.asked, QStringList{});
    }

    void ctrlDeleteInTheErrorGrid()
    {
        Window w;
        for (const char *a : {"a@example.org", "b@example.org", "c@example.org"}) {
            w.data.ErrorTable.AppendAddress(a);
            w.data.MainTable.AppendAddress(a);
        }
        w.child<QTabWidget>("PageControl2")->setCurrentIndex(2);
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        QCOMPARE(w.child<QLabel>("Label1")->text(), QStringLiteral("3"));
        auto *grid = w.child<QTableView>("DBGrid3");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, 0)).center());

        w.prompts.answerOk(false);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w.data.ErrorTable.AddressCount(), 3);

        w.prompts.answerOk(true);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w.prompts.asked, (QStringList{"confirmOkCancel: Delete record?",
                                               "confirmOkCancel: Delete record?"}));
        QCOMPARE(rows(w.data.ErrorTable), (QStringList{"a@example.org", "c@example.org"}));
        QCOMPARE(w.data.MainTable.AddressCount(), 3);
        QCOMPARE(grid->selectionModel()->selectedRows().value(0).row(), 1); // the next one
        QCOMPARE(w.child<QLabel>("Label1")->text(), QStringLiteral("3")); // not refreshed
    }

    // Errors of a command reach the standard error box and the window goes on.
    void moveToAllStopsAtADuplicate()
    {
        Window w;
        w.data.MainTable.AppendAddress("b@example.org");
        for (const char *a : {"a@example.org", "b@example.org", "c@example.org"})
            w.data.SuccessTable.AppendAddress(a);
        w.child<QTabWidget>("PageControl2")->setCurrentIndex(1);
        w.child<QPushButton>("Button13")->click();
        QCOMPARE(w.prompts.asked,
                 QStringList{"error: Duplicate index value. Operation aborted."});
        QCOMPARE(rows(w.data.MainTable), (QStringList{"a@example.org", "b@example.org"}));
        QCOMPARE(w.data.SuccessTable.AddressCount(), 3);
    }

    void clearAndFindAsk()
    {
        Window w;
        w.data.MainTable.AppendAddress("a@example.org");
        w.prompts.answerText(QStringLiteral("zz"));
        w.child<QPushButton>("BitBtn3")->click();
        w.prompts.answer(Answer::Yes);
        w.child<QPushButton>("Button5")->click();
        QCOMPARE(w.prompts.asked,
                 (QStringList{"input: Find:|Find:|", "message: \" zz \"  Not Found!",
                              "warning: Really clear \"All\" database ?"}));
        QCOMPARE(w.data.MainTable.AddressCount(), 0);
        QCOMPARE(w.child<QLabel>("Label1")->text(), QStringLiteral("0"));
    }

    void databaseSaveAndOpen()
    {
        QTemporaryDir dir;
        Window w;
        w.data.SuccessTable.AppendAddress("s@example.org");
        w.child<QTabWidget>("PageControl2")->setCurrentIndex(1);
        w.prompts.answerFile(dir.filePath("success.sdb"));
        w.child<QPushButton>("Button4")->click();
        QVERIFY(QFile::exists(dir.filePath("success.sdb")));

        w.child<QTabWidget>("PageControl2")->setCurrentIndex(0);
        w.prompts.answer(Answer::No);
        w.prompts.answerFile(dir.filePath("success.sdb"));
        w.child<QPushButton>("Button3")->click();
        QCOMPARE(rows(w.data.MainTable), QStringList{"s@example.org"});
        QCOMPARE(w.child<QLabel>("Label1")->text(), QStringLiteral("1"));
        QVERIFY(!w.prompts.ranDry);
    }
};

QTEST_MAIN(TestRecipientsTab)
#include "tst_RecipientsTab.moc"
