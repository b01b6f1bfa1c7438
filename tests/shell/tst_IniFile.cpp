#include "shell/IniFile.h"

#include <QtTest>

#include <climits>

using namespace pelicast;

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("kind"); // text, int or bool
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("expected");

        const auto text = [](const char *name, const QByteArray &value, const QString &def,
                             const QString &expected) {
            QTest::newRow(name) << "[Main]\r\nKey=" + value + "\r\n"
                                << "text" << def << expected;
        };
        text("plain", "Hello", "d", "Hello");
        text("double quotes", "\"Hello\"", "d", "Hello");
        text("single quotes", "'Hello'", "d", "Hello");
        text("one pair only", "\"\"Hello\"\"", "d", "\"Hello\"");
        text("quotes not matching", "\"Hello'", "d", "\"Hello'");
        text("a lone quote", "\"", "d", "\"");
        text("quotes inside", "a \"b\" c", "d", "a \"b\" c");
        text("empty value gives the default", "", "25", "25");
        text("empty quotes are a value", "\"\"", "25", "");
        text("blanks around the value", "  x y \t", "d", "x y");
        text("not UTF-8: Latin-1",
             "Gr\xFC\xDF"
             "e",
             "d",
             QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                               "e"));
        text("UTF-8",
             "Gr\xC3\xBC\xC3\x9F"
             "e",
             "d",
             QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                               "e"));
        text("2047 kept", QByteArray(2047, 'a'), "d", QString(2047, u'a'));
        text("cut to 2047", QByteArray(3000, 'a'), "d", QString(2047, u'a'));
        text("cut after the quotes go", '"' + QByteArray(2100, 'b') + '"', "d",
             QString(2047, u'b'));
        // 2046 letters, then a character outside the BMP: 2047 characters in 2048 units.
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        text("cut keeps a surrogate pair", QByteArray(2046, 'a') + emoji.toUtf8() + "zz", "d",
             QString(2046, u'a') + emoji);

        const auto place = [](const char *name, const QByteArray &file, const QString &expected) {
            QTest::newRow(name) << file << "text"
                                << "d" << expected;
        };
        place("names ignore case", "[mAIN]\r\nkEY=x\r\n", "x");
        place("blanks around names", "  [ Main ]  \r\n  Key  = x\r\n", "x");
        place("LF line ends", "[Other]\nKey=o\n[Main]\nKey=x\n", "x");
        place("missing section", "[Other]\r\nKey=x\r\n", "d");
        place("key of another section", "[Main]\r\nA=1\r\n[Other]\r\nKey=x\r\n", "d");
        place("key before any section", "Key=x\r\n[Main]\r\n", "d");
        place("a comment is no key", "[Main]\r\n;Key=x\r\n", "d");
        place("a line without =", "[Main]\r\nKey\r\n", "d");
        place("first of two keys", "[Main]\r\nKey=1\r\nkey=2\r\n", "1");
        place("first of two sections", "[Main]\r\nA=1\r\n[main]\r\nKey=2\r\n", "d");
        place("byte order mark", "\xEF\xBB\xBF[Main]\r\nKey=x\r\n", "x");

        const auto integer = [](const char *name, const QByteArray &value, int expected) {
            QTest::newRow(name) << "[Main]\r\nKey=" + value + "\r\n"
                                << "int"
                                << "11" << QString::number(expected);
        };
        integer("decimal", "42", 42);
        integer("leading zeros", "007", 7);
        integer("minus", "-7", -7);
        integer("plus", "+7", 7);
        integer("hex", "0x12", 18);
        integer("hex upper X", "0X1f", 31);
        integer("hex fills 32 bits", "0xFFFFFFFF", -1);
        integer("hex beyond 32 bits", "0x100000000", 11);
        integer("just 0x", "0x", 11);
        integer("bad hex digit", "0x1G", 11);
        integer("sign before hex", "-0x5", 11);
        integer("trailing text", "12abc", 11);
        integer("blank inside", "1 2", 11);
        integer("sign only", "-", 11);
        integer("empty", "", 11);
        integer("largest", "2147483647", INT_MAX);
        integer("smallest", "-2147483648", INT_MIN);
        integer("too large", "2147483648", 11);
        integer("quoted number", "\"5\"", 5);
        integer("not ASCII digits", "\xD9\xA3", 11); // ARABIC-INDIC DIGIT THREE

        const auto boolean = [](const char *name, const QByteArray &value, bool def,
                                bool expected) {
            QTest::newRow(name) << "[Main]\r\nKey=" + value + "\r\n"
                                << "bool" << QString::number(def) << QString::number(expected);
        };
        boolean("0 is false", "0", true, false);
        boolean("1 is true", "1", false, true);
        boolean("any other number is true", "-2", false, true);
        boolean("hex zero", "0x0", true, false);
        boolean("no number: default true", "yes", true, true);
        boolean("no number: default false", "yes", false, false);
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, kind);
        QFETCH(QString, defaultValue);
        QFETCH(QString, expected);
        IniFile ini;
        ini.setBytes(file);
        const QString section = QStringLiteral("Main");
        const QString key = QStringLiteral("Key");
        QString actual;
        if (kind == u"text")
            actual = ini.readString(section, key, defaultValue);
        else if (kind == u"int")
            actual = QString::number(ini.readInteger(section, key, defaultValue.toInt()));
        else
            actual = QString::number(ini.readBool(section, key, defaultValue.toInt() != 0));
        QCOMPARE(actual, expected);
    }

    void missingFileReadsEmpty()
    {
        QTemporaryDir dir;
        IniFile ini;
        ini.setBytes("[Main]\r\nKey=stale\r\n");
        QVERIFY(ini.load(dir.filePath(QStringLiteral("absent.ini"))));
        QCOMPARE(ini.readString(QStringLiteral("Main"), QStringLiteral("Key"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(ini.bytes(), QByteArray());
    }

    void writerKeepsEverythingElse()
    {
        IniFile ini;
        ini.setBytes("; settings\n"
                     "[Main]\n"
                     "Subject=old\n"
                     "Mine=\xFC kept as bytes\n"
                     "; end of main\n"
                     "\n"
                     "[Plugin]\r\n"
                     "Subject=not ours\r\n"
                     "junk line without equals\r\n"
                     "\r\n"
                     "[Empty]");
        ini.writeString(QStringLiteral("Main"), QStringLiteral("Subject"), QStringLiteral("new"));
        ini.writeBool(QStringLiteral("Main"), QStringLiteral("HTML"), false);
        ini.writeInteger(QStringLiteral("empty"), QStringLiteral("N"), -3);
        ini.writeString(QStringLiteral("Settings"), QStringLiteral("Server"),
                        QString::fromUtf8("m\xC3\xA4il"));
        ini.writeString(QStringLiteral("Settings"), QStringLiteral("ServerPort"),
                        QStringLiteral("25"));
        QCOMPARE(ini.bytes(), QByteArray("; settings\r\n"
                                         "[Main]\r\n"
                                         "Subject=new\r\n"
                                         "Mine=\xFC kept as bytes\r\n"
                                         "; end of main\r\n"
                                         "HTML=0\r\n"
                                         "\r\n"
                                         "[Plugin]\r\n"
                                         "Subject=not ours\r\n"
                                         "junk line without equals\r\n"
                                         "\r\n"
                                         "[Empty]\r\n"
                                         "N=-3\r\n"
                                         "\r\n"
                                         "[Settings]\r\n"
                                         "Server=m\xC3\xA4il\r\n"
                                         "ServerPort=25\r\n"));
    }

    void writerMatchesNamesWithoutCase()
    {
        IniFile ini;
        ini.setBytes("[main]\r\nsubject=old\r\n");
        ini.writeString(QStringLiteral("Main"), QStringLiteral("Subject"), QStringLiteral("new"));
        QCOMPARE(ini.bytes(), QByteArray("[main]\r\nSubject=new\r\n"));
    }

    void valueCannotBreakItsLine()
    {
        IniFile ini;
        ini.writeString(QStringLiteral("Main"), QStringLiteral("Subject"),
                        QStringLiteral("a\r\n[Main]\nEvil=1"));
        QCOMPARE(ini.bytes(), QByteArray("[Main]\r\nSubject=a  [Main] Evil=1\r\n"));
        QCOMPARE(
            ini.readString(QStringLiteral("Main"), QStringLiteral("Evil"), QStringLiteral("d")),
            QStringLiteral("d"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
