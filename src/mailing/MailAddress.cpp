#include "mailing/MailAddress.h"

#include "common/Error.h"

#include <QUrl>

namespace pelicast {

namespace {

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QString collapseBlanks(const QString &text)
{
    return text.simplified();
}

// Reads a quoted string starting at text[i] == '"'; returns its content without the
// escapes and leaves i after the closing quote (or at the end when there is none).
QString readQuoted(const QString &text, qsizetype &i, QString *raw)
{
    QString content;
    const qsizetype start = i++;
    while (i < text.size() && text.at(i) != u'"') {
        if (text.at(i) == u'\\' && i + 1 < text.size())
            ++i;
        content += text.at(i++);
    }
    if (i < text.size())
        ++i;
    if (raw)
        *raw += QStringView(text).sliced(start, i - start);
    return content;
}

void skipComment(const QString &text, qsizetype &i)
{
    int depth = 0;
    while (i < text.size()) {
        const QChar c = text.at(i++);
        if (c == u'\\')
            ++i;
        else if (c == u'(')
            ++depth;
        else if (c == u')' && --depth == 0)
            return;
    }
}

// "<@relay1,@relay2:user@host>" names the mailbox user@host.
QString withoutSourceRoute(const QString &address)
{
    if (!address.startsWith(u'@'))
        return address;
    const qsizetype colon = address.indexOf(u':');
    return colon < 0 ? address : address.mid(colon + 1).trimmed();
}

} // namespace

QList<Mailbox> MailAddress::parseList(const QString &text)
{
    QList<Mailbox> list;
    QString phrase;   // the words before "<", quotes removed
    QString raw;      // the entry as written (for a bare address), comments removed
    QString angle;
    bool hasAngle = false;

    auto endEntry = [&] {
        Mailbox box;
        if (hasAngle) {
            box.name = collapseBlanks(phrase);
            box.address = withoutSourceRoute(angle.trimmed());
        } else {
            box.address = raw.trimmed();
        }
        if (!box.address.isEmpty())
            list << box;
        phrase.clear();
        raw.clear();
        angle.clear();
        hasAngle = false;
    };

    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'"') {
            const QString content = readQuoted(text, i, hasAngle ? nullptr : &raw);
            if (!hasAngle)
                phrase += content;
        } else if (c == u'(') {
            skipComment(text, i);
            phrase += u' ';
            raw += u' ';
        } else if (c == u'<' && !hasAngle) {
            hasAngle = true;
            ++i;
            while (i < text.size() && text.at(i) != u'>') {
                if (text.at(i) == u'"')
                    readQuoted(text, i, &angle);
                else
                    angle += text.at(i++);
            }
            ++i;
        } else if (c == u',') {
            endEntry();
            ++i;
        } else {
            if (!hasAngle) {
                phrase += c;
                raw += c;
            }
            ++i;
        }
    }
    endEntry();
    return list;
}

WireAddress MailAddress::toWire(const QString &address)
{
    WireAddress wire;
    if (address.isEmpty())
        return wire;

    bool quoted = false;
    for (qsizetype i = 0; i < address.size(); ++i) {
        const char16_t c = address.at(i).unicode();
        if (c < 0x20 || c == 0x7f)
            throw Error(QStringLiteral("control character in address"));
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'\\' && quoted)
            ++i;
        else if (!quoted && (c == u' ' || c == u'<' || c == u'>'))
            throw Error(QStringLiteral("malformed address: ") + address);
    }

    const qsizetype at = address.lastIndexOf(u'@');
    const QString local = at < 0 ? address : address.left(at);
    QString domain = at < 0 ? QString() : address.mid(at + 1);
    if (at >= 0 && (local.isEmpty() || domain.isEmpty()))
        throw Error(QStringLiteral("malformed address: ") + address);

    QByteArray domainBytes;
    if (!domain.startsWith(u'[') && !isAscii(domain)) {
        domainBytes = QUrl::toAce(domain);
        if (domainBytes.isEmpty())
            throw Error(QStringLiteral("domain without an ACE form: ") + domain);
    } else {
        domainBytes = domain.toUtf8();
        if (!isAscii(domain))
            throw Error(QStringLiteral("malformed domain literal: ") + domain);
    }

    wire.needsSmtpUtf8 = !isAscii(local);
    wire.bytes = local.toUtf8();
    if (at >= 0)
        wire.bytes += '@' + domainBytes;
    return wire;
}

} // namespace pelicast
