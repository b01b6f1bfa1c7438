// An address import runs while the window stays usable: its Abort button and status text,
// what it holds back while it reads, and a close that waits for it.
#include "shell/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "ui/TMainForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

class TestMainWindowImport : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString bigFile;
    static constexpr int Lines = 200000;

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
        }
        template<typename T = QWidget> T *child(const char *name) const
        {
            auto *w = form->findChild<T *>(QString::fromLatin1(name));
            if (!w)
                qFatal("no control %s", name);
            return w;
        }
        bool importing() const { return !child("AbortButton")->isHidden(); }
        void startImport(const QString &path)
        {
            prompts.answer(Answer::No); // keep All as it is
            prompts.answerFile(path);
            child<QPushButton>("Button17Open")->click();
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        bigFile = dir.filePath("addresses.txt");
        QFile f(bigFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < Lines; ++i)
            f.write(QStringLiteral("Reader %1 <r%1@example.org>\r\n").arg(i).toLatin1());
    }

    void windowWhileImporting()
    {
        Window w;
        w.startImport(bigFile);
        QVERIFY(w.importing());
        QTRY_VERIFY(w.child<QLabel>("StatusPanel0")->text().startsWith("Imported: "));
        QVERIFY(w.importing());
        // Held back while the file is read: a second import, and a run that would take
        // All's first address while the import stores new ones.
        QVERIFY(!w.child("Button17Open")->isEnabled());
        QVERIFY(!w.child("Button2")->isEnabled());
        for (const char *usable : {"Edit1", "Button6", "BitBtn2", "BitBtn3", "Button3",
                                   "Button4", "Button5", "Button22", "TabSheet1", "TabSheet3",
                                   "DBGrid1"})
            QVERIFY2(w.child(usable)->isEnabled(), usable);
        QVERIFY(w.child("AbortSendBtn1")->isHidden());

        w.child<QPushButton>("AbortButton")->click();
        QTRY_VERIFY(!w.importing());
        QVERIFY(w.child("Button17Open")->isEnabled());
        QVERIFY(w.child("Button2")->isEnabled());
        QCOMPARE(w.child<QLabel>("StatusPanel0")->text(), QString());
        const int stored = w.data.MainTable.AddressCount();
        QVERIFY(stored > 0 && stored < Lines);
        QCOMPARE(w.child<QLabel>("Label1")->text(), QString::number(stored));
        QCOMPARE(w.prompts.asked.size(), 2);
    }

    void closeWaitsForTheImport()
    {
        Window w;
        w.startImport(bigFile);
        QTRY_VERIFY(w.child<QLabel>("StatusPanel0")->text().startsWith("Imported: "));
        QVERIFY(!w.form->close());
        QVERIFY(w.form->isVisible());
        QTRY_VERIFY(!w.form->isVisible());
        QVERIFY(!w.importing());
        QVERIFY(w.data.MainTable.AddressCount() < Lines);
        QCOMPARE(w.prompts.asked.size(), 2); // no question on close
    }

    // An import that ends at once leaves nothing held back.
    void vanishedFileImportsNothing()
    {
        Window w;
        w.startImport(dir.filePath("gone.txt"));
        QVERIFY(!w.importing());
        QCOMPARE(w.data.MainTable.AddressCount(), 0);
        QVERIFY(w.child("Button17Open")->isEnabled());
        QVERIFY(w.child("Button2")->isEnabled());
    }

    void importErrorIsShown()
    {
        Window w;
        const QString hundred(100, u'a');
        w.data.MainTable.AppendAddress(hundred);
        const QString path = dir.filePath("long.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("first\r\n" + QByteArray(150, 'a') + "\r\nlast\r\n");
        f.close();
        w.startImport(path);
        QTRY_VERIFY(!w.importing());
        QCOMPARE(w.prompts.asked.mid(2),
                 QStringList{"error: Duplicate index value. Operation aborted."});
        QCOMPARE(w.data.MainTable.AddressCount(), 2); // "first" stays, "last" never read
        QVERIFY(w.child("Button2")->isEnabled());
        QVERIFY(w.child("Button17Open")->isEnabled());
    }
};

QTEST_MAIN(TestMainWindowImport)
#include "tst_MainWindowImport.moc"
