#include "shell/DamagedFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelicast;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestDamagedFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setAsideNeverReplacesAnOlderCopy_data()
    {
        QTest::addColumn<QStringList>("older");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first time") << QStringList() << "db.sdb.damaged";
        QTest::newRow("one older") << QStringList{"db.sdb.damaged"} << "db.sdb.damaged.1";
        QTest::newRow("two older")
            << QStringList{"db.sdb.damaged", "db.sdb.damaged.1"} << "db.sdb.damaged.2";
        QTest::newRow("first free number")
            << QStringList{"db.sdb.damaged", "db.sdb.damaged.2"} << "db.sdb.damaged.1";
    }
    void setAsideNeverReplacesAnOlderCopy()
    {
        QFETCH(QStringList, older);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QDir folder(dir.path());
        for (const QString &name : older)
            write(folder.filePath(name), name.toUtf8());
        write(folder.filePath("db.sdb"), "broken");

        const QString kept = DamagedFile::setAside(folder.filePath("db.sdb"));
        QCOMPARE(kept, folder.filePath(expected));
        QCOMPARE(read(kept), QByteArray("broken"));
        QVERIFY(!QFileInfo::exists(folder.filePath("db.sdb")));
        for (const QString &name : older)
            QCOMPARE(read(folder.filePath(name)), name.toUtf8());
    }

    void fileThatCannotBeMovedOrCopied()
    {
        // Nothing can be created beside a file of /proc, not even by root.
        QCOMPARE(DamagedFile::setAside(QStringLiteral("/proc/self/status")), QString());
    }

    void errorTextSaysWhereTheFileWent()
    {
        const QString text = DamagedFile::errorText("Stream read error", "/p/db.sdb",
                                                    "/p/db.sdb.damaged");
        QVERIFY(text.startsWith("Stream read error.\n"));
        QVERIFY(text.contains("\"/p/db.sdb.damaged\""));
        QVERIFY(DamagedFile::errorText("Stream read error", "/p/db.sdb", QString())
                    .contains("could not be kept aside"));
    }
};

QTEST_GUILESS_MAIN(TestDamagedFile)
#include "tst_DamagedFile.moc"
