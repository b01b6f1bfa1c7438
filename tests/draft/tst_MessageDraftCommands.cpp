#include "common/Error.h"
#include "draft/MessageDraftCommands.h"
#include "draft/MessagePage.h"
#include "draft/SampleAddress.h"
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"

#include <QtTest>

using namespace pelicast;
using pelicast::test::ScriptedPrompts;

namespace {

// Records what the commands show; nullopt / empty until a command sets it.
struct FakeMessagePage : MessagePage
{
    std::optional<QStringList> body;
    std::optional<bool> wrap;
    std::optional<std::pair<bool, bool>> scrollBars; // horizontal, vertical
    std::optional<bool> listEnabled;
    std::optional<bool> customEnabled;
    QString listTip;
    QString customTip;
    QList<QStringList> attachmentViews; // every content the list view was given

    void setBodyLines(const QStringList &lines) override { body = lines; }
    void setBodyWordWrap(bool on) override { wrap = on; }
    void setBodyScrollBars(bool horizontal, bool vertical) override
    {
        scrollBars = std::make_pair(horizontal, vertical);
    }
    void setCharsetListEnabled(bool enabled) override { listEnabled = enabled; }
    void setCharsetListToolTip(const QString &text) override { listTip = text; }
    void setCustomCharsetEnabled(bool enabled) override { customEnabled = enabled; }
    void setCustomCharsetToolTip(const QString &text) override { customTip = text; }
    void setAttachmentNames(const QStringList &names) override { attachmentViews << names; }
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestMessageDraftCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/draft-XXXXXX")};
    MessageDraft draft;
    FakeMessagePage page;
    ScriptedPrompts prompts;
    TDataModule1 dataModule;

    void reset()
    {
        draft = MessageDraft();
        page = FakeMessagePage();
        prompts = ScriptedPrompts();
    }

private Q_SLOTS:
    void init() { reset(); }

    void openReplacesOnlyTheBody()
    {
        const QString file = dir.filePath(QStringLiteral("letter.txt"));
        QVERIFY(writeFile(file, "Hi %NAME%\nline two\n"));
        draft.Subject = QStringLiteral("kept");
        draft.Body =
            QStringList{QStringLiteral("old"), QStringLiteral("lines"), QStringLiteral("x")};
        draft.WordWrap = false;
        prompts.answerFile(file);
        MessageDraftCommands(draft, page, prompts, dataModule).Button7Click();

        const QStringList expected{QStringLiteral("Hi %NAME%"), QStringLiteral("line two")};
        QCOMPARE(draft.Body, expected);
        QCOMPARE(page.body, expected);
        QCOMPARE(draft.Subject, QStringLiteral("kept"));
        QCOMPARE(page.wrap, false); // word wrap applied again, as set
        QCOMPARE(page.scrollBars, std::make_pair(true, true));
        QCOMPARE(prompts.dialogs.size(), 1);
        QCOMPARE(prompts.dialogs[0].filter, QStringLiteral("Text files|*.txt|All Files |*.*"));
        QVERIFY(!prompts.dialogs[0].confirmOverwrite);
        QVERIFY(!prompts.ranDry);
    }

    void openCancelledOrFailingLeavesTheBody()
    {
        draft.Body = QStringList{QStringLiteral("keep me")};
        MessageDraftCommands commands(draft, page, prompts, dataModule);
        prompts.answerFile(std::nullopt);
        commands.Button7Click();
        const QString missing = dir.filePath(QStringLiteral("gone.txt"));
        prompts.answerFile(missing);
        QString error;
        try {
            commands.Button7Click();
        } catch (const Error &e) {
            error = e.text();
        }
        QCOMPARE(error,
                 QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
        QCOMPARE(draft.Body, QStringList{QStringLiteral("keep me")});
        QVERIFY(!page.body);
    }

    void save_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no dot: .txt added") << "letter"
                                            << "letter.txt";
        QTest::newRow("own extension") << "letter.htm"
                                       << "letter.htm";
        QTest::newRow("dot in a folder name") << "notes.d/letter"
                                              << "notes.d/letter";
        QTest::newRow("trailing dot") << "letter."
                                      << "letter.";
    }
    void save()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        if (dir.path().contains(u'.'))
            QSKIP("the temporary folder's path holds a dot, so no name would get \".txt\"");
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("notes.d")));
        draft.Subject = QStringLiteral("not written");
        draft.Body = QStringList{QStringLiteral("one"), QString(), QStringLiteral("%NAME%")};
        prompts.answerFile(dir.filePath(chosen));
        MessageDraftCommands(draft, page, prompts, dataModule).Button8Click();

        QCOMPARE(contents(dir.filePath(written)), QByteArray("one\r\n\r\n%NAME%"));
        if (chosen != written)
            QVERIFY(!QFile::exists(dir.filePath(chosen)));
        const FileDialogSpec &spec = prompts.dialogs.value(0);
        QCOMPARE(spec.title, QStringLiteral("Save"));
        QCOMPARE(spec.filter, QStringLiteral("Text files|*.txt|All files|*.*"));
        QCOMPARE(spec.defaultSuffix, QStringLiteral("txt"));
        QVERIFY(spec.confirmOverwrite);
    }

    void clear_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes empties the body") << true;
        QTest::newRow("No keeps it") << false;
    }
    void clear()
    {
        QFETCH(bool, yes);
        const QStringList body{QStringLiteral("a"), QStringLiteral("b")};
        draft.Body = body;
        draft.Subject = QStringLiteral("subject");
        draft.Attachments = QStringList{QStringLiteral("/tmp/a.pdf")};
        prompts.answerOk(yes);
        MessageDraftCommands(draft, page, prompts, dataModule).Button9Click();

        QCOMPARE(prompts.asked, QStringList{QStringLiteral("confirmYesNo: Clear?")});
        QCOMPARE(draft.Body, yes ? QStringList() : body);
        QCOMPARE(page.body.has_value(), yes);
        if (yes)
            QCOMPARE(*page.body, QStringList());
        QCOMPARE(draft.Subject, QStringLiteral("subject"));
        QCOMPARE(draft.Attachments, QStringList{QStringLiteral("/tmp/a.pdf")});
    }

    void attachments()
    {
        const QString a = dir.filePath(QStringLiteral("a.pdf"));
        const QString otherA = dir.filePath(QStringLiteral("sub/a.pdf"));
        MessageDraftCommands commands(draft, page, prompts, dataModule);
        for (const QString &path : {a, a, otherA}) {
            prompts.answerFile(path);
            commands.Button10Click();
        }
        prompts.answerFile(std::nullopt);
        commands.Button10Click(); // cancelled: nothing added

        QCOMPARE(draft.Attachments, (QStringList{a, a, otherA}));
        QCOMPARE(page.attachmentViews.size(), 3);
        QCOMPARE(page.attachmentViews.last(), (QStringList{"a.pdf", "a.pdf", "a.pdf"}));
        QCOMPARE(prompts.dialogs.value(0).filter, QStringLiteral("All files|*.*"));

        const qsizetype asked = prompts.asked.size();
        commands.Button11Click();
        QCOMPARE(prompts.asked.size(), asked); // no question
        QCOMPARE(draft.Attachments, QStringList());
        QCOMPARE(page.attachmentViews.last(), QStringList());
        QVERIFY(!prompts.ranDry);
    }

    void wordWrap_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("horizontalBar");
        QTest::newRow("on: vertical bar only") << true << false;
        QTest::newRow("off: both bars") << false << true;
    }
    void wordWrap()
    {
        QFETCH(bool, on);
        QFETCH(bool, horizontalBar);
        draft.WordWrap = !on;
        MessageDraftCommands(draft, page, prompts, dataModule).CheckBox1Click(on);
        QCOMPARE(draft.WordWrap, on);
        QCOMPARE(page.wrap, on);
        QCOMPARE(page.scrollBars, std::make_pair(horizontalBar, true));
    }

    void charsetChoice_data()
    {
        QTest::addColumn<bool>("fromTable");
        QTest::newRow("table") << true;
        QTest::newRow("custom") << false;
    }
    void charsetChoice()
    {
        QFETCH(bool, fromTable);
        draft.EncodingInternal = !fromTable;
        draft.EncodingComboIndex = 4;
        draft.EncodingEditBox = QStringLiteral("koi8-r");
        MessageDraftCommands(draft, page, prompts, dataModule).RadioButton3Click(fromTable);
        QCOMPARE(draft.EncodingInternal, fromTable);
        QCOMPARE(page.listEnabled, fromTable);
        QCOMPARE(page.customEnabled, !fromTable);
        // the choice not in force keeps its value
        QCOMPARE(draft.EncodingComboIndex, 4);
        QCOMPARE(draft.EncodingEditBox, QStringLiteral("koi8-r"));
    }

    void charsetListTooltip_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("11") << 11 << "windows-1251";
        QTest::newRow("outside the table, kept") << 25 << "windows-1251";
    }
    void charsetListTooltip()
    {
        QFETCH(int, index);
        QFETCH(QString, tooltip);
        MessageDraftCommands(draft, page, prompts, dataModule).ComboBox3Change(index);
        QCOMPARE(draft.EncodingComboIndex, index);
        QCOMPARE(page.listTip, tooltip);
    }

    void customCharsetKeepsLastNameAsTooltip()
    {
        MessageDraftCommands commands(draft, page, prompts, dataModule);
        commands.Edit12Change(QStringLiteral("koi8"));
        commands.Edit12Change(QStringLiteral("koi8-r"));
        commands.Edit12Change(QString());
        QCOMPARE(draft.EncodingEditBox, QString());
        QCOMPARE(page.customTip, QStringLiteral("koi8-r"));
    }

    void scriptsHelp()
    {
        MessageDraftCommands(draft, page, prompts, dataModule).Sripts_About_BtnClick();
        QCOMPARE(
            prompts.asked,
            QStringList{QStringLiteral(
                "message: You can use SCRIPTS in your message!\r\n"
                "\r\n"
                "Example:\r\n"
                "Hi %NAME%...... Bye %NAME%\r\n"
                "Before sending \"%NAME%\" will be replaced with name (From email address).\r\n"
                "If email address don`t have valid format (\"Name <john@example.com>\") then "
                "\"%NAME%\" will be simply deleted\r\n"
                "P.S:You can use \"%NAME%\" in subject of message!\r\n"
                "Number of \"%NAME%\"(s) has no limit!!!")});
        QCOMPARE(newAddressHint(), QStringLiteral("FORMAT: Name <john@example.com>"));
    }
};

QTEST_GUILESS_MAIN(TestMessageDraftCommands)
#include "tst_MessageDraftCommands.moc"
