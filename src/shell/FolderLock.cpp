#include "shell/FolderLock.h"

#include <QDir>
#include <QLockFile>

namespace pelicast {

FolderLock::FolderLock(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral("Pelicast.lock"))),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // Only a lock whose program is gone is stale: a program that has been running for a
    // long time keeps its folder.
    m_lock->setStaleLockTime(0);
}

FolderLock::~FolderLock() = default;

FolderLock::Result FolderLock::tryLock()
{
    if (m_lock->isLocked() || m_lock->tryLock(0))
        return Result::Locked;
    return m_lock->error() == QLockFile::LockFailedError ? Result::HeldByOther
                                                         : Result::Unavailable;
}

QString FolderLock::heldByOtherText(const QString &folder)
{
    return QStringLiteral("Pelicast is already running with its files in \"%1\". "
                          "Close the other Pelicast window first.")
        .arg(QDir::toNativeSeparators(folder));
}

} // namespace pelicast
