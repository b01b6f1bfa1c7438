#include "shell/CompanionLibrary.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace pelicast;

// The companion library's windows in a widget application (offscreen).
class TestCompanionWindows : public QObject
{
    Q_OBJECT

    static QWidget *topLevel(const QString &name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name)
                return w;
        return nullptr;
    }

private Q_SLOTS:
    void logoStaysThroughAnAboutBoxUntilClosed()
    {
        CompanionLibrary library({QDir(PELICAST_COMPANION_DIR).filePath("PelicastStd")});
        library.ShowLogo();
        QWidget *logo = topLevel("PelicastLogo");
        QVERIFY(logo);
        QVERIFY(logo->isVisible());
        QVERIFY(logo->windowFlags() & Qt::FramelessWindowHint);

        // The about box is modal: ShowAboutForm returns only once it has been closed.
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (const QLabel *label : box->findChildren<QLabel *>())
                seen << label->text();
            box->accept();
        });
        library.ShowAboutForm();
        QVERIFY(seen.join('\n').contains("Pelicast"));
        QVERIFY(seen.contains("Version 3.0"));
        QVERIFY(!topLevel("PelicastAbout") || !topLevel("PelicastAbout")->isVisible());

        QVERIFY(topLevel("PelicastLogo")); // the about box did not take the logo down
        library.CloseLogo();
        QVERIFY(!topLevel("PelicastLogo"));
        QVERIFY(!library.isLoaded());
    }
};

QTEST_MAIN(TestCompanionWindows)
#include "tst_CompanionWindows.moc"
