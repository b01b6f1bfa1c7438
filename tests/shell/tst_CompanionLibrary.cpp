#include "shell/CompanionLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelicast;

// The real companion library, without a widget application: its entry points record each
// call in the trace file and show nothing. What is checked here is which calls reach the
// library and when it is loaded and released.
class TestCompanionLibrary : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_trace;

    QStringList calls() const
    {
        QFile file(m_trace);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    static QStringList companion()
    {
        return {QDir(QStringLiteral(PELICAST_COMPANION_DIR)).filePath("PelicastStd")};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_trace = m_dir.filePath("trace.txt");
        qputenv("PELICAST_COMPANION_TRACE", QFile::encodeName(m_trace));
    }
    void init() { QFile::remove(m_trace); }

    void logoThenClose()
    {
        CompanionLibrary library(companion());
        library.ShowLogo();
        QVERIFY(library.isLoaded());
        QVERIFY(library.logoShown());
        library.CloseLogo();
        QVERIFY(!library.isLoaded());
        library.CloseLogo(); // a second close finds nothing to close
        QCOMPARE(calls(), (QStringList{"ShowLogo", "CloseLogo"}));
    }

    void aboutWhileLogoIsUpKeepsTheLibrary()
    {
        CompanionLibrary library(companion());
        library.ShowLogo();
        library.ShowAboutForm();
        QVERIFY(library.isLoaded()); // still held for the logo
        library.CloseLogo();
        QVERIFY(!library.isLoaded());
        QCOMPARE(calls(), (QStringList{"ShowLogo", "ShowAboutForm", "CloseLogo"}));
    }

    void aboutAloneLoadsAndReleases()
    {
        CompanionLibrary library(companion());
        library.ShowAboutForm();
        QVERIFY(!library.isLoaded());
        library.ShowAboutForm();
        QCOMPARE(calls(), (QStringList{"ShowAboutForm", "ShowAboutForm"}));
    }

    void closeLogoNeverLoads()
    {
        CompanionLibrary library(companion());
        library.CloseLogo();
        QVERIFY(!library.isLoaded());
        QVERIFY(calls().isEmpty());
    }

    void ownFolderBeforeSystemSearch()
    {
        // A candidate that does not exist is passed over for the next one.
        CompanionLibrary library(
            {m_dir.filePath("PelicastStd"), companion().constFirst()});
        library.ShowLogo();
        QVERIFY(library.isLoaded());
        library.CloseLogo();
        QCOMPARE(calls(), (QStringList{"ShowLogo", "CloseLogo"}));
    }

    void missingLibraryDoesNothing()
    {
        CompanionLibrary library({m_dir.filePath("PelicastStd"), "PelicastStdNotInstalled"});
        library.ShowLogo();
        QVERIFY(!library.isLoaded());
        QVERIFY(!library.logoShown());
        library.ShowAboutForm();
        library.CloseLogo();
        QVERIFY(!library.isLoaded());
        QVERIFY(calls().isEmpty());
    }

    void libraryWithoutTheExportsDoesNothing()
    {
        // Qt's own core library loads but has none of the three entry points.
        CompanionLibrary library({"Qt6Core"});
        library.ShowLogo();
        QVERIFY(library.isLoaded());
        library.ShowAboutForm();
        library.CloseLogo();
        QVERIFY(!library.isLoaded());
        QVERIFY(calls().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCompanionLibrary)
#include "tst_CompanionLibrary.moc"
