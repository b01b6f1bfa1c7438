// The real boxes and file dialogs, and the guard that shows a handler's error.
#include "common/Error.h"
#include "support/ScriptedPrompts.h"
#include "ui/HandlerGuard.h"
#include "ui/QtPrompts.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <stdexcept>

using namespace pelicast;

namespace {

// What a message box showed, and the answer given by pressing one of its buttons.
struct SeenBox
{
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // in the order of their standard-button value
    QString defaultButton;
};

QString buttonName(QMessageBox *box, QAbstractButton *b)
{
    switch (box->standardButton(b)) {
    case QMessageBox::Yes: return QStringLiteral("Yes");
    case QMessageBox::No: return QStringLiteral("No");
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Cancel: return QStringLiteral("Cancel");
    default: return b->text();
    }
}

// Runs ask() and, once its box is up, records it and presses the button named press.
SeenBox answerBox(const std::function<void()> &ask, const QString &press)
{
    SeenBox seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << buttonName(box, b);
        seen.buttons.sort();
        if (box->defaultButton())
            seen.defaultButton = buttonName(box, box->defaultButton());
        for (QAbstractButton *b : box->buttons())
            if (buttonName(box, b) == press)
                b->click();
    });
    poll.start();
    ask();
    return seen;
}

} // namespace

class TestQtPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxes()
    {
        QtPrompts prompts;
        Answer answer = Answer::Yes;
        SeenBox seen = answerBox([&] { answer = prompts.warningYesNoCancel("Really clear?"); },
                                 "No");
        QCOMPARE(seen.caption, QStringLiteral("Warning"));
        QCOMPARE(seen.text, QStringLiteral("Really clear?"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.buttons, (QStringList{"Cancel", "No", "Yes"}));
        QCOMPARE(seen.defaultButton, QStringLiteral("Yes"));
        QCOMPARE(answer, Answer::No);
        answerBox([&] { answer = prompts.warningYesNoCancel("?"); }, "Cancel");
        QCOMPARE(answer, Answer::Cancel);

        bool ok = false;
        seen = answerBox([&] { ok = prompts.confirmOkCancel("Delete record?"); }, "OK");
        QCOMPARE(seen.caption, QStringLiteral("Confirm"));
        QCOMPARE(seen.buttons, (QStringList{"Cancel", "OK"}));
        QCOMPARE(seen.defaultButton, QStringLiteral("OK"));
        QVERIFY(ok);
        answerBox([&] { ok = prompts.confirmOkCancel("Delete record?"); }, "Cancel");
        QVERIFY(!ok);

        seen = answerBox([&] { ok = prompts.confirmYesNo("Clear?"); }, "No");
        QCOMPARE(seen.caption, QStringLiteral("Confirm"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, (QStringList{"No", "Yes"}));
        QVERIFY(!ok);

        seen = answerBox([&] { prompts.message("\" x \"  Not Found!"); }, "OK");
        QCOMPARE(seen.caption, QStringLiteral("Pelicast"));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QStringList{"OK"});

        seen = answerBox([&] { prompts.error("Stream read error."); }, "OK");
        QCOMPARE(seen.caption, QStringLiteral("Error"));
        QCOMPARE(seen.text, QStringLiteral("Stream read error."));
        QCOMPARE(seen.buttons, QStringList{"OK"});
    }

    void inputBox()
    {
        QtPrompts prompts;
        auto typeAndPress = [](const QString &text, bool accept) {
            QTimer::singleShot(0, [=] {
                auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Find:"));
                QCOMPARE(dialog->labelText(), QStringLiteral("Find:"));
                dialog->setTextValue(text);
                accept ? dialog->accept() : dialog->reject();
            });
        };
        typeAndPress("jo@example.com", true);
        QCOMPARE(prompts.inputBox("Find:", "Find:", ""), std::optional<QString>("jo@example.com"));
        typeAndPress("", true);
        QCOMPARE(prompts.inputBox("Find:", "Find:", ""), std::optional<QString>(""));
        typeAndPress("x", false);
        QCOMPARE(prompts.inputBox("Find:", "Find:", ""), std::nullopt);
    }

    void fileDialogs()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile existing(dir.filePath("old.txt"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QtPrompts prompts;

        FileDialogSpec save{"Save", "Text files|*.txt|All files|*.*", "txt", true};
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Save"));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(dialog->nameFilters(), (QStringList{"Text files (*.txt)", "All files (*)"}));
            QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Text files (*.txt)"));
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            dialog->selectFile(dir.filePath("letter"));
            static_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(prompts.saveFile(save), std::optional<QString>(dir.filePath("letter.txt")));

        save.confirmOverwrite = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            dialog->reject();
        });
        QCOMPARE(prompts.saveFile(save), std::nullopt);

        FileDialogSpec open{"", "Text files|*.txt|All Files |*.*", "", false};
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
            dialog->selectFile(existing.fileName());
            static_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(prompts.openFile(open), std::optional<QString>(existing.fileName()));
    }

    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("text and all, name with trailing space")
            << "Text files|*.txt|All Files |*.*"
            << QStringList{"Text files (*.txt)", "All Files (*)"};
        QTest::newRow("one pair") << "All files|*.*" << QStringList{"All files (*)"};
        QTest::newRow("database") << "Pelicast DataBase|*.sdb|All Files|*.*"
                                  << QStringList{"Pelicast DataBase (*.sdb)", "All Files (*)"};
        QTest::newRow("several patterns") << "Web pages|*.htm;*.html"
                                          << QStringList{"Web pages (*.htm *.html)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtPrompts::nameFilters(filter), expected);
    }

    void guardShowsTheErrorAndGoesOn_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("program error with full stop")
            << 0 << "error: Duplicate index value. Operation aborted.";
        QTest::newRow("program error gets its full stop") << 1 << "error: Stream read error.";
        QTest::newRow("library exception") << 2 << "error: bad thing.";
        QTest::newRow("no error") << 3 << "";
    }
    void guardShowsTheErrorAndGoesOn()
    {
        QFETCH(int, kind);
        QFETCH(QString, shown);
        test::ScriptedPrompts prompts;
        bool after = false;
        runHandler(prompts, [&] {
            switch (kind) {
            case 0: throw Error("Duplicate index value. Operation aborted.");
            case 1: throw Error("Stream read error");
            case 2: throw std::runtime_error("bad thing");
            default: break;
            }
            after = true;
        });
        QCOMPARE(prompts.asked.join(u'\n'), shown);
        QCOMPARE(after, kind == 3);
    }
};

QTEST_MAIN(TestQtPrompts)
#include "tst_QtPrompts.moc"
