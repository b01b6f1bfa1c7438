#pragma once

#include <QString>

namespace pelicast {

// The folder of the settings and state files: the folder of the running program file, never
// the working directory. When the program may not write there (installed for all users),
// the user's own data folder takes its place, so that an installed program can still save
// its state and close.
class ProgramFolder
{
public:
    // The folder for this run (created when it is the user's data folder).
    static QString path();

    // programDir when files can be created in it, otherwise fallbackDir (created if needed);
    // programDir again when neither can be written.
    static QString choose(const QString &programDir, const QString &fallbackDir);

    // Whether a new file can be created in dir (tried for real, so read-only mounts and
    // access rules all count, for root too).
    static bool canCreateFilesIn(const QString &dir);
};

} // namespace pelicast
