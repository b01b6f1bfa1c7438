// A send run driven from the window: "Send" clicked against a local SMTP server, with the
// Statistics tab, the stop buttons, the log and the lists as the user sees them.
#include "recipients/RecipientLists.h"
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "support/SmtpSinkServer.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;
using pelicast::test::SmtpSinkServer;

namespace {

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

QString reader(int n)
{
    return QStringLiteral("Reader %1 <r%1@example.org>").arg(n, 2, 10, QLatin1Char('0'));
}

struct Window;
QString connecting(const Window &w);

struct Window
{
    TDataModule1 data;
    test::ScriptedPrompts prompts;
    SmtpSinkServer server;
    std::unique_ptr<TMainForm> form;

    explicit Window(int addresses)
    {
        data.openAll();
        data.mailer.setTimeouts(SmtpTimeouts::all(std::chrono::seconds(10)));
        for (int n = 1; n <= addresses; ++n)
            data.MainTable.AppendAddress(reader(n));
        form = std::make_unique<TMainForm>(data, &prompts);
        ServerSettings s;
        s.Server = QStringLiteral("127.0.0.1");
        s.ServerPort = server.portText();
        s.Email = QStringLiteral("sender@example.org");
        form->setServerSettings(s);
        form->findChild<QLineEdit *>("Edit2")->setText(QStringLiteral("Hello %NAME%"));
        form->show();
    }
    template<typename T = QWidget> T *child(const char *name) const
    {
        auto *w = form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void click(const char *button) { child<QAbstractButton>(button)->click(); }
    bool running() const { return !child("AbortSendBtn1")->isHidden(); }
    // Runs action once, while the first message of a run is on its way: the run is then
    // surely in the middle of a send.
    void duringFirstSend(std::function<void()> action)
    {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = QObject::connect(&server, &SmtpSinkServer::messageReceived, form.get(),
                                 [once, action] {
                                     QObject::disconnect(*once);
                                     action();
                                 });
    }
    QString frontTab() const
    {
        return child<QTabWidget>("PageControl1")->currentWidget()->objectName();
    }
};

QString connecting(const Window &w)
{
    return "Connecting...127.0.0.1:" + w.server.portText();
}

} // namespace

class TestMainWindowSendRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeRunFromTheSendButton()
    {
        Window w(3);
        w.server.refuseRecipient("r02@example.org");
        w.child<QTabWidget>("PageControl1")->setCurrentIndex(1);

        w.click("Button2");
        QCOMPARE(w.frontTab(), QStringLiteral("TabSheet4"));
        QVERIFY(!w.child("AbortSendBtn1")->isHidden());
        QVERIFY(w.child("AbortSendBtn2")->isVisible());
        QVERIFY(!w.child("Button2")->isEnabled());
        QVERIFY(!w.child("TabSheet1")->isEnabled());
        QVERIFY(!w.child("TabSheet3")->isEnabled());
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->maximum(), 3);

        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 30000);
        QCOMPARE(w.form->logLines(),
                 (QStringList{connecting(w),
                              "Connected Successfully!",
                              "Sending to ... " + reader(1), "Send Success: " + reader(1),
                              "Sending to ... " + reader(2), "Send Fail: " + reader(2),
                              "Disconnected!",
                              connecting(w),
                              "Connected Successfully!",
                              "Sending to ... " + reader(3), "Send Success: " + reader(3),
                              "Disconnected!", "DONE."}));
        QCOMPARE(rows(w.data.MainTable), QStringList{});
        QCOMPARE(rows(w.data.SuccessTable), (QStringList{reader(1), reader(3)}));
        QCOMPARE(rows(w.data.ErrorTable), QStringList{reader(2)});
        QCOMPARE(w.server.messages().size(), 2);
        QVERIFY(w.server.messages().first().data.contains("Subject: Hello Reader 01"));

        QCOMPARE(w.frontTab(), QStringLiteral("TabSheet4")); // stays in front
        QVERIFY(!w.child("AbortSendBtn2")->isVisible());
        QVERIFY(w.child("Button2")->isEnabled());
        QVERIFY(w.child("TabSheet1")->isEnabled());
        QVERIFY(w.child("TabSheet3")->isEnabled());
        QVERIFY(w.child("DBGrid1")->isEnabled());
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->value(), 0);
        QCOMPARE(w.child<QLabel>("Label1")->text(), QStringLiteral("0"));
        QCOMPARE(w.prompts.asked, QStringList{});
    }

    // The log can be emptied while the run writes to it; the run goes on writing.
    void clearLogDuringARun()
    {
        Window w(2);
        QStringList atClear;
        w.duringFirstSend([&] {
            atClear = w.form->logLines();
            w.click("Button15");
            QVERIFY(w.form->logLines().isEmpty());
        });
        w.click("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 30000);
        QCOMPARE(atClear, (QStringList{connecting(w), "Connected Successfully!",
                                       "Sending to ... " + reader(1)}));
        QCOMPARE(w.form->logLines(),
                 (QStringList{"Send Success: " + reader(1), "Sending to ... " + reader(2),
                              "Send Success: " + reader(2), "Disconnected!", "DONE."}));
        QCOMPARE(w.data.SuccessTable.AddressCount(), 2);
    }

    // The send in flight ends and its address moves; the others stay in All.
    void stopButtonOnTheStatisticsTab()
    {
        Window w(3);
        w.duringFirstSend([&] { w.click("AbortSendBtn2"); });
        w.click("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 30000);
        QCOMPARE(w.form->logLines(),
                 (QStringList{connecting(w), "Connected Successfully!",
                              "Sending to ... " + reader(1), "Stopping...",
                              "Send Success: " + reader(1), "Aborted!", "Disconnected!",
                              "DONE."}));
        QCOMPARE(rows(w.data.SuccessTable), QStringList{reader(1)});
        QCOMPARE(rows(w.data.MainTable), (QStringList{reader(2), reader(3)}));
    }

    // An error that ends the run reaches the standard error box once the window is back.
    void errorOfTheRunIsShown()
    {
        Window w(1);
        w.child<QLineEdit>("Edit5")->setText(QStringLiteral("25x"));
        w.click("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 30000);
        QCOMPARE(w.prompts.asked, QStringList{"error: '25x' is not a valid integer value."});
        QVERIFY(w.child("Button2")->isEnabled());
        QVERIFY(!w.form->logLines().contains("DONE."));
        QCOMPARE(w.data.MainTable.AddressCount(), 1);
    }

    // Closing during a run stops it first; the window closes when the run has ended.
    void closeWaitsForTheRun()
    {
        Window w(3);
        bool closedAtOnce = true;
        w.duringFirstSend([&] {
            closedAtOnce = w.form->close();
            QVERIFY(w.form->isVisible());
        });
        w.click("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(!w.form->isVisible(), 30000);
        QVERIFY(!closedAtOnce);
        QVERIFY(!w.running());
        QCOMPARE(w.form->logLines().mid(3),
                 (QStringList{"Send Success: " + reader(1), "Aborted!", "Disconnected!",
                              "DONE."}));
        QCOMPARE(rows(w.data.MainTable), (QStringList{reader(2), reader(3)}));
        QCOMPARE(w.prompts.asked, QStringList{}); // no question on close
    }
};

QTEST_MAIN(TestMainWindowSendRun)
#include "tst_MainWindowSendRun.moc"
