#include "common/Error.h"
#include "mailing/CharsetEncoder.h"
#include "mailing/MailAddress.h"
#include "mailing/MimeComposer.h"
#include "mailing/MimeEncoding.h"
#include "mailing/MimeHeaders.h"
#include "mailing/OutgoingMessage.h"
#include "mailing/SmtpDataWriter.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace pelicast;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// A composed message cut into its unfolded header fields and its body.
struct Parsed
{
    QList<std::pair<QByteArray, QByteArray>> fields; // name, unfolded value
    QByteArrayList headerLines;                      // as written, folded
    QByteArray body;

    explicit Parsed(const QByteArray &message)
    {
        const qsizetype end = message.indexOf("\r\n\r\n");
        const QByteArray head = end < 0 ? message : message.left(end);
        body = end < 0 ? QByteArray() : message.mid(end + 4);
        headerLines = head.split('\n');
        for (QByteArray line : headerLines) {
            if (line.endsWith('\r'))
                line.chop(1);
            if ((line.startsWith(' ') || line.startsWith('\t')) && !fields.isEmpty())
                fields.last().second += line;
            else
                fields.append({line.left(line.indexOf(':')), line.mid(line.indexOf(':') + 1)});
        }
        for (auto &f : fields)
            f.second = f.second.trimmed();
    }
    QByteArray value(const QByteArray &name) const
    {
        for (const auto &f : fields) {
            if (f.first.compare(name, Qt::CaseInsensitive) == 0)
                return f.second;
        }
        return {};
    }
    int count(const QByteArray &name) const
    {
        int n = 0;
        for (const auto &f : fields)
            n += f.first.compare(name, Qt::CaseInsensitive) == 0;
        return n;
    }
};

QByteArray decodeQuotedPrintable(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != '=') {
            out += text.at(i);
        } else if (text.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else {
            out += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        }
    }
    return out;
}

// The raw bytes and charset of the encoded words of a header value; plain text otherwise.
std::pair<QByteArray, QByteArray> decodeWords(const QByteArray &value)
{
    static const QRegularExpression word(QStringLiteral("=\\?([^?]+)\\?B\\?([^?]*)\\?="));
    QByteArray charset;
    QByteArray raw;
    auto it = word.globalMatch(QString::fromLatin1(value));
    if (!it.hasNext())
        return {QByteArray(), value};
    while (it.hasNext()) {
        const auto m = it.next();
        charset = m.captured(1).toLatin1();
        raw += QByteArray::fromBase64(m.captured(2).toLatin1());
    }
    return {charset, raw};
}

struct Fixture
{
    OutgoingMessage message;
    Fixture()
    {
        message.FromName = "Pelicast Test";
        message.FromAddress = "sender@example.org";
        message.Recipients = {{"Ann", "ann@example.org"}};
        message.Subject = "Hello";
        message.Body = {"Hi"};
    }
    QByteArray compose(bool smtpUtf8 = false)
    {
        return MimeComposer::compose(message, smtpUtf8).message;
    }
};

} // namespace

class TestMimeMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void charsetOfTheText_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QStringList>("body");
        QTest::addColumn<QByteArray>("label");     // the charset parameter, "" for none
        QTest::addColumn<QByteArray>("encoding");  // Content-Transfer-Encoding
        QTest::addColumn<QByteArray>("bodyBytes"); // after the transfer encoding is undone
        QTest::addColumn<QByteArray>("subjectBytes");

        const QString privet = u8("Привет");
        const QByteArray privet1251 = "\xcf\xf0\xe8\xe2\xe5\xf2";
        QTest::newRow("Cyrillic in windows-1251")
            << "windows-1251" << privet << QStringList{privet, "ok"} << QByteArray("windows-1251")
            << QByteArray("quoted-printable") << privet1251 + "\r\nok" << privet1251;
        QTest::newRow("ASCII in windows-1251 is 7bit")
            << "windows-1251" << "Hi" << QStringList{"Hi", "there"}
            << QByteArray("windows-1251") << QByteArray("7bit") << QByteArray("Hi\r\nthere")
            << QByteArray("Hi");
        QTest::newRow("body that windows-1251 cannot hold: all UTF-8")
            << "windows-1251" << privet << QStringList{privet + u8(" 日本 €")}
            << QByteArray("UTF-8") << QByteArray("quoted-printable")
            << (privet + u8(" 日本 €")).toUtf8() << privet.toUtf8();
        QTest::newRow("subject that windows-1251 cannot hold: all UTF-8")
            << "windows-1251" << u8("日本") << QStringList{privet} << QByteArray("UTF-8")
            << QByteArray("quoted-printable") << privet.toUtf8() << u8("日本").toUtf8();
        QTest::newRow("no charset, ASCII: none declared")
            << "" << "Hi" << QStringList{"Hi"} << QByteArray() << QByteArray("7bit")
            << QByteArray("Hi") << QByteArray("Hi");
        QTest::newRow("no charset, not ASCII: UTF-8")
            << "" << "Hi" << QStringList{u8("Grüße")} << QByteArray("UTF-8")
            << QByteArray("quoted-printable") << u8("Grüße").toUtf8() << QByteArray("Hi");
        QTest::newRow("unknown charset declared as typed, text in UTF-8")
            << "x-made-up" << u8("Grüße") << QStringList{u8("Grüße")} << QByteArray("x-made-up")
            << QByteArray("quoted-printable") << u8("Grüße").toUtf8() << u8("Grüße").toUtf8();
        QTest::newRow("typed name keeps its letter case")
            << "Iso-8859-1" << u8("Grüße") << QStringList{u8("Grüße")}
            << QByteArray("Iso-8859-1") << QByteArray("quoted-printable")
            << QByteArray("Gr\xfc\xdf" "e") << QByteArray("Gr\xfc\xdf" "e");
        QTest::newRow("UTF-7 ends in its initial state")
            << "UTF-7" << "x" << QStringList{u8("ü")} << QByteArray("UTF-7") << QByteArray("7bit")
            << QByteArray("+APw-") << QByteArray("x");
        QTest::newRow("Shift_JIS")
            << "Shift_JIS" << u8("日本") << QStringList{u8("日本")} << QByteArray("Shift_JIS")
            << QByteArray("quoted-printable") << QByteArray("\x93\xfa\x96\x7b")
            << QByteArray("\x93\xfa\x96\x7b");
        QTest::newRow("line of 998 octets is 7bit")
            << "windows-1251" << "x" << QStringList{QString(998, u'a')}
            << QByteArray("windows-1251") << QByteArray("7bit") << QByteArray(998, 'a')
            << QByteArray("x");
        QTest::newRow("line of 999 octets is quoted-printable")
            << "windows-1251" << "x" << QStringList{QString(999, u'a')}
            << QByteArray("windows-1251") << QByteArray("quoted-printable")
            << QByteArray(999, 'a') << QByteArray("x");
        QTest::newRow("line breaks inside a line become CR LF")
            << "UTF-8" << "x" << QStringList{"a\rb\nc\r\nd"} << QByteArray("UTF-8")
            << QByteArray("7bit") << QByteArray("a\r\nb\r\nc\r\nd") << QByteArray("x");
        QTest::newRow("empty body") << "UTF-8" << "x" << QStringList{} << QByteArray("UTF-8")
                                    << QByteArray("7bit") << QByteArray() << QByteArray("x");
    }
    void charsetOfTheText()
    {
        QFETCH(QString, charset);
        QFETCH(QString, subject);
        QFETCH(QStringList, body);
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, bodyBytes);
        QFETCH(QByteArray, subjectBytes);

        Fixture f;
        f.message.setCharSet(charset);
        f.message.Subject = subject;
        f.message.Body = body;
        f.message.ContentType = "text/html";
        const Parsed mail(f.compose());

        const QByteArray type = mail.value("Content-Type");
        QCOMPARE(type, label.isEmpty() ? QByteArray("text/html") : "text/html; charset=" + label);
        QCOMPARE(mail.value("Content-Transfer-Encoding"), encoding);
        const QByteArray decoded =
            encoding == "7bit" ? mail.body : decodeQuotedPrintable(mail.body);
        QCOMPARE(decoded, bodyBytes);
        const auto [wordCharset, rawSubject] = decodeWords(mail.value("Subject"));
        QCOMPARE(rawSubject, subjectBytes);
        if (!wordCharset.isEmpty()) // encoded words name the charset of their bytes
            QCOMPARE(wordCharset, label.isEmpty() || label == "x-made-up" ? "UTF-8" : label);
    }

    void headers()
    {
        Fixture f;
        f.message.Priority = 4;
        f.message.Recipients = MailAddress::parseList(u8("\"Lee, Ann\" <ann@example.org>, bo@bücher.example"));
        const QByteArray raw = f.compose();
        const Parsed mail(raw);
        QVERIFY(QRegularExpression(QStringLiteral("^\\w{3}, \\d{2} \\w{3} \\d{4} \\d{2}:\\d{2}:\\d{2} [+-]\\d{4}$"))
                    .match(QString::fromLatin1(mail.value("Date"))).hasMatch());
        QCOMPARE(mail.value("From"), "Pelicast Test <sender@example.org>");
        QCOMPARE(mail.value("To"), "\"Lee, Ann\" <ann@example.org>, bo@xn--bcher-kva.example");
        QCOMPARE(mail.value("MIME-Version"), "1.0");
        QCOMPARE(mail.value("X-Mailer"), "Pelicast 3.0");
        QCOMPARE(mail.value("X-Priority"), "5");
        QVERIFY(mail.value("Message-ID").startsWith('<'));
        QVERIFY(mail.value("Message-ID").endsWith("@example.org>"));
        QVERIFY(Parsed(f.compose()).value("Message-ID") != mail.value("Message-ID"));
        for (const char *once : {"Date", "From", "To", "Subject", "Message-ID", "X-Priority"})
            QCOMPARE(mail.count(once), 1);
        QVERIFY(raw.endsWith("\r\n\r\nHi"));
    }

    // The Date field from fixed moments: zero padding, both signs of the offset, minutes of
    // an offset, the turn of a year.
    void dateField_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("UTC") << QDateTime(QDate(2025, 3, 4), QTime(9, 5, 0), QTimeZone::utc())
                             << QByteArray("Tue, 04 Mar 2025 09:05:00 +0000");
        QTest::newRow("east, with minutes")
            << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59), QTimeZone(5 * 3600 + 45 * 60))
            << QByteArray("Tue, 31 Dec 2024 23:59:59 +0545");
        QTest::newRow("west") << QDateTime(QDate(2026, 1, 1), QTime(0, 0, 7), QTimeZone(-3 * 3600 - 30 * 60))
                              << QByteArray("Thu, 01 Jan 2026 00:00:07 -0330");
    }
    void dateField()
    {
        QFETCH(QDateTime, when);
        QFETCH(QByteArray, expected);
        QCOMPARE(MimeHeaders::date(when), expected);
    }

    // The composer's clock: the local time at the local offset (here three and a half hours
    // west of UTC), also on its second call, which reuses the offset within the second.
    void currentTimeIsLocal()
    {
        const QByteArray oldTz = qgetenv("TZ");
        const bool hadTz = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "PCT+03:30");
        QTest::qSleep(1100); // past the offset that earlier tests left in the cache
        for (int i = 0; i < 2; ++i) {
            const QDateTime local = QDateTime::currentDateTime();
            const QDateTime now = MimeComposer::currentTime();
            QVERIFY(qAbs(local.msecsTo(now)) < 1000);
            QCOMPARE(now.offsetFromUtc(), -(3 * 3600 + 30 * 60));
        }
        if (hadTz)
            qputenv("TZ", oldTz);
        else
            qunsetenv("TZ");
    }

    // Whether a body can go out as 7bit, with the odd byte at every position of an
    // eight-byte word and the line limit just met or just passed.
    void sevenBit_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("tab and form feed") << QByteArray("a\tb\x0c c\r\nnext line") << true;
        for (int at = 0; at < 9; ++at) {
            const QByteArray plain(17, 'x');
            QTest::addRow("8-bit byte at %d", at) << QByteArray(plain).insert(at, '\xe9') << false;
            QTest::addRow("NUL at %d", at) << QByteArray(plain).insert(at, '\0') << false;
            QTest::addRow("lone LF at %d", at) << QByteArray(plain).insert(at, '\n') << false;
            QTest::addRow("bare CR at %d", at) << QByteArray(plain).insert(at, "\rx") << false;
            QTest::addRow("CR LF at %d", at) << QByteArray(plain).insert(at, "\r\n") << true;
        }
        QTest::newRow("CR at the end") << QByteArray("abcdefghij\r") << false;
        const QByteArray limit(998, 'a'), over(999, 'a');
        QTest::newRow("998 then CR LF") << limit + "\r\n" + limit << true;
        QTest::newRow("999 before CR LF") << "b\r\n" + over + "\r\nb" << false;
        QTest::newRow("999 at the end") << "b\r\n" + over << false;
    }
    void sevenBit()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, expected);
        QCOMPARE(MimeEncoding::isSevenBit(text), expected);
    }

    // UTF-8 in any spelling of its name: well-formed text in its one UTF-8 form, a lone
    // surrogate refused as by every other charset that cannot hold a character.
    void utf8Encoder_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("encodes");
        const QString mixed = u8("Grüße, 日本 \xF0\x9F\x98\x80!");
        QTest::newRow("UTF-8") << "UTF-8" << mixed << mixed.toUtf8() << true;
        QTest::newRow("utf8") << "utf8" << mixed << mixed.toUtf8() << true;
        QTest::newRow("lone high surrogate") << "UTF-8" << QString(u'a') + QChar(0xD800) + u'b' << QByteArray() << false;
        QTest::newRow("lone low surrogate at the end")
            << "UTF-8" << QStringLiteral("ab") + QChar(0xDC00) << QByteArray() << false;
    }
    void utf8Encoder()
    {
        QFETCH(QString, charset);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QFETCH(bool, encodes);
        const CharsetEncoder encoder(charset);
        QVERIFY(encoder.isKnown());
        const std::optional<QByteArray> bytes = encoder.encode(text);
        QCOMPARE(bytes.has_value(), encodes);
        if (encodes)
            QCOMPARE(*bytes, expected);
    }

    void noRecipientNoToHeader()
    {
        Fixture f;
        f.message.Recipients = MailAddress::parseList("");
        const SmtpEnvelope env = MimeComposer::compose(f.message, false);
        QVERIFY(env.recipients.isEmpty());
        QCOMPARE(Parsed(env.message).count("To"), 0);
    }

    // Nothing typed by a user may start a header line of its own.
    void noHeaderInjection()
    {
        QTemporaryDir dir;
        const QString evilFile = dir.filePath("x\r\nBcc: file@evil.example.txt");
        QFile file(evilFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("data");
        file.close();

        Fixture f;
        f.message.Subject = "Hi\r\nBcc: subject@evil.example";
        f.message.FromName = "Eve\nBcc: name@evil.example";
        f.message.Recipients = MailAddress::parseList("\"A\r\nBcc: to@evil.example\" <a@example.org>");
        f.message.Attachments = {evilFile};
        const QByteArray raw = f.compose();
        QVERIFY(!raw.contains("\nBcc"));
        for (const QByteArray &line : raw.split('\n')) {
            QVERIFY2(!line.startsWith("Bcc"), line.constData());
            QVERIFY2(line.isEmpty() || line.endsWith('\r'), "bare LF");
        }

        f.message.Attachments.clear();
        f.message.Recipients = {{"", "a@example.org>\r\nRCPT TO:<evil@example.org"}};
        QVERIFY_THROWS_EXCEPTION(Error, f.compose());
        f.message.Recipients = {{"", "a@example.org"}};
        f.message.FromAddress = "me@example.org\nX: y";
        QVERIFY_THROWS_EXCEPTION(Error, f.compose());
    }

    void folding_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::newRow("long ASCII") << QString("word ").repeated(40).trimmed();
        QTest::newRow("long non-ASCII") << u8("Привет, мир! ").repeated(12).trimmed();
        QTest::newRow("one very long ASCII word") << QString(300, u'x');
        QTest::newRow("looks like an encoded word") << "=?UTF-8?B?SGk=?= is not one";
        QTest::newRow("blanks kept") << "a  b   c";
        QTest::newRow("mixed astral") << u8("ok 😀 ").repeated(20);
    }
    void folding()
    {
        QFETCH(QString, subject);
        Fixture f;
        f.message.setCharSet("UTF-8");
        f.message.Subject = subject;
        const Parsed mail(f.compose());
        for (const QByteArray &line : mail.headerLines)
            QVERIFY2(line.size() <= 78 + 1, line.constData()); // + the CR
        const QByteArray value = mail.value("Subject");
        const auto [charset, raw] = decodeWords(value);
        if (charset.isEmpty()) {
            // Unfolding a plain field gives the text back.
            QCOMPARE(QString::fromLatin1(value), subject);
        } else {
            QCOMPARE(QString::fromUtf8(raw), subject);
            for (const QByteArray &word : value.split(' '))
                QVERIFY(word.size() <= 75);
        }
    }

    void attachments()
    {
        QTemporaryDir dir;
        QByteArray binary;
        for (int i = 0; i < 3000; ++i)
            binary += char(i * 7 % 256);
        const QString plain = dir.filePath("report.bin");
        const QString accented = dir.filePath(u8("Grüße – ein sehr langer Dateiname für die Zeile.pdf"));
        for (const QString &path : {plain, accented}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(binary);
        }
        Fixture f;
        f.message.Body = {"--=_Pelicast_ looks like a boundary", "."};
        f.message.Attachments = {plain, accented};
        const QByteArray raw = f.compose();
        const Parsed mail(raw);
        const QByteArray type = mail.value("Content-Type");
        QVERIFY(type.startsWith("multipart/mixed; boundary=\""));
        const QByteArray boundary = type.mid(type.indexOf('"') + 1).chopped(1);
        QVERIFY(!boundary.isEmpty());

        QByteArrayList parts;
        const QByteArray delimiter = "\r\n--" + boundary;
        for (qsizetype from = 0;;) {
            const qsizetype at = mail.body.indexOf(delimiter, from);
            parts << mail.body.mid(from, at < 0 ? -1 : at - from);
            if (at < 0)
                break;
            from = at + delimiter.size();
        }
        QCOMPARE(parts.size(), 5); // preamble, text, two files, and the closing "--"
        QVERIFY(parts.last().startsWith("--\r\n"));
        QVERIFY(Parsed(parts[1].mid(2)).body.startsWith("--=_Pelicast_ looks like"));

        const Parsed first(parts[2].mid(2));
        QCOMPARE(first.value("Content-Type"), "application/octet-stream; name=\"report.bin\"");
        QCOMPARE(first.value("Content-Transfer-Encoding"), "base64");
        QCOMPARE(first.value("Content-Disposition"), "attachment; filename=\"report.bin\"");
        for (const QByteArray &line : first.body.split('\n'))
            QVERIFY(line.size() <= 77);
        QCOMPARE(QByteArray::fromBase64(first.body), binary);

        const Parsed second(parts[3].mid(2));
        QVERIFY(second.value("Content-Type").contains("name*0*=UTF-8''Gr%C3%BC%C3%9Fe") ||
                second.value("Content-Type").contains("name=\"Gr__e"));
        QByteArray joined; // the RFC 2231 segments, in order
        const QByteArray disposition = second.value("Content-Disposition");
        QRegularExpression segment(QStringLiteral("filename\\*(\\d+)\\*=([^;]*)"));
        for (auto it = segment.globalMatch(QString::fromLatin1(disposition)); it.hasNext();)
            joined += it.next().captured(2).toLatin1();
        QVERIFY(joined.startsWith("UTF-8''"));
        QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(joined.mid(7))),
                 QFileInfo(accented).fileName());
        QCOMPARE(QByteArray::fromBase64(second.body), binary);
    }

    void unreadableAttachmentFails()
    {
        Fixture f;
        f.message.Attachments = {QDir::temp().filePath("pelicast-no-such-file.bin")};
        QVERIFY_THROWS_EXCEPTION(Error, f.compose());
    }

    void smtpUtf8ForNonAsciiLocalPart()
    {
        Fixture f;
        f.message.Recipients = {{"", u8("jörg@bücher.example")}};
        QVERIFY_THROWS_EXCEPTION(Error, f.compose(false));
        const SmtpEnvelope env = MimeComposer::compose(f.message, true);
        QVERIFY(env.smtpUtf8);
        QCOMPARE(env.recipients, QList<QByteArray>{u8("jörg@xn--bcher-kva.example").toUtf8()});
    }

    void addressList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("name and address") << "Zud Iva <zud@iva.example>" << QStringList{"Zud Iva"}
                                          << QStringList{"zud@iva.example"};
        QTest::newRow("bare") << " zud@iva.example " << QStringList{""}
                              << QStringList{"zud@iva.example"};
        QTest::newRow("two, comma-separated")
            << "A <a@x.example>, b@y.example" << QStringList{"A", ""}
            << QStringList{"a@x.example", "b@y.example"};
        QTest::newRow("quoted name with a comma")
            << "\"Iva, Zud\" <zud@iva.example>" << QStringList{"Iva, Zud"}
            << QStringList{"zud@iva.example"};
        QTest::newRow("escaped quote in a name")
            << "\"Zud \\\"Z\\\" Iva\" <z@i.example>" << QStringList{"Zud \"Z\" Iva"}
            << QStringList{"z@i.example"};
        QTest::newRow("comment skipped") << "z@i.example (Zud, Iva)" << QStringList{""}
                                         << QStringList{"z@i.example"};
        QTest::newRow("source route dropped") << "<@relay.example:z@i.example>"
                                              << QStringList{""} << QStringList{"z@i.example"};
        QTest::newRow("empty entries give none") << " , ,, " << QStringList{} << QStringList{};
        QTest::newRow("empty text gives none") << "" << QStringList{} << QStringList{};
    }
    void addressList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QFETCH(QStringList, addresses);
        QStringList gotNames, gotAddresses;
        for (const Mailbox &box : MailAddress::parseList(text)) {
            gotNames << box.name;
            gotAddresses << box.address;
        }
        QCOMPARE(gotNames, names);
        QCOMPARE(gotAddresses, addresses);
    }

    void wireAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("wire"); // empty: refused
        QTest::addColumn<bool>("smtpUtf8");
        QTest::newRow("ASCII as it is") << "Zud@Iva.Example" << QByteArray("Zud@Iva.Example") << false;
        QTest::newRow("IDN domain in ACE") << u8("z@bücher.example")
                                           << QByteArray("z@xn--bcher-kva.example") << false;
        QTest::newRow("non-ASCII local part") << u8("jörg@x.example")
                                              << u8("jörg@x.example").toUtf8() << true;
        QTest::newRow("quoted local part with blank") << "\"a b\"@x.example"
                                                      << QByteArray("\"a b\"@x.example") << false;
        QTest::newRow("domain literal") << "a@[192.0.2.1]" << QByteArray("a@[192.0.2.1]") << false;
        QTest::newRow("CR LF refused") << "a@x\r\nDATA" << QByteArray() << false;
        QTest::newRow("blank refused") << "a@x.example b@y.example" << QByteArray() << false;
        QTest::newRow("angle refused") << "a@x.example>" << QByteArray() << false;
        QTest::newRow("empty domain refused") << "a@" << QByteArray() << false;
    }
    void wireAddress()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, wire);
        QFETCH(bool, smtpUtf8);
        if (wire.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(Error, MailAddress::toWire(address));
            return;
        }
        const WireAddress got = MailAddress::toWire(address);
        QCOMPARE(got.bytes, wire);
        QCOMPARE(got.needsSmtpUtf8, smtpUtf8);
    }

    void quotedPrintable_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("equals sign") << QByteArray("a=b") << QByteArray("a=3Db");
        QTest::newRow("blank before a line end")
            << QByteArray("a \r\nb\t") << QByteArray("a=20\r\nb=09");
        QTest::newRow("8-bit") << QByteArray("\xfc") << QByteArray("=FC");
        QTest::newRow("lone CR and LF escaped") << QByteArray("a\rb\nc") << QByteArray("a=0Db=0Ac");
        QTest::newRow("soft breaks at 76")
            << QByteArray(80, 'a') << QByteArray(75, 'a') + "=\r\n" + QByteArray(5, 'a');
    }
    void quotedPrintable()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, encoded);
        const QByteArray got = MimeEncoding::quotedPrintable(text);
        QCOMPARE(got, encoded);
        QCOMPARE(decodeQuotedPrintable(got), text);
    }

    void quotedPrintableLongRoundTrip()
    {
        QByteArray text;
        for (int i = 0; i < 5000; ++i)
            text += char(i % 256);
        const QByteArray got = MimeEncoding::quotedPrintable(text);
        for (const QByteArray &line : got.split('\n'))
            QVERIFY(line.size() <= 77);
        QCOMPARE(decodeQuotedPrintable(got), text);
    }

    void dotStuffing_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray() << QByteArray(".\r\n");
        QTest::newRow("leading dot doubled") << QByteArray(".a\r\nb") << QByteArray("..a\r\nb\r\n.\r\n");
        QTest::newRow("lone dot line") << QByteArray("a\r\n.\r\nb\r\n")
                                       << QByteArray("a\r\n..\r\nb\r\n.\r\n");
        QTest::newRow("dots at the start and in the middle")
            << QByteArray(".a\r\n..b\r\nc\r\n") << QByteArray("..a\r\n...b\r\nc\r\n.\r\n");
        QTest::newRow("bare LF ends a line too")
            << QByteArray("a\n.b\r\n") << QByteArray("a\r\n..b\r\n.\r\n");
        QTest::newRow("dot inside a line untouched") << QByteArray("a.b\r\n")
                                                     << QByteArray("a.b\r\n.\r\n");
    }
    void dotStuffing()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, data);
        QCOMPARE(SmtpDataWriter::dataBlock(message), data);
    }
};

QTEST_GUILESS_MAIN(TestMimeMessage)
#include "tst_MimeMessage.moc"
