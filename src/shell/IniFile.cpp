#include "shell/IniFile.h"

#include "common/Error.h"
#include "common/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pelicast {

namespace {

QString lineText(const QByteArray &line)
{
    QString text = decodeTextLine(line).trimmed();
    if (text.startsWith(QChar(0xFEFF))) // a byte order mark left by an editor
        text = text.mid(1).trimmed();
    return text;
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool isBlank(const QByteArray &line)
{
    return line.trimmed().isEmpty();
}

QString stripQuotes(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Cut to a number of code points, never between the halves of a surrogate pair.
QString cutToCharacters(const QString &text, int count)
{
    qsizetype units = 0;
    for (int n = 0; n < count && units < text.size(); ++n) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                          text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

bool allOf(QStringView text, bool (*accept)(char16_t))
{
    for (QChar c : text) {
        if (!accept(c.unicode()))
            return false;
    }
    return !text.isEmpty();
}

bool isDecimalDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c)
{
    return isDecimalDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

std::optional<int> parseInteger(const QString &text)
{
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        const QStringView digits = QStringView(text).mid(2);
        if (!allOf(digits, isHexDigit))
            return std::nullopt;
        bool ok = false;
        const qulonglong value = digits.toULongLong(&ok, 16);
        // Eight hex digits fill the 32 bits, the top one being the sign: 0xFFFFFFFF is -1.
        if (!ok || value > 0xFFFFFFFFull)
            return std::nullopt;
        return int(quint32(value));
    }
    QStringView digits = text;
    if (digits.startsWith(u'+') || digits.startsWith(u'-'))
        digits = digits.mid(1);
    if (!allOf(digits, isDecimalDigit))
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QByteArray keyValueLine(const QString &key, QString value)
{
    // A line break would end the line early and turn the rest of the value into lines
    // of their own.
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    return (key + u'=' + value).toUtf8();
}

} // namespace

bool IniFile::load(const QString &path)
{
    m_lines.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    setBytes(bytes);
    return true;
}

void IniFile::setBytes(const QByteArray &bytes)
{
    m_lines = splitRawLines(bytes);
}

QByteArray IniFile::bytes() const
{
    QByteArray out;
    for (const QByteArray &line : m_lines)
        out += line + "\r\n";
    return out;
}

std::optional<QString> IniFile::sectionName(const QByteArray &line)
{
    const QString text = lineText(line);
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

std::optional<IniFile::KeyLine> IniFile::keyLine(const QByteArray &line)
{
    const QString text = lineText(line);
    if (text.startsWith(u';') || text.startsWith(u'['))
        return std::nullopt;
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    KeyLine result{text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
    if (result.key.isEmpty())
        return std::nullopt;
    return result;
}

qsizetype IniFile::findSection(const QString &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QString> name = sectionName(m_lines.at(i));
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines.at(i)))
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype header, const QString &key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const std::optional<KeyLine> line = keyLine(m_lines.at(i));
        if (line && sameName(line->key, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::rawValue(const QString &section, const QString &key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(header, key);
    if (at < 0)
        return std::nullopt;
    return keyLine(m_lines.at(at))->value;
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const std::optional<QString> value = rawValue(section, key);
    if (!value || value->isEmpty())
        return defaultValue;
    return cutToCharacters(stripQuotes(*value), MaxValueLength);
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    return parseInteger(readString(section, key, QString())).value_or(defaultValue);
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QByteArray line = keyValueLine(key, value);
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !isBlank(m_lines.last()))
            m_lines << QByteArray();
        m_lines << (u'[' + section + u']').toUtf8() << line;
        return;
    }
    const qsizetype at = findKey(header, key);
    if (at >= 0) {
        m_lines[at] = line;
        return;
    }
    // After the section's last line that is not blank, so that blank lines keep separating
    // it from the next section.
    qsizetype insertAt = sectionEnd(header);
    while (insertAt > header + 1 && isBlank(m_lines.at(insertAt - 1)))
        --insertAt;
    m_lines.insert(insertAt, line);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::save(const QString &path) const
{
    const auto fail = [&path] {
        throw Error(
            QStringLiteral("Unable to write to %1").arg(QFileInfo(path).absoluteFilePath()));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail();
    // The file holds the server password: nobody else may read it, not even for the moment
    // between writing and renaming.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        fail();
    file.write(bytes());
    if (!file.commit())
        fail();
}

} // namespace pelicast
