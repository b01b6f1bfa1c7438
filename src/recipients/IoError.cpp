#include "recipients/IoError.h"

#include <cerrno>

namespace pelicast {

QString ioErrorText(int systemError, FileAction action)
{
    switch (systemError) {
    case ENOENT:
        return action == FileAction::Create ? QStringLiteral("Invalid filename")
                                            : QStringLiteral("File not found");
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
    case EILSEQ:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // a folder where a file was meant is refused like any locked file
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // the write stored fewer bytes than it was given
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(systemError);
    }
}

Error ioError(int systemError, FileAction action)
{
    return Error(ioErrorText(systemError, action));
}

} // namespace pelicast
