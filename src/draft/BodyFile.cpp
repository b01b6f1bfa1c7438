#include "draft/BodyFile.h"

#include "common/Error.h"
#include "common/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pelicast {

namespace {

QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

[[noreturn]] void fail(const char *format, const QString &path, const QString &reason)
{
    throw Error(QString::fromLatin1(format).arg(fullPath(path), reason));
}

} // namespace

QStringList readBodyFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("Cannot open file \"%1\". %2", path, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail("Cannot open file \"%1\". %2", path, file.errorString());
    return decodeTextLines(bytes);
}

void writeBodyFile(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail("Cannot create file \"%1\". %2", path, file.errorString());
    file.write(encodeTextLines(lines));
    if (!file.commit())
        fail("Cannot create file \"%1\". %2", path, file.errorString());
}

} // namespace pelicast
