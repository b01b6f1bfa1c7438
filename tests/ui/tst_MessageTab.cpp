// The "Message" tab and the draft: what the user edits is what the commands and a send run
// see, and a draft read at start-up shows as it was stored.
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

class TestMessageTab : public QObject
{
    Q_OBJECT
    TDataModule1 data;

    template<typename T = QWidget> static T *child(TMainForm &form, const char *name)
    {
        auto *w = form.findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

private Q_SLOTS:
    void initTestCase() { data.openAll(); }

    void editsReachTheDraft()
    {
        test::ScriptedPrompts prompts;
        TMainForm form(data, &prompts);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClicks(child(form, "Edit2"), "Hi %NAME%");
        auto *memo = child<QPlainTextEdit>(form, "Memo1");
        memo->setFocus();
        QTest::keyClicks(memo, "Dear %NAME%,");
        QTest::keyClick(memo, Qt::Key_Return);
        memo->insertPlainText(QStringLiteral("caf\u00e9\u00a0bar")); // keyClicks types ASCII only
        child<QRadioButton>(form, "RadioButton2")->click();
        child<QComboBox>(form, "cboPriority")->setCurrentIndex(0);

        const MessageDraft &d = form.draft();
        QCOMPARE(d.Subject, QStringLiteral("Hi %NAME%"));
        QCOMPARE(d.Body, (QStringList{"Dear %NAME%,", QStringLiteral("caf\u00e9\u00a0bar")}));
        QVERIFY(!d.HTML);
        QCOMPARE(d.Priority, 0);
    }

    // A handler sees the body as typed, without any other event in between.
    void saveWritesTheBodyAsTyped()
    {
        QTemporaryDir dir;
        test::ScriptedPrompts prompts;
        TMainForm form(data, &prompts);
        child<QPlainTextEdit>(form, "Memo1")->setPlainText("one\ntwo");
        prompts.answerFile(dir.filePath("letter"));
        child<QPushButton>(form, "Button8")->click();
        QFile saved(dir.filePath("letter.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("one\r\ntwo"));
        QCOMPARE(prompts.asked, QStringList{"save: Text files|*.txt|All files|*.*"});

        prompts.answerOk(true); // "Clear?" Yes
        child<QPushButton>(form, "Button9")->click();
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->toPlainText(), QString());
        QCOMPARE(form.draft().Body, QStringList{});
    }

    void attachmentsShowTheirNames()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("report.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        test::ScriptedPrompts prompts;
        TMainForm form(data, &prompts);
        prompts.answerFile(file.fileName());
        prompts.answerFile(file.fileName());
        child<QPushButton>(form, "Button10")->click();
        child<QPushButton>(form, "Button10")->click();
        auto *list = child<QListWidget>(form, "ListBox1");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QStringLiteral("report.pdf"));
        QCOMPARE(form.draft().Attachments, (QStringList{file.fileName(), file.fileName()}));
        child<QPushButton>(form, "Button11")->click();
        QCOMPARE(list->count(), 0);
        QVERIFY(form.draft().Attachments.isEmpty());
    }

    void storedDraftShowsAsStored_data()
    {
        QTest::addColumn<int>("charset");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("fromTable");
        QTest::newRow("UTF-8 from the table") << 18 << 18 << true;
        QTest::newRow("index past the table") << 25 << -1 << true;
        QTest::newRow("negative index, custom charset") << -1 << -1 << false;
    }
    void storedDraftShowsAsStored()
    {
        QFETCH(int, charset);
        QFETCH(int, shown);
        QFETCH(bool, fromTable);
        test::ScriptedPrompts prompts;
        TMainForm form(data, &prompts);
        MessageDraft stored;
        stored.Subject = "Hi";
        stored.Body = QStringList{"a", "", "b"};
        stored.WordWrap = false;
        stored.HTML = false;
        stored.EncodingInternal = fromTable;
        stored.EncodingComboIndex = charset;
        stored.EncodingEditBox = "koi8-u";
        form.showDraft(stored);

        auto *charsets = child<QComboBox>(form, "ComboBox3");
        QCOMPARE(charsets->currentIndex(), shown);
        QCOMPARE(charsets->isEnabled(), fromTable);
        QCOMPARE(child(form, "Edit12")->isEnabled(), !fromTable);
        QCOMPARE(child(form, "Edit12")->toolTip(), QStringLiteral("koi8-u"));
        QCOMPARE(charsets->toolTip(), shown == 18 ? QStringLiteral("UTF-8") : "windows-1251");
        auto *memo = child<QPlainTextEdit>(form, "Memo1");
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!child<QCheckBox>(form, "CheckBox1")->isChecked());
        QVERIFY(child<QRadioButton>(form, "RadioButton2")->isChecked());

        const MessageDraft back = form.draft();
        QCOMPARE(back.EncodingComboIndex, charset); // written back as read
        QCOMPARE(back.Body, stored.Body);
        QCOMPARE(back.Subject, stored.Subject);
        QCOMPARE(back.EncodingInternal, fromTable);

        child<QCheckBox>(form, "CheckBox1")->click();
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(form.draft().WordWrap);
    }
};

QTEST_MAIN(TestMessageTab)
#include "tst_MessageTab.moc"
