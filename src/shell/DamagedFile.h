#pragma once

#include <QString>

namespace pelicast {

// A state file that could not be read at start-up is moved out of the way before anything
// can overwrite it: the next close writes a fresh file under the old name, and the damaged
// one must stay for the user to look at or repair.
class DamagedFile
{
public:
    // Moves path to "<path>.damaged", or "<path>.damaged.1", ".2", ... when that name is
    // taken (an older damaged copy is never replaced). When the file cannot be renamed it
    // is copied there instead. Returns the new path, or an empty text when neither worked.
    static QString setAside(const QString &path);

    // The text of the error box: the load error, then where the file went (or that it could
    // not be kept aside).
    static QString errorText(const QString &loadError, const QString &path,
                             const QString &keptAs);
};

} // namespace pelicast
