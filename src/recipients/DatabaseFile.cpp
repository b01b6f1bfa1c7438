#include "recipients/DatabaseFile.h"

#include "common/Error.h"
#include "recipients/DatabaseReader.h"
#include "recipients/DatabaseWriter.h"
#include "recipients/ListErrors.h"
#include "recipients/RecipientList.h"
#include "recipients/TaggedValueFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pelicast {

namespace {

QString fullPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

void SaveDatabaseFile(RecipientList &list, const QString &path)
{
    if (!list.IsOpen())
        throw Error(closedDatasetText());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw Error(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(fullPath(path), file.errorString()));
    }
    try {
        DatabaseWriter::write(list, file);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw Error(streamWriteErrorText());
}

void LoadDatabaseFile(RecipientList &list, const QString &path)
{
    if (!list.IsOpen())
        throw Error(closedDatasetText());
    // Opened for reading only. A writer of this program replaces the file by renaming a
    // finished one over it, so a read never sees a file half-written.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        throw Error(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(fullPath(path), file.errorString()));
    }
    DatabaseReader(file, list).read();
}

} // namespace pelicast
