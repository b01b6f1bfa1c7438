#pragma once

#include <QString>

namespace pelicast {

// How a field's values are stored in a database file, decided by its type name.
enum class ValueForm { Integer, Boolean, Real, Text };

// One field definition of a database file, with its ten items.
struct FieldDefinition
{
    QString name;
    QString typeName;
    qint32 size = 0;
    QString displayName;
    QString editMask;
    qint32 displayWidth = 0;
    bool required = false;
    bool readOnly = false;
    QString kind = QStringLiteral("Data");
    QString defaultExpression;

    ValueForm valueForm() const;
    bool isAddress() const; // the "String" field "Address" that a recipient list holds

    // The one field of a recipient list, as the program writes it.
    static FieldDefinition address();
    // Type names are compared exactly; the reader refuses any other.
    static bool isKnownType(const QString &typeName);
    // "Data", "Calculated", "Lookup", "InternalCalc" or "Aggregate"; anything else is "Data".
    static QString normalizedKind(const QString &kind);
};

} // namespace pelicast
