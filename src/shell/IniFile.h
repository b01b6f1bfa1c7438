#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace pelicast {

// A profile (ini) file held in memory: a "[Section]" line opens a section, a "Key=Value"
// line holds one value, a line starting with ";" is a comment. Section and key names match
// without regard to letter case, and the first matching section and key count, as with the
// system's profile functions.
//
// Writing changes only the lines of the keys written: every other line (foreign sections and
// keys, comments, blank lines, bytes that are not UTF-8) is written back as it was read. The
// file is written with CR LF after every line.
class IniFile
{
public:
    // Reads a file. An absent file gives an empty profile and true; false when the file
    // exists but cannot be read (the profile is then empty).
    bool load(const QString &path);
    void setBytes(const QByteArray &bytes);
    QByteArray bytes() const;

    // A value's text: the part after the "=" without surrounding blanks, without one pair
    // of matching enclosing quotes (' or "), cut to 2047 characters. The default when the
    // section, the key or its "=" is missing.
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // Decimal with an optional sign, or hexadecimal after "0x"/"0X" (only when the text is
    // longer than 2 characters). Empty text or text that is no number gives the default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // An integer, any value but 0 meaning true.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    // Replaces the key's line in place, or adds the key at the end of its section, or adds
    // the section at the end of the file.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);

    // Replaces the file as a whole (QSaveFile), readable and writable by its owner only.
    // Throws Error "Unable to write to <full path>"; a failure leaves an old file whole.
    void save(const QString &path) const;

    static constexpr int MaxValueLength = 2047;

private:
    struct KeyLine
    {
        QString key;
        QString value;
    };
    static std::optional<QString> sectionName(const QByteArray &line);
    static std::optional<KeyLine> keyLine(const QByteArray &line);
    qsizetype findSection(const QString &section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString &key) const;
    std::optional<QString> rawValue(const QString &section, const QString &key) const;

    QList<QByteArray> m_lines; // without their line breaks
};

} // namespace pelicast
