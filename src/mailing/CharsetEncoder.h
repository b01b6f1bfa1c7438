#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct UConverter;

namespace pelicast {

// Converts text into one named charset with ICU. Qt's own encoder loses the closing bytes of
// stateful charsets (UTF-7), and ICU knows every name of the charset table.
class CharsetEncoder
{
public:
    explicit CharsetEncoder(const QString &charset);
    ~CharsetEncoder();
    CharsetEncoder(const CharsetEncoder &) = delete;
    CharsetEncoder &operator=(const CharsetEncoder &) = delete;

    QString charset() const { return m_charset; }
    // ICU knows the name.
    bool isKnown() const { return m_converter != nullptr; }
    // The text in the charset, complete (a stateful charset ends in its initial state), or
    // nothing when the charset cannot represent one of its characters or is unknown.
    std::optional<QByteArray> encode(QStringView text) const;

private:
    QString m_charset;
    UConverter *m_converter = nullptr;
    bool m_utf8 = false; // Qt's own UTF-8 encoder gives the same bytes, many times faster
};

} // namespace pelicast
