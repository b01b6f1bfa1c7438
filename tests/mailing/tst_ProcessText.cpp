#include "mailing/CharsetTable.h"
#include "mailing/ProcessTextUnit.h"

#include <QtTest>

using namespace pelicast;

class TestProcessText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void extractName_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::newRow("name and address") << "Zud Iva <zud@iva.example>" << "Zud Iva ";
        QTest::newRow("bare address") << "zud@iva.example" << "";
        QTest::newRow("starts with <") << "<zud@iva.example>" << "";
        QTest::newRow("two <: text before the first") << "A <b <c@d>" << "A ";
        QTest::newRow("quotes kept, not trimmed") << "  \"Iva, Zud\" <z@i>" << "  \"Iva, Zud\" ";
        QTest::newRow("empty") << "" << "";
    }
    void extractName()
    {
        QFETCH(QString, address);
        QFETCH(QString, name);
        QCOMPARE(ExtractName(address), name);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every occurrence") << "a-b-c" << "-" << "+" << true << "a+b+c";
        QTest::newRow("no overlap, left to right") << "aaaa" << "aa" << "b" << true << "bb";
        QTest::newRow("odd overlap") << "aaa" << "aa" << "X" << true << "Xa";
        QTest::newRow("replacement not searched again")
            << "%NAME%" << "%NAME%" << "x%NAME%y" << true << "x%NAME%y";
        QTest::newRow("empty pattern never found") << "abc" << "" << "X" << false << "abc";
        QTest::newRow("not found") << "abc" << "d" << "X" << true << "abc";
        QTest::newRow("case-sensitive misses other case") << "Name NAME" << "NAME" << "x"
                                                          << true << "Name x";
        QTest::newRow("ASCII letters fold") << "Name nAmE NAME" << "name" << "x" << false
                                            << "x x x";
        QTest::newRow("non-ASCII letters never fold")
            << QString::fromUtf8("\xc3\x84 \xc3\xa4") << QString::fromUtf8("\xc3\xa4") << "x"
            << false << QString::fromUtf8("\xc3\x84 x");
        QTest::newRow("empty replacement deletes") << "a%NAME%b" << "%NAME%" << "" << true << "ab";
    }
    void replaceAll()
    {
        QFETCH(QString, source);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, expected);
        QCOMPARE(ReplaceAll(source, pattern, replacement, caseSensitive), expected);
    }

    void expandName_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString zud = "Zud Iva <zud@iva.example>";
        QTest::newRow("name with its trailing blank") << zud << "%NAME%" << "Zud Iva ";
        QTest::newRow("bare address deletes the macro, blanks stay")
            << "zud@iva.example" << "Dear %NAME%, hi" << "Dear , hi";
        QTest::newRow("only upper case is the macro")
            << zud << "%name% %Name% %NAME%" << "%name% %Name% Zud Iva ";
        QTest::newRow("two in a row") << zud << "%NAME%%NAME%" << "Zud Iva Zud Iva ";
        QTest::newRow("name holding the macro stays verbatim")
            << "%NAME% <x@y>" << "[%NAME%]" << "[%NAME% ]";
        QTest::newRow("no macro unchanged") << zud << "Hello" << "Hello";
    }
    void expandName()
    {
        QFETCH(QString, address);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ExpandNameInText(address, text), expected);
    }

    void expandNameInLines()
    {
        QStringList lines{"Dear %NAME%,", "%NAME", "E%", "", "bye %NAME%"};
        QStringList &same = ExpandNameInLines("Ann <a@x>", lines);
        QCOMPARE(&same, &lines);
        // A macro cut by a line break stays as it is.
        QCOMPARE(lines, (QStringList{"Dear Ann ,", "%NAME", "E%", "", "bye Ann "}));
        QStringList empty;
        QVERIFY(ExpandNameInLines("Ann <a@x>", empty).isEmpty());
    }

    void charsetName_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "iso-8859-1";
        QTest::newRow("2 lower case though the combo says Windows") << 2 << "windows-1250";
        QTest::newRow("3") << 3 << "Shift_JIS";
        QTest::newRow("6") << 6 << "x-euc-tw";
        QTest::newRow("8") << 8 << "EUC-KR";
        QTest::newRow("11 default") << 11 << "windows-1251";
        QTest::newRow("12") << 12 << "ibm866";
        QTest::newRow("18") << 18 << "UTF-8";
        QTest::newRow("19") << 19 << "UTF-7";
        QTest::newRow("-1 nothing chosen") << -1 << "windows-1251";
        QTest::newRow("20") << 20 << "windows-1251";
        QTest::newRow("INT_MIN") << INT_MIN << "windows-1251";
    }
    void charsetName()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QCOMPARE(CharsetName(index), name);
    }

    void comboTextsMatchNames()
    {
        const QStringList &texts = charsetComboTexts();
        QCOMPARE(texts.size(), 20);
        QCOMPARE(texts.at(DefaultCharsetIndex), "Cyrillic ( windows-1251 )");
        QCOMPARE(texts.at(8), "Korean ( Auto-Detect ) ( EUC-KR )");
        // Every text names its charset (the letter case of the text may differ).
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY2(texts.at(i).contains("( " + CharsetName(i) + " )", Qt::CaseInsensitive),
                     qPrintable(texts.at(i)));
    }
};

QTEST_GUILESS_MAIN(TestProcessText)
#include "tst_ProcessText.moc"
