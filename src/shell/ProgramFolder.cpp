#include "shell/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pelicast {

QString ProgramFolder::path()
{
    return choose(QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString ProgramFolder::choose(const QString &programDir, const QString &fallbackDir)
{
    if (!programDir.isEmpty() && canCreateFilesIn(programDir))
        return QDir(programDir).absolutePath();
    if (!fallbackDir.isEmpty() && QDir().mkpath(fallbackDir) && canCreateFilesIn(fallbackDir))
        return QDir(fallbackDir).absolutePath();
    // Nowhere to write: keep reading the program's own files; a close reports the failure.
    return QDir(programDir).absolutePath();
}

bool ProgramFolder::canCreateFilesIn(const QString &dir)
{
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".pelicast-probe-XXXXXX")));
    return probe.open();
}

} // namespace pelicast
