#pragma once

#include <QString>
#include <QStringList>

namespace pelicast {

// The body's text file form, shared by the message files of the "Message" tab and by
// "body.dat": UTF-8 (a line that is not valid UTF-8 is read as Latin-1), lines joined by
// CR LF with no break after the last one, so an empty body is an empty file. On reading,
// CR LF and a lone LF both end a line.

// Throws Error "Cannot open file "<full path>". <reason>" when the file cannot be read.
QStringList readBodyFile(const QString &path);

// Replaces the file as a whole (QSaveFile): a failure leaves an old file as it was.
// Throws Error "Cannot create file "<full path>". <reason>".
void writeBodyFile(const QString &path, const QStringList &lines);

} // namespace pelicast
