#pragma once

#include "common/Error.h"

namespace pelicast {

// What was being done to a file when the system refused: for a file being created, a
// missing name means a missing folder on the way to it.
enum class FileAction { Read, Create };

// The text an I/O error of the address text files shows, from the system's error number:
// "File not found", "Invalid filename", "Too many open files", "File access denied",
// "Disk full", or "I/O error <number>" for every other cause.
QString ioErrorText(int systemError, FileAction action = FileAction::Read);
Error ioError(int systemError, FileAction action = FileAction::Read);

} // namespace pelicast
