#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace pelicast {

// The text rules shared by the program's text files (message files, "body.dat",
// "Pelicast.ini"): files are UTF-8, and a line that is not valid UTF-8 is taken byte for
// byte as Latin-1, so that no byte of an old 8-bit file is lost.

// One line's bytes, without its line break.
QString decodeTextLine(QByteArrayView bytes);

// Splits a file's bytes into lines without their breaks. CR LF and a lone LF end a line; a
// lone CR stays in its line. A break after the last line does not start another (empty)
// line, so "a\r\n" and "a" both give one line, and an empty file gives none.
QList<QByteArray> splitRawLines(const QByteArray &bytes);

// splitRawLines() with each line decoded by decodeTextLine(). A UTF-8 byte order mark at
// the very start of the file is dropped.
QStringList decodeTextLines(const QByteArray &bytes);

// The lines in UTF-8, joined by CR LF, with no break after the last one.
QByteArray encodeTextLines(const QStringList &lines);

} // namespace pelicast
