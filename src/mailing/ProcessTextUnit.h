#pragma once

#include <QString>
#include <QStringList>

namespace pelicast {

// The "%NAME%" macro: every recipient's copy of the subject and the body carries the
// display name taken from the recipient's stored address text.

// The text before the first "<", exactly as stored (blanks and quotes kept); empty when
// the address holds no "<".
QString ExtractName(const QString &address);

// Every occurrence of pattern replaced, left to right, without overlap; the inserted
// replacement is never searched again and an empty pattern is never found. Without
// caseSensitive only the ASCII letters A to Z match their lower-case forms.
QString ReplaceAll(const QString &source, const QString &pattern, const QString &replacement,
                   bool caseSensitive);

// "%NAME%" (upper case only) replaced by the address's name in every line, in place.
QStringList &ExpandNameInLines(const QString &address, QStringList &lines);
QString ExpandNameInText(const QString &address, const QString &text);

} // namespace pelicast
