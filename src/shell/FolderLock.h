#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace pelicast {

// Keeps a second Pelicast away from the folder of this one's state files: two programs on
// one folder would overwrite each other's lists at close. The lock is a file in the folder
// ("Pelicast.lock") held for the program's lifetime; the lock of a program that ended
// without releasing it (a crash) is taken over.
class FolderLock
{
public:
    enum class Result { Locked, HeldByOther, Unavailable };

    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Locked: this program holds the folder. HeldByOther: another running program does.
    // Unavailable: no lock file can be made there (the program goes on without one; writing
    // the state at close will report the folder's problem).
    Result tryLock();

    QString lockFilePath() const { return m_path; }

    // The text of the error box shown before a second program ends.
    static QString heldByOtherText(const QString &folder);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace pelicast
