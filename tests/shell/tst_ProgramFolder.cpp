#include "shell/FolderLock.h"
#include "shell/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace pelicast;

// Where the state files live, and the lock that keeps a second program off them.
class TestProgramFolder : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void choose_data()
    {
        // /proc takes no new files, not even from root.
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("expected");
        const QString fallback = m_dir.filePath("data/Pelicast");
        QTest::newRow("writable program folder") << m_dir.path() << fallback << m_dir.path();
        QTest::newRow("read-only program folder") << "/proc" << fallback << fallback;
        QTest::newRow("nowhere to write") << "/proc" << "/proc/Pelicast" << "/proc";
    }
    void choose()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, fallback);
        QFETCH(QString, expected);
        QCOMPARE(ProgramFolder::choose(programDir, fallback), expected);
        if (expected == fallback)
            QVERIFY(QDir(fallback).exists());
        // The probe leaves nothing behind.
        QCOMPARE(QDir(m_dir.path()).entryList({".pelicast-probe*"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    void followsTheProgramNotTheWorkingDirectory()
    {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const QString folder = ProgramFolder::path();
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(folder, QCoreApplication::applicationDirPath());
    }

    void secondLockOnOneFolderFails()
    {
        auto first = std::make_unique<FolderLock>(m_dir.path());
        QCOMPARE(first->tryLock(), FolderLock::Result::Locked);
        FolderLock second(m_dir.path());
        QCOMPARE(second.tryLock(), FolderLock::Result::HeldByOther);
        first.reset();
        QCOMPARE(second.tryLock(), FolderLock::Result::Locked);
    }

    void staleLockIsTakenOver()
    {
        // A program that took the lock and died without releasing it.
        const QString path = FolderLock(m_dir.path()).lockFilePath();
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            QLockFile lock(path);
            _exit(lock.tryLock(0) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFileInfo::exists(path));

        FolderLock lock(m_dir.path());
        QCOMPARE(lock.tryLock(), FolderLock::Result::Locked);
    }

    void folderWithoutLockFiles()
    {
        FolderLock lock(QStringLiteral("/proc"));
        QCOMPARE(lock.tryLock(), FolderLock::Result::Unavailable);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_ProgramFolder.moc"
