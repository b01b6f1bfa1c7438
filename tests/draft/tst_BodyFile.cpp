#include "common/Error.h"
#include "draft/BodyFile.h"

#include <QtTest>

using namespace pelicast;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class TestBodyFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString path() const { return dir.filePath(QStringLiteral("body.dat")); }

    bool writeRaw(const QByteArray &bytes) const
    {
        QFile file(path());
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    QByteArray readRaw() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QStringList abc{"a", "b", "c"};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc") << abc;
        QTest::newRow("LF only") << QByteArray("a\nb\nc") << abc;
        QTest::newRow("mixed") << QByteArray("a\nb\r\nc") << abc;
        QTest::newRow("break after the last line") << QByteArray("a\r\nb\r\nc\r\n") << abc;
        QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
        QTest::newRow("only a break") << QByteArray("\n") << QStringList{""};
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("lone CR stays in its line")
            << QByteArray("a\rb\nc") << QStringList{"a\rb", "c"};
        QTest::newRow("UTF-8 and a Latin-1 line")
            << QByteArray("Gr\xC3\xBC\xC3\x9F\r\nGr\xFC\xDF\r\n\xE2\x82\xAC")
            << QStringList{u8("Gr\xC3\xBC\xC3\x9F"), u8("Gr\xC3\xBC\xC3\x9F"), u8("\xE2\x82\xAC")};
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBFHi %NAME%") << QStringList{"Hi %NAME%"};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QVERIFY(writeRaw(bytes));
        QCOMPARE(readBodyFile(path()), lines);
    }

    void write_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("three lines") << QStringList{"a", "b", "c"} << QByteArray("a\r\nb\r\nc");
        QTest::newRow("empty body") << QStringList() << QByteArray();
        QTest::newRow("two empty lines") << QStringList{"", ""} << QByteArray("\r\n");
        QTest::newRow("UTF-8") << QStringList{u8("\xD0\x9F\xD1\x80\xD0\xB8"), u8("\xE2\x82\xAC")}
                               << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8\r\n\xE2\x82\xAC");
    }
    void write()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        QVERIFY(writeRaw("old content that is longer than the new one"));
        writeBodyFile(path(), lines);
        QCOMPARE(readRaw(), bytes);
    }

    void openErrorNamesFullPathAndReason()
    {
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString error = errorOf([] { readBodyFile(QStringLiteral("missing.txt")); });
        QDir::setCurrent(cwd);
        QCOMPARE(error, QStringLiteral("Cannot open file \"%1\". No such file or directory")
                            .arg(dir.filePath(QStringLiteral("missing.txt"))));
    }

    void createErrorNamesFullPathAndReason()
    {
        QVERIFY(writeRaw("x"));
        const QString target = path() + QStringLiteral("/letter.txt"); // under a plain file
        const QString error = errorOf([&] { writeBodyFile(target, {QStringLiteral("a")}); });
        const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(target);
        QVERIFY2(error.startsWith(prefix) && error.size() > prefix.size(), qPrintable(error));
        QCOMPARE(readRaw(), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TestBodyFile)
#include "tst_BodyFile.moc"
