#include "recipients/FieldDefinition.h"

#include "recipients/RecipientList.h"

#include <QStringList>

namespace pelicast {

namespace {

const QString stringType = QStringLiteral("String");
const QString addressName = QStringLiteral("Address");

} // namespace

ValueForm FieldDefinition::valueForm() const
{
    static const QStringList integers{"SmallInt", "Integer", "Word", "AutoInc"};
    static const QStringList reals{"Float", "LargeInt", "Date", "Time", "DateTime",
                                   "Currency", "BCD"};
    if (integers.contains(typeName))
        return ValueForm::Integer;
    if (typeName == QLatin1String("Boolean"))
        return ValueForm::Boolean;
    if (reals.contains(typeName))
        return ValueForm::Real;
    return ValueForm::Text;
}

bool FieldDefinition::isAddress() const
{
    return name == addressName && typeName == stringType;
}

FieldDefinition FieldDefinition::address()
{
    FieldDefinition field;
    field.name = addressName;
    field.typeName = stringType;
    field.size = RecipientList::MaxAddressLength;
    field.displayName = addressName;
    field.displayWidth = RecipientList::MaxAddressLength;
    return field;
}

bool FieldDefinition::isKnownType(const QString &typeName)
{
    static const QStringList known{
        "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
        "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo",
        "Graphic", "FmtMemo", "ParadoxOle", "dBaseOle", "TypedBinary", "FixedChar",
        "LargeInt", "ADT", "Array", "HugeBlob", "HugeClob", "SQLTimeStamp", "FMTBcdField"};
    return known.contains(typeName);
}

QString FieldDefinition::normalizedKind(const QString &kind)
{
    static const QStringList kinds{"Data", "Calculated", "Lookup", "InternalCalc",
                                   "Aggregate"};
    return kinds.contains(kind) ? kind : QStringLiteral("Data");
}

} // namespace pelicast
