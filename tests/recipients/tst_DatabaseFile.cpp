#include "common/Error.h"
#include "recipients/AddressCollation.h"
#include "recipients/DatabaseFile.h"
#include "recipients/RecipientList.h"
#include "recipients/RecipientLists.h"
#include "recipients/TaggedValueWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace pelicast;

namespace {

// The All list holding "first entry" and "Jo Raz <second one>", both added by the list
// commands.
const QByteArray workedExample = QByteArray::fromHex(
    "54504630" "03fb00"
    "01" "0607416464726573730606537472696e670264" "060741646472657373" "0600" "0264" "08" "08"
    "060444617461" "0600" "00"
    "01" "060e4d61696e5461626c65496e646578" "060741646472657373" "060e4d61696e5461626c65496e646578"
    "08" "08" "08" "09" "00"
    "01"
    "01" "0202" "08" "060b666972737420656e747279" "00"
    "01" "0202" "08" "06134a6f2052617a203c7365636f6e64206f6e653e" "00"
    "00");

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

QList<int> statuses(const RecipientList &list)
{
    QList<int> out;
    for (int i = 0; i < list.count(); ++i)
        out << list.changeStatusAt(i);
    return out;
}

// Builds a database file of any format version, item by item, the way its version lays it
// out. A value is an int (integer), bool, double (real), QString (text), QByteArray (bytes
// written as they stand, tag included) or an invalid QVariant (null).
struct FileField
{
    QString name;
    QString type;
    int size;
};
struct FileRecord
{
    int status;
    QVariantList values;
    QList<QVariantList> earlierVersions = {};
};

class FileBuilder
{
public:
    int version = 251;
    QList<FileField> fields;
    QStringList indexNames{QStringLiteral("MainTableIndex")};
    QList<FileRecord> records;

    QByteArray build() const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TaggedValueWriter out(buffer);
        out.writeRaw("TPF0");
        if (version != 100)
            out.writeInteger(version);
        out.writeListStart();
        for (const FileField &f : fields) {
            out.writeText(f.name);
            out.writeText(f.type);
            out.writeInteger(f.size);
            out.writeText(f.name);
            out.writeText(QString());
            out.writeInteger(f.size);
            out.writeBoolean(false);
            out.writeBoolean(false);
            if (version >= 250)
                out.writeText(QStringLiteral("Data"));
            if (version >= 251)
                out.writeText(QString());
        }
        out.writeListEnd();
        if (version >= 200) {
            out.writeListStart();
            for (const QString &name : indexNames) {
                out.writeText(name);
                out.writeText(QStringLiteral("Address"));
                out.writeText(name);
                for (bool option : {false, false, false, true})
                    out.writeBoolean(option);
            }
            out.writeListEnd();
        }
        out.writeListStart();
        for (const FileRecord &r : records) {
            if (version >= 230) {
                out.writeListStart();
                out.writeInteger(r.status);
            }
            writeValues(out, r.values);
            for (const QVariantList &earlier : r.earlierVersions) {
                out.writeInteger(1);
                writeValues(out, earlier);
            }
            if (version >= 230)
                out.writeListEnd();
        }
        out.writeListEnd();
        out.flush();
        return buffer.data();
    }

private:
    void writeValues(TaggedValueWriter &out, const QVariantList &values) const
    {
        for (const QVariant &v : values) {
            if (version >= 249)
                out.writeBoolean(!v.isValid());
            if (!v.isValid())
                continue;
            switch (v.metaType().id()) {
            case QMetaType::Int: out.writeInteger(v.toInt()); break;
            case QMetaType::Bool: out.writeBoolean(v.toBool()); break;
            case QMetaType::Double: out.writeReal(v.toDouble()); break;
            case QMetaType::QByteArray: out.writeRaw(v.toByteArray()); break;
            default: out.writeText(v.toString()); break;
            }
        }
    }
};

FileBuilder addressFile(const QStringList &addresses, int status = 2)
{
    FileBuilder b;
    b.fields = {{QStringLiteral("Address"), QStringLiteral("String"), 100}};
    for (const QString &a : addresses)
        b.records << FileRecord{status, {a}};
    return b;
}

} // namespace

class TestDatabaseFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    AddressCollation m_collation{"en_US.UTF-8"};

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString writeFile(const QByteArray &bytes, const QString &name = QStringLiteral("in.sdb"))
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return file.fileName();
    }

    static QByteArray readFile(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QByteArray saved(RecipientList &list)
    {
        const QString out = path(QStringLiteral("out.sdb"));
        SaveDatabaseFile(list, out);
        return readFile(out);
    }

    QString load(RecipientList &list, const QByteArray &bytes)
    {
        const QString in = writeFile(bytes);
        return errorOf([&] { LoadDatabaseFile(list, in); });
    }

private Q_SLOTS:
    void workedExampleBothWays()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        list.AppendAddress(QStringLiteral("Jo Raz <second one>"));
        list.AppendAddress(QStringLiteral("first entry"));
        QCOMPARE(saved(list).toHex(' '), workedExample.toHex(' '));

        RecipientList loaded(QStringLiteral("MainTableIndex"), &m_collation);
        loaded.OpenList();
        QCOMPARE(load(loaded, workedExample), QString());
        QCOMPARE(rows(loaded), (QStringList{"first entry", "Jo Raz <second one>"}));
        QCOMPARE(statuses(loaded), (QList<int>{2, 2}));
        QCOMPARE(saved(loaded).toHex(' '), workedExample.toHex(' '));
    }

    void emptyLists_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("size");
        QTest::newRow("All") << 0 << QByteArray("MainTableIndex") << 100;
        QTest::newRow("Success") << 1 << QByteArray("SuccessTableIndex1") << 108;
        QTest::newRow("Error") << 2 << QByteArray("ErrorTableIndex1") << 104;
    }
    void emptyLists()
    {
        QFETCH(int, tab);
        QFETCH(QByteArray, name);
        QFETCH(int, size);
        RecipientLists lists;
        lists.openAll();
        RecipientList &list = *lists.byTab(tab);
        const QByteArray bytes = saved(list);
        QCOMPARE(bytes.size(), size);
        QByteArray expected = workedExample.left(99) + '\0';
        expected.replace("\x06\x0eMainTableIndex", "\x06" + QByteArray(1, char(name.size())) + name);
        QCOMPARE(bytes.toHex(' '), expected.toHex(' '));

        list.AppendAddress(QStringLiteral("someone@example.org"));
        QCOMPARE(load(list, bytes), QString());
        QCOMPARE(list.AddressCount(), 0);
        QCOMPARE(list.indexName(), QString::fromLatin1(name));
    }

    // A file written by the program reads back and writes again to the same bytes:
    // statuses, a 100-character address (06 64) and non-ASCII text (14h) included.
    void loadThenSaveGivesTheSameBytes()
    {
        const QString longest(100, u'x');
        FileBuilder b = addressFile({});
        b.indexNames = {QStringLiteral("SuccessTableIndex1")};
        b.records = {{0, {QStringLiteral("zero@x")}},
                     {1, {QStringLiteral("one@x")}},
                     {2, {longest}},
                     {2, {QString::fromUtf8("J\xc3\xbcrgen <j\xc3\xbc@x>")}},
                     {0, {QString()}}};
        const QByteArray file = b.build();
        QVERIFY(file.contains("\x06\x64" + longest.toLatin1()));
        QVERIFY(file.contains(QByteArray("\x14\x0f\0\0\0J\xc3\xbcrgen", 12)));

        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, file), QString());
        QCOMPARE(statuses(list), (QList<int>{0, 1, 2, 2, 0}));
        QCOMPARE(saved(list).toHex(' '), file.toHex(' '));
    }

    void versions_data()
    {
        QTest::addColumn<int>("version");
        for (int v : {100, 150, 200, 229, 230, 248, 249, 250, 251, 300})
            QTest::newRow(qPrintable(QString::number(v))) << v;
    }
    // Every field type is read by its value form and dropped, except Address; the items a
    // version lacks are not read.
    void versions()
    {
        QFETCH(int, version);
        FileBuilder b;
        b.version = version;
        b.indexNames = {QStringLiteral("FileIndex")};
        b.fields = {{"Id", "Integer", 0},    {"Active", "Boolean", 0}, {"Score", "Float", 0},
                    {"Address", "String", 100}, {"Note", "Memo", 0},    {"When", "DateTime", 0},
                    {"Amount", "Currency", 0}};
        const QByteArray int64 = QByteArray::fromHex("130500000000000000");
        const QVariant null = version >= 249 ? QVariant() : QVariant(QStringLiteral("n"));
        b.records = {
            {2, {1, true, 1.5, "a@x", "note", 0.0, int64}},
            {0, {-300, false, int64, "b@x", null, 45000.25, 7}},
            {3, {3, true, 2.0, "gone@x", "x", 1.0, 1.0}},
            {1, {70000, false, 3, "d@x", "y", 2.0, 2.5}, {{4, false, 3, "old@x", "z", 3.0, 1.0}}},
        };
        if (version < 230) // a record there has no status and no earlier versions
            b.records[3].earlierVersions.clear();

        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, b.build()), QString());
        if (version >= 230) {
            QCOMPARE(rows(list), (QStringList{"a@x", "b@x", "d@x"}));
            QCOMPARE(statuses(list), (QList<int>{2, 0, 1}));
        } else {
            QCOMPARE(rows(list), (QStringList{"a@x", "b@x", "gone@x", "d@x"}));
            QCOMPARE(statuses(list), (QList<int>{0, 0, 0, 0}));
        }
        QCOMPARE(list.indexName(), version >= 200 ? QStringLiteral("FileIndex")
                                                  : QStringLiteral("MainTableIndex"));
    }

    // ChangeStatus has four values: any other number is taken as an unchanged record.
    void unknownStatusReadsAsUnchanged()
    {
        FileBuilder b = addressFile({});
        b.records = {{7, {QStringLiteral("a@x")}}, {-1, {QStringLiteral("b@x")}},
                     {259, {QStringLiteral("c@x")}}, {3, {QStringLiteral("d@x")}},
                     {1, {QStringLiteral("e@x")}}};
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, b.build()), QString());
        QCOMPARE(rows(list), (QStringList{"a@x", "b@x", "c@x", "e@x"}));
        QCOMPARE(statuses(list), (QList<int>{0, 0, 0, 1}));
    }

    void versionHundredIsMarkedByTheListStart()
    {
        FileBuilder b = addressFile({QStringLiteral("a@x"), QStringLiteral("b@x")});
        b.version = 100;
        const QByteArray file = b.build();
        QCOMPARE(file.mid(4, 3).toHex(), QByteArray("010607")); // no version integer
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, file), QString());
        QCOMPARE(rows(list), (QStringList{"a@x", "b@x"}));
    }

    void stringValues_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("address");
        const QString e = QString::fromUtf8("\xc3\xa9");
        QTest::newRow("longer than 100") << 100 << QVariant(QString(150, u'a')) << QString(100, u'a');
        QTest::newRow("field size 10") << 10 << QVariant("abcdefghijkl") << "abcdefghij";
        QTest::newRow("field size above the list's") << 400 << QVariant(QString(150, u'b')) << QString(100, u'b');
        QTest::newRow("field size counts characters")
            << 5 << QVariant(e.repeated(7)) << e.repeated(5);
        QTest::newRow("astral characters are not split")
            << 2 << QVariant(QString::fromUtf8("\xf0\x9f\x98\x80\xf0\x9f\x98\x81z"))
            << QString::fromUtf8("\xf0\x9f\x98\x80\xf0\x9f\x98\x81");
        QTest::newRow("zero byte ends it") << 100 << QVariant(QByteArray("\x06\x05" "ab\0cd", 7)) << "ab";
        QTest::newRow("zero in a UTF-8 string")
            << 100 << QVariant(QByteArray("\x14\x04\0\0\0" "\xc3\xa9\0x", 9)) << e;
        QTest::newRow("Latin-1 short string") << 100 << QVariant(QByteArray("\x06\x04" "caf\xe9", 6))
                                              << QString::fromUtf8("caf\xc3\xa9");
        QTest::newRow("Latin-1 with a zero")
            << 100 << QVariant(QByteArray("\x06\x06" "caf\xe9\0\xff", 8)) << QString::fromUtf8("caf\xc3\xa9");
        QTest::newRow("UTF-8 in a short string") << 100 << QVariant(QByteArray("\x06\x02\xc3\xa9", 4)) << e;
        QTest::newRow("wide string, lone surrogate")
            << 100 << QVariant(QByteArray("\x12\x03\0\0\0" "Z\0" "\xeb\0" "=\xd8", 11))
            << QString::fromUtf8("Z\xc3\xab") + QChar(0xfffd);
        QTest::newRow("wide string, pair and zero")
            << 100 << QVariant(QByteArray("\x12\x04\0\0\0" "=\xd8\0\xde" "\0\0" "x\0", 13))
            << QString::fromUtf8("\xf0\x9f\x98\x80");
        QTest::newRow("null") << 100 << QVariant() << QString();
    }
    void stringValues()
    {
        QFETCH(int, size);
        QFETCH(QVariant, value);
        QFETCH(QString, address);
        FileBuilder b;
        b.fields = {{QStringLiteral("Address"), QStringLiteral("String"), size}};
        b.records = {{2, {value}}, {2, {QStringLiteral("other")}}};
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, b.build()), QString());
        QCOMPARE(rows(list).value(0), address);
        QVERIFY(list.addressUtf8At(0).isValidUtf8());
        QVERIFY(list.FindAddress(address));
    }

    // Non-ASCII text read from 14h or 12h is written back as 14h.
    void nonAsciiIsWrittenAsUtf8()
    {
        const QString text = QString::fromUtf8("Zo\xc3\xab \xf0\x9f\x98\x80 <z@x>");
        QByteArray wide("\x12");
        const quint32 units = quint32(text.size());
        wide.append(reinterpret_cast<const char *>(&units), 4); // little-endian host
        for (QChar c : text)
            wide.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        FileBuilder b = addressFile({});
        b.records = {{2, {wide}}};
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, b.build()), QString());
        QCOMPARE(rows(list), QStringList{text});
        QCOMPARE(saved(list).toHex(' '), addressFile({text}).build().toHex(' '));
    }

    void indexNameIsCarriedFromSuccessIntoAll()
    {
        RecipientLists lists;
        lists.openAll();
        lists.SuccessTable.AppendAddress(QStringLiteral("sent@x"));
        const QString file = path(QStringLiteral("success.sdb"));
        SaveDatabaseFile(lists.SuccessTable, file);
        LoadDatabaseFile(lists.MainTable, file);
        QCOMPARE(lists.MainTable.indexName(), QStringLiteral("SuccessTableIndex1"));
        QCOMPARE(saved(lists.MainTable).toHex(' '), readFile(file).toHex(' '));
    }

    void additionsAfterALoadGoToTheEnd()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, addressFile({"m@x", "c@x"}).build()), QString());
        list.AppendAddress(QStringLiteral("a@x"));
        QCOMPARE(rows(list), (QStringList{"m@x", "c@x", "a@x"}));
        QCOMPARE(saved(list).toHex(' '),
                 addressFile({"m@x", "c@x", "a@x"}).build().toHex(' '));
    }

    // With no field definitions the file's records are read with the list's own field and
    // added after the list's records.
    void emptyFieldDefinitionsAddToTheList()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        list.AppendAddress(QStringLiteral("b@x"));
        list.AppendAddress(QStringLiteral("a@x"));
        FileBuilder b = addressFile({"z@x", "c@x"});
        b.fields.clear();
        QCOMPARE(load(list, b.build()), QString());
        QCOMPARE(rows(list), (QStringList{"a@x", "b@x", "z@x", "c@x"}));
        QCOMPARE(statuses(list), (QList<int>{2, 2, 2, 2}));

        b.records = {{2, {QStringLiteral("a@x")}}};
        QCOMPARE(load(list, b.build()), QStringLiteral("Duplicate index value. Operation aborted."));
        QCOMPARE(rows(list), (QStringList{"a@x", "b@x", "z@x", "c@x"}));
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("after"); // "=" for unchanged

        const QString read = QStringLiteral("Stream read error");
        const QString invalid = QStringLiteral("Invalid property value");
        const QStringList unchanged{QStringLiteral("=")};
        const QStringList both{"first entry", "Jo Raz <second one>"};
        const QByteArray &ex = workedExample;
        auto patched = [&](int at, const char *hex) {
            QByteArray b = ex;
            const QByteArray with = QByteArray::fromHex(hex);
            return b.replace(at, with.size(), with);
        };

        QTest::newRow("0 bytes") << QByteArray() << read << unchanged;
        QTest::newRow("3 bytes") << QByteArray("TPF") << read << unchanged;
        QTest::newRow("wrong signature") << patched(3, "31") << QStringLiteral("Invalid stream format") << unchanged;
        QTest::newRow("a text file") << QByteArray("someone@example.org\r\nother@example.org\r\n")
                                     << QStringLiteral("Invalid stream format") << unchanged;
        QTest::newRow("signature only") << ex.left(4) << read << unchanged;
        QTest::newRow("version as text") << patched(4, "06") << invalid << unchanged;
        QTest::newRow("version cut") << ex.left(6) << read << unchanged;
        QTest::newRow("no field list start") << ex.left(7) << read << unchanged;
        QTest::newRow("field list start wrong") << patched(7, "02") << invalid << unchanged;
        QTest::newRow("nothing after field list start") << ex.left(8) << read << unchanged;
        QTest::newRow("cut in a field definition") << ex.left(20) << read << QStringList();
        QTest::newRow("size as text") << patched(25, "06") << invalid << QStringList();
        QTest::newRow("unknown field type") << QByteArray(ex).replace("String", "string")
                                            << QStringLiteral("Unknown field type (string)") << QStringList();
        QTest::newRow("cut before the index definitions") << ex.left(51) << read << QStringList();
        QTest::newRow("index list start wrong") << patched(51, "09") << invalid << QStringList();
        QTest::newRow("cut in an index definition") << ex.left(60) << read << QStringList();
        QTest::newRow("cut in the first record") << ex.left(110) << read << QStringList();
        QTest::newRow("status as text") << patched(100, "06") << invalid << QStringList();
        QTest::newRow("cut in the second record") << ex.left(130) << read << QStringList{"first entry"};
        QTest::newRow("second record's list start wrong") << patched(117, "02") << invalid
                                                          << QStringList{"first entry"};
        QTest::newRow("address as an integer") << patched(121, "02") << invalid << QStringList{"first entry"};
        QTest::newRow("length beyond the file")
            << patched(121, "0cffffff7f") << read << QStringList{"first entry"};
        QTest::newRow("records' list end missing") << ex.left(143) << read << both;
        QTest::newRow("bytes after the end are not read") << ex + "\x07garbage" << QString() << both;

        FileBuilder dup = addressFile({"a@x", "b@x", "a@x", "c@x", "b@x"});
        QTest::newRow("equal addresses: first of each kept")
            << dup.build() << QStringLiteral("Duplicate index value. Operation aborted.")
            << QStringList{"a@x", "b@x", "c@x"};
        QByteArray dupCut = dup.build();
        dupCut.chop(3);
        QTest::newRow("equal addresses, then cut: the read error wins")
            << dupCut << read << QStringList{"a@x", "b@x", "c@x"};

        FileBuilder other = addressFile({"a@x"});
        other.fields = {{QStringLiteral("Name"), QStringLiteral("String"), 50}};
        const QString notFound = QStringLiteral("Field 'Address' not found");
        QTest::newRow("no Address field") << other.build() << notFound << unchanged;
        QByteArray otherCut = other.build();
        otherCut.chop(2);
        QTest::newRow("no Address field, cut in the records") << otherCut << read << unchanged;
        other.fields = {{QStringLiteral("Address"), QStringLiteral("Memo"), 0}};
        QTest::newRow("Address not a String") << other.build() << notFound << unchanged;
        other.fields = {{QStringLiteral("address"), QStringLiteral("String"), 100}};
        QTest::newRow("name compared exactly") << other.build() << notFound << unchanged;

        FileBuilder typed;
        typed.fields = {{"Address", "String", 100}, {"Count", "Integer", 0}};
        typed.records = {{2, {"a@x", 1}},
                         {2, {"b@x", QByteArray::fromHex("130100000000000000")}}};
        QTest::newRow("integer field holding a 64-bit integer") << typed.build() << invalid
                                                                << QStringList{"a@x"};
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(QStringList, after);
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        list.AppendAddress(QStringLiteral("keep2@x"));
        list.AppendAddress(QStringLiteral("keep1@x"));
        const QStringList before = rows(list);

        QCOMPARE(load(list, file), error);
        QCOMPARE(rows(list), after == QStringList{"="} ? before : after);
        QCOMPARE(list.indexName(), QStringLiteral("MainTableIndex"));
        // Still open and usable.
        QVERIFY(list.IsOpen());
        const int count = list.AddressCount();
        list.AppendAddress(QStringLiteral("new@x"));
        QCOMPARE(list.AddressCount(), count + 1);
        QVERIFY(list.FindAddress(QStringLiteral("new@x")));
        QCOMPARE(errorOf([&] { list.AppendAddress(QStringLiteral("new@x")); }),
                 QStringLiteral("Duplicate index value. Operation aborted."));
    }

    void indexNameTakenOnceItsDefinitionIsWhole()
    {
        FileBuilder b = addressFile({"a@x"});
        b.indexNames = {QStringLiteral("OtherIndex"), QStringLiteral("Second")};
        const QByteArray file = b.build();
        const qsizetype second = file.indexOf("Second") - 2;
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        QCOMPARE(load(list, file.left(second + 3)), QStringLiteral("Stream read error"));
        QCOMPARE(list.indexName(), QStringLiteral("OtherIndex"));
        QCOMPARE(list.AddressCount(), 0);
        QCOMPARE(load(list, file), QString());
        QCOMPARE(list.indexName(), QStringLiteral("OtherIndex"));
    }

    void openFailure()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        list.AppendAddress(QStringLiteral("keep@x"));
        const QString missing = path(QStringLiteral("missing.sdb"));
        QCOMPARE(errorOf([&] { LoadDatabaseFile(list, missing); }),
                 QStringLiteral("Cannot open file \"%1\". No such file or directory")
                     .arg(QDir::toNativeSeparators(missing)));
        QCOMPARE(rows(list), QStringList{"keep@x"});
    }

    void createFailure()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        const QString inMissingFolder = path(QStringLiteral("no/such/folder.sdb"));
        QCOMPARE(errorOf([&] { SaveDatabaseFile(list, inMissingFolder); }),
                 QStringLiteral("Cannot create file \"%1\". No such file or directory")
                     .arg(QDir::toNativeSeparators(inMissingFolder)));
    }

    // A save that fails half-way (here: the file size limit, as a full disk would) reports
    // a write error and leaves the old file whole.
    void writeFailureKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("db.sdb"));
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        list.OpenList();
        list.AppendAddress(QStringLiteral("old@x"));
        SaveDatabaseFile(list, file);
        const QByteArray old = readFile(file);
        for (int i = 0; i < 3000; ++i)
            list.AppendAddress(QStringLiteral("someone%1@example.org").arg(i));

        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit small = saved;
        small.rlim_cur = 20000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const QString error = errorOf([&] { SaveDatabaseFile(list, file); });
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(error, QStringLiteral("Stream write error"));
        QCOMPARE(readFile(file), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"db.sdb"});
        QCOMPARE(list.AddressCount(), 3001);
    }

    void closedListIsRefused()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &m_collation);
        const QString file = writeFile(workedExample);
        const QString closed = QStringLiteral("Cannot perform this operation on a closed dataset");
        QCOMPARE(errorOf([&] { LoadDatabaseFile(list, file); }), closed);
        QCOMPARE(errorOf([&] { SaveDatabaseFile(list, file); }), closed);
        QCOMPARE(readFile(file), workedExample);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "tst_DatabaseFile.moc"
