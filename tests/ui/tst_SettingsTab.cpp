// The "Settings" tab shows ServerSettings and gives them back, an index from the settings
// file that names no entry included.
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

class TestSettingsTab : public QObject
{
    Q_OBJECT
    TDataModule1 lists;
    test::ScriptedPrompts prompts;

private Q_SLOTS:
    void initTestCase() { lists.openAll(); }

    void roundTrip_data()
    {
        QTest::addColumn<int>("authIndex");
        QTest::addColumn<int>("shown");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("simple login") << 1 << 1;
        QTest::newRow("past the end") << 7 << -1;
        QTest::newRow("negative") << -3 << -1;
    }
    void roundTrip()
    {
        QFETCH(int, authIndex);
        QFETCH(int, shown);
        TMainForm form(lists, &prompts);
        ServerSettings s;
        s.Server = "smtp.example.com";
        s.ServerPort = "2525x";
        s.ServerAuthComboIndex = authIndex;
        s.ServerLogin = "jo";
        s.ServerPWD = "pa ss";
        s.Name = "Jo Raz";
        s.Email = "jo@example.com";
        s.ServerSecurity = 1;
        s.ServerAcceptAnyCertificate = true;
        form.setServerSettings(s);
        QCOMPARE(form.findChild<QComboBox *>("cboAuthType")->currentIndex(), shown);
        QCOMPARE(form.findChild<QLineEdit *>("Edit16")->text(), QStringLiteral("pa ss"));

        const ServerSettings back = form.serverSettings();
        QCOMPARE(back.Server, s.Server);
        QCOMPARE(back.ServerPort, s.ServerPort);
        QCOMPARE(back.ServerAuthComboIndex, authIndex);
        QCOMPARE(back.ServerLogin, s.ServerLogin);
        QCOMPARE(back.ServerPWD, s.ServerPWD);
        QCOMPARE(back.Name, s.Name);
        QCOMPARE(back.Email, s.Email);
        QCOMPARE(back.ServerSecurity, 1);
        QVERIFY(back.ServerAcceptAnyCertificate);

        // Once the user picks an entry, that entry is what goes back.
        form.findChild<QComboBox *>("cboAuthType")->setCurrentIndex(1);
        QCOMPARE(form.serverSettings().ServerAuthComboIndex, 1);
    }

    void certificateChoiceOnlyWithSecurity()
    {
        TMainForm form(lists, &prompts);
        auto *security = form.findChild<QComboBox *>("cboSecurity");
        auto *accept = form.findChild<QCheckBox *>("chkAcceptAnyCertificate");
        QVERIFY(!accept->isEnabled());
        security->setCurrentIndex(1);
        QVERIFY(accept->isEnabled());
        security->setCurrentIndex(2);
        QVERIFY(accept->isEnabled());
        security->setCurrentIndex(0);
        QVERIFY(!accept->isEnabled());
        ServerSettings s;
        s.ServerSecurity = 2;
        form.setServerSettings(s);
        QVERIFY(accept->isEnabled());
    }
};

QTEST_MAIN(TestSettingsTab)
#include "tst_SettingsTab.moc"
