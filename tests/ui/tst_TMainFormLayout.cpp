// The window as the user first sees it: every control with its kind, caption and hint,
// the sizes of the fixed strips and panels, and the start state.
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

namespace {

QString captionOf(QObject *o)
{
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    if (auto *g = qobject_cast<QGroupBox *>(o))
        return g->title();
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    if (auto *m = qobject_cast<QMenu *>(o))
        return m->title();
    if (auto *a = qobject_cast<QAction *>(o))
        return a->text();
    return {};
}

QStringList entriesOf(QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

} // namespace

class TestTMainFormLayout : public QObject
{
    Q_OBJECT
    TDataModule1 lists;
    test::ScriptedPrompts prompts;
    std::unique_ptr<TMainForm> form;

    template<typename T = QWidget> T *child(const char *name)
    {
        auto *w = form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        lists.openAll();
        form = std::make_unique<TMainForm>(lists, &prompts);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        auto row = [](const char *name, const char *kind, const char *caption = "",
                      const char *hint = "") {
            QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(caption)
                                << QString::fromLatin1(hint);
        };
        row("File1", "QMenu", "&File");
        row("Exit1", "QAction", "&Exit");
        row("Help1", "QMenu", "&Help");
        row("About1", "QAction", "&About");
        // "Message"
        row("Label4", "QLabel", "Subject:");
        row("Edit2", "QLineEdit", "", "Subject");
        row("Memo1", "QPlainTextEdit");
        row("Button7", "QPushButton", "Open", "Open Message");
        row("Button8", "QPushButton", "Save", "Save Mmessage");
        row("Button9", "QPushButton", "Clear", "Clear Message");
        row("Sripts_About_Btn", "QPushButton", "About Scripts", "How to write scripts");
        row("CheckBox1", "QCheckBox", "WordWrap");
        row("GroupBox6", "QGroupBox", "Message Format:");
        row("RadioButton1", "QRadioButton", "HTML", "Send as HTML");
        row("RadioButton2", "QRadioButton", "TEXT", "Send as TEXT");
        row("lblPriority", "QLabel", "Priority:");
        row("cboPriority", "QComboBox");
        row("GroupBox8", "QGroupBox", "Message Encoding:");
        row("RadioButton3", "QRadioButton");
        row("RadioButton5", "QRadioButton");
        row("ComboBox3", "QComboBox", "", "windows-1251");
        row("Edit12", "QLineEdit");
        row("Label5", "QLabel", "Attachments:", "Attachment");
        row("ListBox1", "QListWidget", "", "Attachment");
        row("Button10", "QPushButton", "Add", "Add Attachment");
        row("Button11", "QPushButton", "Clear", "Delete Dttachment");
        // "Recipents"
        row("Label3", "QLabel", "New:");
        row("Edit1", "QLineEdit", "", "FORMAT: Name <john@example.com>");
        row("BitBtn1", "QPushButton", "Add", "Add Recipent");
        row("Button6", "QPushButton", "Delete", "Delete Selected Recipent");
        row("BitBtn2", "QPushButton", "Edit", "Edit Selected Recipent");
        row("BitBtn3", "QPushButton", "Find", "Find Recipent");
        row("Button3", "QPushButton", "Open", "Open Database (*.sdb)");
        row("Button4", "QPushButton", "Save", "Save To Database (*.sdb)");
        row("Button5", "QPushButton", "Clear", "Clear All Recipents");
        row("GroupBox7", "QGroupBox");
        row("Button17Open", "QPushButton", "Import From TXT");
        row("Button22", "QPushButton", "Export To TXT");
        row("AbortButton", "QPushButton", "Abort", "Abort Current Process");
        row("Button2", "QPushButton", "Send");
        row("AbortSendBtn1", "QPushButton", "Stop / Disconnect");
        row("Label2", "QLabel", "Total Recipents:");
        row("Label1", "QLabel", "0");
        row("DBGrid1", "QTableView");
        row("DBGrid2", "QTableView");
        row("DBGrid3", "QTableView");
        row("Button13", "QPushButton", "<<--- Move to All");
        row("Button_move_all2", "QPushButton", "<<--- Move to All");
        row("ProgressBar", "QProgressBar");
        // "Settings"
        row("GroupBox2", "QGroupBox", "SMTP Server Settings:");
        row("Label6", "QLabel", "Server:");
        row("Edit4", "QLineEdit");
        row("Label7", "QLabel", "Port:");
        row("Edit5", "QLineEdit", "25");
        row("Button14", "QPushButton", "Set Default");
        row("lblSecurity", "QLabel", "Security:");
        row("cboSecurity", "QComboBox");
        row("chkAcceptAnyCertificate", "QCheckBox", "Accept any certificate");
        row("lblAuthenticationType", "QLabel", "Authentication:");
        row("cboAuthType", "QComboBox");
        row("Label8", "QLabel", "Login:");
        row("Edit6", "QLineEdit");
        row("Label16", "QLabel", "Password:");
        row("Edit16", "QLineEdit");
        row("GroupBox3", "QGroupBox", "Personal Settings:");
        row("Label9", "QLabel", "Name:");
        row("Edit7", "QLineEdit");
        row("Label10", "QLabel", "E-mail:");
        row("Edit8", "QLineEdit");
        // "Statistics"
        row("GroupBox4", "QGroupBox", "Log:");
        row("LogMemo", "QPlainTextEdit");
        row("Button15", "QPushButton", "Clear Log");
        row("AbortSendBtn2", "QPushButton", "Stop / Disconnect");
        row("ProgressBar1", "QProgressBar");
    }
    void controls()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QObject *o = form->findChild<QObject *>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(o);
        QCOMPARE(o->metaObject()->className(), kind);
        QCOMPARE(captionOf(o), caption);
        if (auto *w = qobject_cast<QWidget *>(o))
            QCOMPARE(w->toolTip(), hint);
    }

    void windowAndStrips()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Pelicast"));
        QCOMPARE(form->size(), QSize(703, 493));
        auto *pages = child<QTabWidget>("PageControl1");
        QCOMPARE(form->centralWidget(), pages);
        QStringList tabs, sheets;
        for (int i = 0; i < pages->count(); ++i) {
            tabs << pages->tabText(i);
            sheets << pages->widget(i)->objectName();
        }
        QCOMPARE(tabs, (QStringList{"Message", "Recipents", "Settings", "Statistics"}));
        QCOMPARE(sheets, (QStringList{"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"}));
        auto *inner = child<QTabWidget>("PageControl2");
        QCOMPARE(inner->tabText(0), QStringLiteral("All"));
        QCOMPARE(inner->tabText(1), QStringLiteral("Success"));
        QCOMPARE(inner->tabText(2), QStringLiteral("Error"));

        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        for (int i = 0; i < pages->count(); ++i) { // lay every page out
            pages->setCurrentIndex(i);
            QApplication::processEvents();
        }
        inner->setCurrentIndex(2);
        QApplication::processEvents();
        inner->setCurrentIndex(1);
        QApplication::processEvents();
        QCOMPARE(child("Panel3")->width(), 201);
        QCOMPARE(child("Panel7")->width(), 238);
        QCOMPARE(child("Panel5")->height(), 32);
        QCOMPARE(child("Panel9")->height(), 21);
        QCOMPARE(child("Panel10")->height(), 21);
        QCOMPARE(child("Panel11")->height(), 32);
        QCOMPARE(child("Panel12")->height(), 32);
        QCOMPARE(child("ProgressBar1")->height(), 18);
        QCOMPARE(child("StatusPanel0")->width(), 300);
        // The strips sit where the user expects them: the Panel9 progress strip along the
        // bottom of the whole tab, Panel3 along the right edge.
        QCOMPARE(child("Panel9")->geometry().bottom(), child("TabSheet2")->height() - 1);
        QCOMPARE(child("Panel3")->geometry().right(), child("TabSheet1")->width() - 1);
        form->hide();
        inner->setCurrentIndex(0);
        pages->setCurrentIndex(0);
    }

    void comboEntries()
    {
        auto *priority = child<QComboBox>("cboPriority");
        QCOMPARE(entriesOf(priority), (QStringList{"Highest", "High", "Normal", "Low", "Lowest"}));
        QCOMPARE(priority->currentIndex(), 2);
        QVERIFY(priority->isEditable());
        auto *auth = child<QComboBox>("cboAuthType");
        QCOMPARE(entriesOf(auth), (QStringList{"None", "Simple Login"}));
        QCOMPARE(auth->currentIndex(), 0);
        QVERIFY(!auth->isEditable());
        QCOMPARE(entriesOf(child<QComboBox>("cboSecurity")),
                 (QStringList{"None", "STARTTLS", "SSL/TLS"}));
        auto *charsets = child<QComboBox>("ComboBox3");
        QVERIFY(!charsets->isEditable());
        QCOMPARE(charsets->maxVisibleItems(), 10);
        QCOMPARE(charsets->count(), 20);
        QCOMPARE(charsets->currentText(), QStringLiteral("Cyrillic ( windows-1251 )"));
        QCOMPARE(charsets->toolTip(), QStringLiteral("windows-1251"));
    }

    void startState()
    {
        TMainForm fresh(lists, &prompts);
        fresh.show();
        QVERIFY(QTest::qWaitForWindowActive(&fresh));
        auto *pages = fresh.findChild<QTabWidget *>("PageControl1");
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit2"));
        QCOMPARE(fresh.findChild<QTabWidget *>("PageControl2")->currentIndex(), 0);
        QVERIFY(!fresh.findChild<QWidget *>("BitBtn1")->isEnabled());
        for (const char *hidden : {"AbortSendBtn1", "AbortSendBtn2", "AbortButton"})
            QVERIFY2(fresh.findChild<QWidget *>(hidden)->isHidden(), hidden);
        QVERIFY(fresh.findChild<QCheckBox *>("CheckBox1")->isChecked());
        QVERIFY(fresh.findChild<QRadioButton *>("RadioButton1")->isChecked());
        QVERIFY(fresh.findChild<QRadioButton *>("RadioButton3")->isChecked());
        QCOMPARE(fresh.findChild<QWidget *>("ListBox1")->focusPolicy(), Qt::ClickFocus);
        QVERIFY(fresh.findChild<QPlainTextEdit *>("LogMemo")->isReadOnly());
        QVERIFY(!fresh.findChild<QPlainTextEdit *>("LogMemo")->isUndoRedoEnabled());
        QVERIFY(!fresh.findChild<QWidget *>("chkAcceptAnyCertificate")->isEnabled());
    }

    void buttonPictures()
    {
        auto key = [this](const char *name) {
            return child<QAbstractButton>(name)->icon().cacheKey();
        };
        const char *withPicture[] = {"Button7", "Button8", "Button9", "Button10", "Button11",
                                     "BitBtn1", "Button6", "BitBtn2", "BitBtn3", "Button3",
                                     "Button4", "Button5", "Button2"};
        QSet<qint64> distinct;
        for (const char *name : withPicture) {
            QVERIFY2(!child<QAbstractButton>(name)->icon().isNull(), name);
            distinct.insert(key(name));
        }
        QCOMPARE(key("Button7"), key("Button3")); // both "Open"
        QCOMPARE(key("Button9"), key("Button5")); // the message's and the list's "Clear"
        QCOMPARE(distinct.size(), qsizetype(std::size(withPicture)) - 2);
        QVERIFY(child<QAbstractButton>("Button15")->icon().isNull());
    }
};

QTEST_MAIN(TestTMainFormLayout)
#include "tst_TMainFormLayout.moc"
