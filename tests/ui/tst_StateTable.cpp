// Which controls the window enables and shows in each of its states: idle with each inner
// tab of "Recipents" in front, during a send run, during an import, and after each.
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

namespace {

const QStringList StateControls = {
    "TabSheet1", "TabSheet3", "Edit1",   "BitBtn1", "Button6",          "BitBtn2",
    "BitBtn3",   "Button3",   "Button17Open", "Button4", "Button5",     "Button22",
    "Button2",   "Button13",  "Button_move_all2", "DBGrid1", "DBGrid2", "DBGrid3"};
const QStringList StopAndAbort = {"AbortSendBtn1", "AbortSendBtn2", "AbortButton"};

const QStringList OnlyOnAll = {"Edit1", "BitBtn1", "Button6", "BitBtn2",
                               "BitBtn3", "Button3", "Button17Open"};

enum class State { IdleAll, IdleSuccess, IdleError, SendRun, AfterSendRunOnSuccess, Import, AfterImport };

} // namespace

Q_DECLARE_METATYPE(State)

class TestStateTable : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString bigFile;

private Q_SLOTS:
    void initTestCase()
    {
        bigFile = dir.filePath("addresses.txt");
        QFile f(bigFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 200000; ++i)
            f.write(QStringLiteral("r%1@example.org\n").arg(i).toLatin1());
    }

    void controls_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<QStringList>("disabled");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("idle, All") << State::IdleAll << QStringList{} << QStringList{};
        QTest::newRow("idle, Success") << State::IdleSuccess << OnlyOnAll << QStringList{};
        QTest::newRow("idle, Error") << State::IdleError << OnlyOnAll << QStringList{};
        QTest::newRow("send run") << State::SendRun << StateControls
                                  << QStringList{"AbortSendBtn1", "AbortSendBtn2"};
        QTest::newRow("after a run started on Success")
            << State::AfterSendRunOnSuccess << OnlyOnAll << QStringList{};
        // An import holds back a second import and Send; everything else stays as it was.
        QTest::newRow("import") << State::Import << QStringList{"Button17Open", "Button2"}
                                << QStringList{"AbortButton"};
        QTest::newRow("after an import") << State::AfterImport << QStringList{} << QStringList{};
    }
    void controls()
    {
        QFETCH(State, state);
        QFETCH(QStringList, disabled);
        QFETCH(QStringList, shown);

        TDataModule1 data;
        data.openAll();
        data.SuccessTable.AppendAddress("s@example.org");
        test::ScriptedPrompts prompts;
        TMainForm form(data, &prompts);
        form.show();
        auto *inner = form.findChild<QTabWidget *>("PageControl2");
        auto click = [&](const char *name) { form.findChild<QAbstractButton *>(name)->click(); };
        auto isRunning = [&] { return !form.findChild<QWidget *>("AbortSendBtn1")->isHidden(); };
        auto isImporting = [&] { return !form.findChild<QWidget *>("AbortButton")->isHidden(); };
        form.findChild<QLineEdit *>("Edit1")->setText("typed@example.org");

        switch (state) {
        case State::IdleAll: break;
        case State::IdleSuccess: inner->setCurrentIndex(1); break;
        case State::IdleError: inner->setCurrentIndex(2); break;
        case State::SendRun: // an empty All: the run ends on its own at the next pass
            click("Button2");
            QVERIFY(isRunning());
            break;
        case State::AfterSendRunOnSuccess:
            inner->setCurrentIndex(1);
            click("Button2");
            QTRY_VERIFY(!isRunning());
            break;
        case State::Import:
        case State::AfterImport:
            prompts.answer(Answer::No);
            prompts.answerFile(bigFile);
            click("Button17Open");
            QVERIFY(isImporting());
            if (state == State::AfterImport) {
                click("AbortButton");
                QTRY_VERIFY(!isImporting());
            }
            break;
        }

        QStringList actualDisabled, actualShown;
        for (const QString &name : StateControls)
            if (!form.findChild<QWidget *>(name)->isEnabled())
                actualDisabled << name;
        for (const QString &name : StopAndAbort)
            if (!form.findChild<QWidget *>(name)->isHidden())
                actualShown << name;
        QCOMPARE(actualDisabled, disabled);
        QCOMPARE(actualShown, shown);
        QCOMPARE(form.findChild<QLabel *>("Label1")->text(),
                 QString::number(inner->currentIndex() == 1 ? 1 : data.MainTable.AddressCount()));

        if (isRunning())
            QTRY_VERIFY(!isRunning());
        if (isImporting()) {
            click("AbortButton");
            QTRY_VERIFY(!isImporting());
        }
    }
};

QTEST_MAIN(TestStateTable)
#include "tst_StateTable.moc"
