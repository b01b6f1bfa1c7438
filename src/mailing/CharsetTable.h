#pragma once

#include <QString>
#include <QStringList>

namespace pelicast {

// The charset list of the message page, by index.
constexpr int DefaultCharsetIndex = 11; // "Cyrillic ( windows-1251 )"

// The charset name that labels the message; "windows-1251" for an index outside 0 to 19
// (such as -1 when nothing is chosen).
QString CharsetName(int index);

// The twenty texts of the charset list, in index order.
const QStringList &charsetComboTexts();

} // namespace pelicast
