#include "mailing/MimeComposer.h"

#include "common/Error.h"
#include "mailing/CharsetEncoder.h"
#include "mailing/MimeEncoding.h"
#include "mailing/MimeHeaders.h"
#include "mailing/OutgoingMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace pelicast {

namespace {

std::optional<QByteArray> toUtf8(QStringView text)
{
    return text.toUtf8();
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isToken(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || u >= 0x7f || QStringView(u"()<>@,;:\\\"/[]?=").contains(c))
            return false;
    }
    return true;
}

// The body's lines joined with CR LF; a line break inside a line becomes CR LF too, so that
// no bare CR or LF ever reaches the wire.
QString joinedBody(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += QLatin1String("\r\n");
        const QString &line = lines.at(i);
        if (!line.contains(u'\r') && !line.contains(u'\n')) {
            text += line;
            continue;
        }
        QString normal = line;
        normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        text += normal.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    }
    return text;
}

// The text of one recipient's copy, in the charset it goes out in.
struct EncodedText
{
    QByteArray label;        // the charset parameter; empty for none
    QByteArray wordCharset;  // the charset of the subject's encoded words
    MimeHeaders::Encoder wordEncoder;
    QByteArray body;
};

EncodedText encodeText(const OutgoingMessage &message, const QString &subject,
                       const QString &body)
{
    const CharsetEncoder &encoder = message.encoder();
    const QString declared = message.CharSet();
    EncodedText out{QByteArray(), "UTF-8", toUtf8, QByteArray()};
    if (declared.isEmpty()) {
        // Nothing declared means US-ASCII to the reader.
        if (isAscii(subject) && isAscii(body)) {
            out.body = body.toLatin1();
            return out;
        }
    } else if (!encoder.isKnown()) {
        out.label = declared.toUtf8();
    } else {
        std::optional<QByteArray> bytes = encoder.encode(body);
        if (bytes && encoder.encode(MimeHeaders::singleLine(subject))) {
            out.label = declared.toUtf8();
            out.body = std::move(*bytes);
            if (isToken(declared)) {
                out.wordCharset = out.label;
                out.wordEncoder = [&encoder](QStringView t) { return encoder.encode(t); };
            }
            return out;
        }
    }
    if (out.label.isEmpty())
        out.label = "UTF-8";
    out.body = body.toUtf8();
    return out;
}

QByteArray newBoundary()
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray boundary = "=_Pelicast_";
    for (int i = 0; i < 24; ++i)
        boundary += alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))];
    return boundary;
}

QByteArray messageId(const QByteArray &senderWire, const QDateTime &now)
{
    QByteArray domain = senderWire.mid(senderWire.lastIndexOf('@') + 1);
    if (!senderWire.contains('@') || domain.isEmpty() || domain.contains('"'))
        domain = "localhost";
    const quint64 random = QRandomGenerator::system()->generate64();
    return '<' + QByteArray::number(now.toMSecsSinceEpoch(), 36) + '.'
           + QByteArray::number(random, 36) + "@" + domain + '>';
}

QByteArray textPartHeaders(const OutgoingMessage &message, const EncodedText &text,
                           bool sevenBit)
{
    QList<QByteArray> type{message.ContentType.toLatin1()};
    if (!text.label.isEmpty()) {
        type.last() += ';';
        type << "charset=" + MimeHeaders::parameterValue(text.label);
    }
    return MimeHeaders::field("Content-Type", type)
           + MimeHeaders::field("Content-Transfer-Encoding",
                                {sevenBit ? "7bit" : "quoted-printable"});
}

QByteArray attachmentPart(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read attachment: ") + path);
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("cannot read attachment: ") + path);

    const QString name = QFileInfo(path).fileName();
    QList<QByteArray> type{"application/octet-stream;"};
    type << MimeHeaders::fileNameParameter("name", MimeHeaders::asciiFallback(name));
    QList<QByteArray> disposition{"attachment;"};
    disposition << MimeHeaders::fileNameParameter("filename", name);

    QByteArray part = MimeHeaders::field("Content-Type", type);
    part.reserve(data.size() * 4 / 3 + data.size() / 38 + 512);
    part.append(MimeHeaders::field("Content-Transfer-Encoding", {"base64"}))
        .append(MimeHeaders::field("Content-Disposition", disposition))
        .append("\r\n")
        .append(MimeEncoding::base64Lines(data));
    return part;
}

} // namespace

QDateTime MimeComposer::currentTime()
{
    thread_local bool known = false;
    thread_local qint64 offsetCheckedAt = 0;
    thread_local int offset = 0;
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    const qint64 ms = utc.toMSecsSinceEpoch();
    if (!known || ms < offsetCheckedAt || ms - offsetCheckedAt >= 1000) {
        known = true;
        offset = utc.toLocalTime().offsetFromUtc();
        offsetCheckedAt = ms;
    }
    return utc.toOffsetFromUtc(offset);
}

SmtpEnvelope MimeComposer::compose(const OutgoingMessage &message, bool serverSmtpUtf8,
                                   const QDateTime &now)
{
    SmtpEnvelope envelope;
    const WireAddress sender = MailAddress::toWire(message.FromAddress);
    envelope.sender = sender.bytes;
    envelope.smtpUtf8 = sender.needsSmtpUtf8;
    QList<QByteArray> to;
    for (const Mailbox &box : message.Recipients) {
        const WireAddress wire = MailAddress::toWire(box.address);
        envelope.recipients << wire.bytes;
        envelope.smtpUtf8 = envelope.smtpUtf8 || wire.needsSmtpUtf8;
        if (!to.isEmpty())
            to.last() += ',';
        to << MimeHeaders::mailbox(box.name, wire.bytes);
    }
    if (envelope.smtpUtf8 && !serverSmtpUtf8)
        throw Error(QStringLiteral("a mailbox is not ASCII and the server lacks SMTPUTF8"));

    const EncodedText text = encodeText(message, message.Subject, joinedBody(message.Body));
    const bool sevenBit = MimeEncoding::isSevenBit(text.body);
    const QByteArray content = sevenBit ? text.body : MimeEncoding::quotedPrintable(text.body);

    QByteArray &out = envelope.message;
    out.reserve(content.size() + 2048);
    out += MimeHeaders::field("Date", {MimeHeaders::date(now)});
    out += MimeHeaders::field("From", MimeHeaders::mailbox(message.FromName, sender.bytes));
    if (!to.isEmpty())
        out += MimeHeaders::field("To", to);
    out += MimeHeaders::field("Subject", MimeHeaders::unstructured(message.Subject,
                                                                  text.wordCharset,
                                                                  text.wordEncoder));
    out += MimeHeaders::field("Message-ID", {messageId(sender.bytes, now)});
    out += "MIME-Version: 1.0\r\n";
    out += MimeHeaders::field("X-Mailer", {MailAgent});
    out += "X-Priority: " + QByteArray::number(qBound(1, message.Priority + 1, 5)) + "\r\n";

    if (message.Attachments.isEmpty()) {
        out += textPartHeaders(message, text, sevenBit) + "\r\n" + content;
        return envelope;
    }

    QList<QByteArray> parts;
    for (const QString &path : message.Attachments)
        parts << attachmentPart(path);

    // Quoted-printable and base64 can never hold "=_", so only 7bit text can hold the
    // boundary by chance.
    QByteArray boundary = newBoundary();
    while (sevenBit && content.contains(boundary))
        boundary = newBoundary();

    qsizetype total = out.size() + content.size() + 1024;
    for (const QByteArray &part : parts)
        total += part.size() + 64;
    out.reserve(total);
    out += MimeHeaders::field("Content-Type", {"multipart/mixed;", "boundary=\"" + boundary + '"'});
    out += "\r\nThis is a multi-part message in MIME format.\r\n";
    const auto delimiter = [&] { out.append("\r\n--").append(boundary).append("\r\n"); };
    delimiter();
    out.append(textPartHeaders(message, text, sevenBit)).append("\r\n").append(content);
    for (const QByteArray &part : parts) {
        delimiter();
        out.append(part);
    }
    out.append("\r\n--").append(boundary).append("--\r\n");
    return envelope;
}

} // namespace pelicast
