#pragma once

#include <QString>

namespace pelicast {

// One index definition of a database file, with its seven items.
struct IndexDefinition
{
    QString name;
    QString fields;
    QString displayName;
    bool descending = false;
    bool caseInsensitive = false;
    bool nonMaintained = false;
    bool unique = false;

    // The unique Address index of a recipient list, under the list's index name.
    static IndexDefinition addressIndex(const QString &name)
    {
        return {name, QStringLiteral("Address"), name, false, false, false, true};
    }
};

} // namespace pelicast
