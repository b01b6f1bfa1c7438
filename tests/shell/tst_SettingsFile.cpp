#include "common/Error.h"
#include "draft/MessageDraft.h"
#include "shell/DefaultPort.h"
#include "shell/ServerSettings.h"
#include "shell/SettingsFile.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace pelicast;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

unsigned modeOf(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

QString saveError(const QString &path)
{
    try {
        SaveSettings(path, MessageDraft(), ServerSettings());
    } catch (const Error &e) {
        return e.text();
    }
    return QStringLiteral("<no error>");
}

const QByteArray defaultsFile = "[Main]\r\n"
                                "Subject=\r\n"
                                "WordWrap=1\r\n"
                                "HTML=1\r\n"
                                "EncodingInternal=1\r\n"
                                "EncodingComboIndex=11\r\n"
                                "EncodingEditBox=\r\n"
                                "\r\n"
                                "[Settings]\r\n"
                                "Server=\r\n"
                                "ServerPort=25\r\n"
                                "ServerAuthComboIndex=0\r\n"
                                "ServerLogin=\r\n"
                                "ServerPWD=\r\n"
                                "Name=\r\n"
                                "Email=\r\n"
                                "ServerSecurity=0\r\n"
                                "ServerAcceptAnyCertificate=0\r\n";

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString path() const { return dir.filePath(QStringLiteral("Pelicast.ini")); }

private Q_SLOTS:
    void init() { QFile::remove(path()); }

    void missingFileGivesDefaults()
    {
        MessageDraft draft;
        draft.Subject = QStringLiteral("s");
        draft.WordWrap = draft.HTML = draft.EncodingInternal = false;
        draft.EncodingComboIndex = 3;
        draft.EncodingEditBox = QStringLiteral("koi8-r");
        draft.Body = QStringList{QStringLiteral("body stays")};
        draft.Priority = 0;
        ServerSettings settings;
        settings.Server = settings.ServerLogin = settings.ServerPWD = QStringLiteral("x");
        settings.Name = settings.Email = QStringLiteral("x");
        settings.ServerPort = QStringLiteral("2525");
        settings.ServerAuthComboIndex = settings.ServerSecurity = 1;
        settings.ServerAcceptAnyCertificate = true;

        LoadSettings(path(), draft, settings);

        const MessageDraft d;
        QCOMPARE(draft.Subject, d.Subject);
        QCOMPARE(draft.WordWrap, true);
        QCOMPARE(draft.HTML, true);
        QCOMPARE(draft.EncodingInternal, true);
        QCOMPARE(draft.EncodingComboIndex, 11);
        QCOMPARE(draft.EncodingEditBox, QString());
        QCOMPARE(draft.Body, QStringList{QStringLiteral("body stays")}); // not in this file
        QCOMPARE(draft.Priority, 0);
        QCOMPARE(settings.Server, QString());
        QCOMPARE(settings.ServerPort, QStringLiteral("25"));
        QCOMPARE(settings.ServerAuthComboIndex, 0);
        QCOMPARE(settings.ServerLogin, QString());
        QCOMPARE(settings.ServerPWD, QString());
        QCOMPARE(settings.Name, QString());
        QCOMPARE(settings.Email, QString());
        QCOMPARE(settings.ServerSecurity, 0);
        QCOMPARE(settings.ServerAcceptAnyCertificate, false);
    }

    void firstSaveWritesEveryKeyForTheOwnerOnly()
    {
        const mode_t old = ::umask(022);
        SaveSettings(path(), MessageDraft(), ServerSettings());
        ::umask(old);
        QCOMPARE(contents(path()), defaultsFile);
        QCOMPARE(modeOf(path()), 0600u);
    }

    void saveTightensAnOpenFile()
    {
        QVERIFY(writeFile(path(), "[Main]\r\n"));
        QVERIFY(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther));
        SaveSettings(path(), MessageDraft(), ServerSettings());
        QCOMPARE(modeOf(path()), 0600u);
    }

    void roundTripKeepsForeignContent()
    {
        const QByteArray foreign = "; written by hand\r\n"
                                   "[Window]\r\n"
                                   "Left=10\r\n"
                                   "\r\n"
                                   "[settings]\r\n"
                                   "ServerPort=9999\r\n"
                                   "Proxy=on\r\n";
        QVERIFY(writeFile(path(), foreign));

        MessageDraft draft;
        draft.Subject = QString::fromUtf8("Hi %NAME% \xE2\x82\xAC");
        draft.WordWrap = false;
        draft.HTML = false;
        draft.EncodingInternal = false;
        draft.EncodingComboIndex = 25; // outside the charset list: kept as it is
        draft.EncodingEditBox = QStringLiteral("koi8-r");
        ServerSettings settings;
        settings.Server = QStringLiteral("smtp.example.com");
        settings.ServerPort = QStringLiteral("port?"); // stored as typed
        settings.ServerAuthComboIndex = 7;
        settings.ServerLogin = QStringLiteral("jo");
        settings.ServerPWD = QStringLiteral("p=ss;'word");
        settings.Name = QStringLiteral("Jo Raz");
        settings.Email = QStringLiteral("jo@example.com");
        settings.ServerSecurity = 2;
        settings.ServerAcceptAnyCertificate = true;
        SaveSettings(path(), draft, settings);

        MessageDraft draftBack;
        ServerSettings settingsBack;
        LoadSettings(path(), draftBack, settingsBack);
        QCOMPARE(draftBack.Subject, draft.Subject);
        QCOMPARE(draftBack.WordWrap, false);
        QCOMPARE(draftBack.HTML, false);
        QCOMPARE(draftBack.EncodingInternal, false);
        QCOMPARE(draftBack.EncodingComboIndex, 25);
        QCOMPARE(draftBack.EncodingEditBox, draft.EncodingEditBox);
        QCOMPARE(settingsBack.Server, settings.Server);
        QCOMPARE(settingsBack.ServerPort, settings.ServerPort);
        QCOMPARE(settingsBack.ServerAuthComboIndex, 7);
        QCOMPARE(settingsBack.ServerLogin, settings.ServerLogin);
        QCOMPARE(settingsBack.ServerPWD, settings.ServerPWD);
        QCOMPARE(settingsBack.Name, settings.Name);
        QCOMPARE(settingsBack.Email, settings.Email);
        QCOMPARE(settingsBack.ServerSecurity, 2);
        QCOMPARE(settingsBack.ServerAcceptAnyCertificate, true);

        const QByteArray written = contents(path());
        QVERIFY2(written.startsWith("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n"
                                    "[settings]\r\nServerPort=port?\r\nProxy=on\r\nServer="),
                 written.constData());
        QCOMPARE(written.count("[settings]") + written.count("[Settings]"), 1);
        QVERIFY(written.endsWith("\r\n[Main]\r\nSubject=Hi %NAME% \xE2\x82\xAC\r\nWordWrap=0\r\n"
                                 "HTML=0\r\nEncodingInternal=0\r\nEncodingComboIndex=25\r\n"
                                 "EncodingEditBox=koi8-r\r\n"));
    }

    void failedWriteLeavesTheOldFile()
    {
        if (::geteuid() == 0)
            QSKIP("running as root: a read-only folder does not stop root from writing");
        QTemporaryDir locked;
        const QString file = locked.filePath(QStringLiteral("Pelicast.ini"));
        const QByteArray old = "[Main]\r\nSubject=old\r\n[Other]\r\nA=1\r\n";
        QVERIFY(writeFile(file, old));
        QVERIFY(
            QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString error = saveError(file);
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        QCOMPARE(error, QStringLiteral("Unable to write to ") + file);
        QCOMPARE(contents(file), old);
    }

    void writeFailureNamesTheFullPath()
    {
        // Folders standing where the file or its folder should be: fails for root as well.
        QVERIFY(writeFile(dir.filePath(QStringLiteral("plain")), "x"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.ini")));
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString underFile = saveError(QStringLiteral("plain/Pelicast.ini"));
        const QString isFolder = saveError(QStringLiteral("folder.ini"));
        QDir::setCurrent(cwd);
        QCOMPARE(underFile,
                 QStringLiteral("Unable to write to ") + dir.filePath("plain/Pelicast.ini"));
        QCOMPARE(isFolder, QStringLiteral("Unable to write to ") + dir.filePath("folder.ini"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.ini"))).isDir());
    }

    void setDefaultPort_data()
    {
        QTest::addColumn<int>("security");
        QTest::addColumn<QString>("port");
        QTest::newRow("none") << 0 << "25";
        QTest::newRow("STARTTLS") << 1 << "587";
        QTest::newRow("SSL/TLS") << 2 << "465";
        QTest::newRow("unknown mode") << 9 << "25";
    }
    void setDefaultPort()
    {
        QFETCH(int, security);
        QFETCH(QString, port);
        ServerSettings settings;
        settings.ServerPort = QStringLiteral("2525");
        settings.ServerSecurity = security;
        Button14Click(settings);
        QCOMPARE(settings.ServerPort, port);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_SettingsFile.moc"
