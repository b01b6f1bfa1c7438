#pragma once

#include <QString>

namespace pelicast {

// Texts of the errors a list raises.
inline QString duplicateIndexValueText() { return QStringLiteral("Duplicate index value. Operation aborted."); }
inline QString closedDatasetText() { return QStringLiteral("Cannot perform this operation on a closed dataset"); }

} // namespace pelicast
