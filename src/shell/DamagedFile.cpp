#include "shell/DamagedFile.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pelicast {

namespace {

QString freeName(const QString &path)
{
    const QString base = path + QStringLiteral(".damaged");
    QString name = base;
    for (int n = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + u'.' + QString::number(n);
    return name;
}

} // namespace

QString DamagedFile::setAside(const QString &path)
{
    // QFile::rename and QFile::copy refuse to replace an existing target, so a name taken
    // between the look-up and the move is tried again under the next number.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString target = freeName(path);
        if (QFile::rename(path, target))
            return target;
        if (QFileInfo::exists(target))
            continue;
        if (QFile::copy(path, target))
            return target;
        if (!QFileInfo::exists(target))
            return {};
    }
    return {};
}

QString DamagedFile::errorText(const QString &loadError, const QString &path,
                               const QString &keptAs)
{
    const QString first = standardErrorText(loadError);
    if (keptAs.isEmpty())
        return QStringLiteral("%1\n\n\"%2\" could not be read and could not be kept aside. "
                              "Pelicast tries again before it writes that file at close.")
            .arg(first, QDir::toNativeSeparators(path));
    return QStringLiteral("%1\n\n\"%2\" could not be read. It has been kept as \"%3\".")
        .arg(first, QDir::toNativeSeparators(path), QDir::toNativeSeparators(keptAs));
}

} // namespace pelicast
