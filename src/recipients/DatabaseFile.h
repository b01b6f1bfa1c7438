#pragma once

#include <QString>

namespace pelicast {

class RecipientList;

// Writes the whole list to a database file, replacing the file. The file is written under
// a temporary name and put in place at the end, so a failure leaves an existing file whole.
// Errors: "Cannot create file "<path>". <reason>", "Stream write error".
void SaveDatabaseFile(RecipientList &list, const QString &path);

// Reads a database file into the list, replacing its records (see DatabaseReader for the
// list's state after a failure). Errors: "Cannot open file "<path>". <reason>", "Stream
// read error", "Invalid stream format", "Invalid property value", "Unknown field type
// (<name>)", "Field 'Address' not found", "Duplicate index value. Operation aborted.".
void LoadDatabaseFile(RecipientList &list, const QString &path);

} // namespace pelicast
