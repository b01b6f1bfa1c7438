#include "common/Error.h"
#include "recipients/ExtendedReal.h"
#include "recipients/TaggedValueReader.h"
#include "recipients/TaggedValueWriter.h"

#include <QBuffer>
#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace pelicast;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray written(const std::function<void(TaggedValueWriter &)> &write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TaggedValueWriter out(buffer);
    write(out);
    out.flush();
    return buffer.data();
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

// Records the size of every write; refuses bytes beyond a limit like a full disk.
class RecordingDevice : public QIODevice
{
public:
    explicit RecordingDevice(qint64 limit = std::numeric_limits<qint64>::max()) : m_limit(limit)
    {
        open(QIODevice::WriteOnly);
    }
    QList<qint64> writes;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        const qint64 taken = std::min(size, m_limit - m_total);
        m_total += taken;
        writes << size;
        return taken;
    }

private:
    qint64 m_limit;
    qint64 m_total = 0;
};

} // namespace

class TestTaggedValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void integers_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("0") << 0 << hex("0200");
        QTest::newRow("100") << 100 << hex("0264");
        QTest::newRow("127") << 127 << hex("027f");
        QTest::newRow("-128") << -128 << hex("0280");
        QTest::newRow("128") << 128 << hex("038000");
        QTest::newRow("-129") << -129 << hex("037fff");
        QTest::newRow("251") << 251 << hex("03fb00");
        QTest::newRow("32767") << 32767 << hex("03ff7f");
        QTest::newRow("-32768") << -32768 << hex("030080");
        QTest::newRow("32768") << 32768 << hex("0400800000");
        QTest::newRow("-32769") << -32769 << hex("04ff7fffff");
        QTest::newRow("max") << std::numeric_limits<qint32>::max() << hex("04ffffff7f");
        QTest::newRow("min") << std::numeric_limits<qint32>::min() << hex("0400000080");
    }
    void integers()
    {
        QFETCH(int, value);
        QFETCH(QByteArray, bytes);
        QCOMPARE(written([&](auto &out) { out.writeInteger(value); }).toHex(), bytes.toHex());
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        QCOMPARE(reader.readInteger(), value);
    }

    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << hex("0600");
        QTest::newRow("ascii") << QStringLiteral("Address") << hex("0607416464726573 73");
        const QString a255(255, u'a');
        QTest::newRow("255 ascii: short") << a255 << hex("06ff") + a255.toLatin1();
        const QString a256(256, u'a');
        QTest::newRow("256 ascii: long") << a256 << hex("0c00010000") + a256.toLatin1();
        QTest::newRow("non-ascii: utf-8 string")
            << QString::fromUtf8("J\xc3\xbcrgen") << hex("1407000000") + "J\xc3\xbcrgen";
        QTest::newRow("emoji") << QString::fromUtf8("\xf0\x9f\x98\x80")
                               << hex("1404000000f09f9880");
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(written([&](auto &out) { out.writeText(text); }).toHex(), bytes.toHex());
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        QCOMPARE(reader.readText(), text);
    }

    void textsReadOnly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("short string, valid UTF-8")
            << hex("0603c3a978") << QString::fromUtf8("\xc3\xa9x");
        QTest::newRow("short string, Latin-1") << hex("0604636166e9") << QString::fromUtf8("caf\xc3\xa9");
        QTest::newRow("long string, Latin-1") << hex("0c02000000e9ff")
                                              << QString::fromUtf8("\xc3\xa9\xc3\xbf");
        QTest::newRow("wide string, lone surrogate replaced")
            << hex("120300000041005a0100d8") << QString::fromUtf8("A\xc5\x9a\xef\xbf\xbd");
        QTest::newRow("wide string with pair") << hex("12020000003dd800de")
                                               << QString::fromUtf8("\xf0\x9f\x98\x80");
    }
    void textsReadOnly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        QCOMPARE(reader.readText(), text);
        QVERIFY(errorOf([&] { reader.peekByte(); }) == QLatin1String("Stream read error"));
    }

    void reals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("0") << 0.0 << hex("0500000000000000000000");
        QTest::newRow("-0") << -0.0 << hex("0500000000000000000080");
        QTest::newRow("1") << 1.0 << hex("050000000000000080ff3f");
        QTest::newRow("100") << 100.0 << hex("0500000000000000c80540");
        QTest::newRow("-2.5") << -2.5 << hex("0500000000000000a000c0");
        QTest::newRow("0.1") << 0.1 << hex("0500d0ccccccccccccfb3f");
        QTest::newRow("max double") << std::numeric_limits<double>::max()
                                    << hex("0500f8fffffffffffffe43");
        QTest::newRow("min normal") << std::numeric_limits<double>::min()
                                    << hex("050000000000000080013c");
        QTest::newRow("min subnormal") << std::numeric_limits<double>::denorm_min()
                                       << hex("050000000000000080cd3b");
        QTest::newRow("inf") << std::numeric_limits<double>::infinity()
                             << hex("050000000000000080ff7f");
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity()
                              << hex("050000000000000080ffff");
    }
    void reals()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, bytes);
        QCOMPARE(written([&](auto &out) { out.writeReal(value); }).toHex(), bytes.toHex());
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        const double back = reader.readReal();
        QCOMPARE(std::bit_cast<quint64>(back), std::bit_cast<quint64>(value));
    }

    void nanStaysNan()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const ExtendedRealBytes bytes = toExtendedReal(nan);
        QCOMPARE(bytes[9] & 0x7f, 0x7f);
        QCOMPARE(bytes[8], quint8(0xff));
        QVERIFY(std::isnan(fromExtendedReal(bytes.data())));
    }

    // Extended values that a double cannot hold exactly: rounded to nearest, ties to even,
    // out of range to infinity or zero.
    void extendedRounding_data()
    {
        QTest::addColumn<QByteArray>("extended");
        QTest::addColumn<double>("value");
        // 1 + 2^-53 (a tie): stays 1. 1 + 3*2^-53: ties up to 1 + 2^-51.
        QTest::newRow("tie to even, down") << hex("0004000000000080ff3f") << 1.0;
        QTest::newRow("tie to even, up")
            << hex("000c000000000080ff3f") << 1.0 + std::ldexp(1.0, -51);
        QTest::newRow("above half") << hex("0104000000000080ff3f") << 1.0 + std::ldexp(1.0, -52);
        QTest::newRow("carry into exponent") << hex("ffffffffffffffffff3f") << 2.0;
        QTest::newRow("too large") << hex("0000000000000080ff43")
                                   << std::numeric_limits<double>::infinity();
        QTest::newRow("too small") << hex("0000000000000080003b") << 0.0;
        QTest::newRow("half of min subnormal: to even, zero") << hex("0000000000000080cc3b") << 0.0;
        QTest::newRow("3/4 of min subnormal: up")
            << hex("00000000000000c0cc3b") << std::numeric_limits<double>::denorm_min();
        QTest::newRow("extended denormal") << hex("01000000000000000000") << 0.0;
        QTest::newRow("unnormal taken by value") << hex("0000000000000040ff3f") << 0.5;
    }
    void extendedRounding()
    {
        QFETCH(QByteArray, extended);
        QFETCH(double, value);
        const double got = fromExtendedReal(reinterpret_cast<const quint8 *>(extended.constData()));
        QCOMPARE(std::bit_cast<quint64>(got), std::bit_cast<quint64>(value));
    }

    void realFromIntegerTags_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("value");
        QTest::newRow("8-bit") << hex("02fe") << -2.0;
        QTest::newRow("16-bit") << hex("03e803") << 1000.0;
        QTest::newRow("32-bit") << hex("0400000100") << 65536.0;
        QTest::newRow("64-bit") << hex("130000000000010000") << 1099511627776.0;
        QTest::newRow("64-bit negative") << hex("13ffffffffffffffff") << -1.0;
    }
    void realFromIntegerTags()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(double, value);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        QCOMPARE(reader.readReal(), value);
    }

    void booleanConsumesAnyByte()
    {
        QByteArray bytes = hex("0908000901ff");
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        QList<bool> got;
        for (int i = 0; i < 6; ++i)
            got << reader.readBoolean();
        QCOMPARE(got, (QList<bool>{true, false, false, true, false, false}));
    }

    void readErrors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("what"); // 0 integer, 1 text, 2 real, 3 list start, 4 list end
        QTest::addColumn<QString>("error");
        const QString invalid = QStringLiteral("Invalid property value");
        const QString read = QStringLiteral("Stream read error");
        QTest::newRow("integer from a text tag") << hex("0600") << 0 << invalid;
        QTest::newRow("integer from 64-bit tag") << hex("130100000000000000") << 0 << invalid;
        QTest::newRow("integer from extended") << hex("050000000000000080ff3f") << 0 << invalid;
        QTest::newRow("integer cut") << hex("0301") << 0 << read;
        QTest::newRow("nothing left") << QByteArray() << 0 << read;
        QTest::newRow("text from an integer tag") << hex("0201") << 1 << invalid;
        QTest::newRow("text from 07h") << hex("0700") << 1 << invalid;
        QTest::newRow("short string cut") << hex("060461") << 1 << read;
        QTest::newRow("long string longer than the input")
            << hex("0cffffff7f6162") << 1 << read;
        QTest::newRow("utf-8 string, 4 GiB claimed") << hex("14ffffffff") << 1 << read;
        QTest::newRow("wide string, 8 GiB claimed") << hex("12ffffffff41") << 1 << read;
        QTest::newRow("real from a text tag") << hex("0600") << 2 << invalid;
        QTest::newRow("extended cut") << hex("050000") << 2 << read;
        QTest::newRow("list start expected") << hex("02") << 3 << invalid;
        QTest::newRow("list end expected") << hex("01") << 4 << invalid;
    }
    void readErrors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, what);
        QFETCH(QString, error);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        QCOMPARE(errorOf([&] {
                     switch (what) {
                     case 0: reader.readInteger(); break;
                     case 1: reader.readText(); break;
                     case 2: reader.readReal(); break;
                     case 3: reader.readListStart(); break;
                     default: reader.readListEnd(); break;
                     }
                 }),
                 error);
    }

    // Values that straddle the 16384-byte blocks, and texts longer than a block.
    void blockBoundaries()
    {
        QByteArray bytes;
        QStringList texts;
        for (int i = 0; i < 3000; ++i) {
            const QString text = QString(i % 300, QChar(u'a' + i % 26)) + QString::number(i);
            texts << text;
        }
        texts << QString(40000, u'x') << QString(16384, u'y') << QString::fromUtf8("\xc3\xa9").repeated(9000);
        bytes = written([&](auto &out) {
            for (const QString &t : std::as_const(texts)) {
                out.writeText(t);
                out.writeInteger(70000);
            }
        });
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TaggedValueReader reader(in);
        for (const QString &t : std::as_const(texts)) {
            QCOMPARE(reader.readText(), t);
            QCOMPARE(reader.readInteger(), 70000);
        }
        QCOMPARE(errorOf([&] { reader.peekByte(); }), QStringLiteral("Stream read error"));

        QBuffer again(&bytes);
        again.open(QIODevice::ReadOnly);
        TaggedValueReader skipper(again);
        for (int i = 0; i < texts.size(); ++i) {
            skipper.skipText();
            QCOMPARE(skipper.readInteger(), 70000);
        }
    }

    void outputGoesOutInFullBuffers()
    {
        RecordingDevice device;
        TaggedValueWriter out(device);
        for (int i = 0; i < 5000; ++i)
            out.writeText(QStringLiteral("someone%1@example.org").arg(i));
        out.writeText(QString(40000, u'z'));
        out.flush();
        QVERIFY(device.writes.size() >= 2);
        for (int i = 0; i + 1 < device.writes.size(); ++i)
            QCOMPARE(device.writes[i], qint64(16384));
        QVERIFY(device.writes.last() > 0 && device.writes.last() <= 16384);
    }

    void refusedBytesAreAWriteError()
    {
        RecordingDevice device(20000);
        TaggedValueWriter out(device);
        QCOMPARE(errorOf([&] {
                     for (int i = 0; i < 5000; ++i)
                         out.writeText(QStringLiteral("someone%1@example.org").arg(i));
                     out.flush();
                 }),
                 QStringLiteral("Stream write error"));
    }
};

QTEST_GUILESS_MAIN(TestTaggedValue)
#include "tst_TaggedValue.moc"
