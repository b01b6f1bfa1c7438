#include "recipients/DatabaseWriter.h"

#include "recipients/FieldDefinition.h"
#include "recipients/IndexDefinition.h"
#include "recipients/RecipientList.h"
#include "recipients/TaggedValueWriter.h"

namespace pelicast {

void DatabaseWriter::write(const RecipientList &list, QIODevice &device)
{
    TaggedValueWriter out(device);
    out.writeRaw("TPF0");
    out.writeInteger(FormatVersion);

    out.writeListStart();
    writeFieldDefinition(out, FieldDefinition::address());
    out.writeListEnd();

    out.writeListStart();
    writeIndexDefinition(out, IndexDefinition::addressIndex(list.indexName()));
    out.writeListEnd();

    // A list holds no removed records, and an address is never null.
    out.writeListStart();
    const int count = list.count();
    for (int row = 0; row < count; ++row) {
        out.writeListStart();
        out.writeInteger(list.changeStatusAt(row));
        out.writeBoolean(false);
        out.writeTextUtf8(list.addressUtf8At(row));
        out.writeListEnd();
    }
    out.writeListEnd();
    out.flush();
}

void DatabaseWriter::writeFieldDefinition(TaggedValueWriter &out, const FieldDefinition &field)
{
    out.writeText(field.name);
    out.writeText(field.typeName);
    out.writeInteger(field.size);
    out.writeText(field.displayName.isEmpty() ? field.name : field.displayName);
    out.writeText(field.editMask);
    out.writeInteger(field.displayWidth);
    out.writeBoolean(field.required);
    out.writeBoolean(field.readOnly);
    out.writeText(field.kind);
    out.writeText(field.defaultExpression);
}

void DatabaseWriter::writeIndexDefinition(TaggedValueWriter &out, const IndexDefinition &index)
{
    out.writeText(index.name);
    out.writeText(index.fields);
    out.writeText(index.displayName);
    out.writeBoolean(index.descending);
    out.writeBoolean(index.caseInsensitive);
    out.writeBoolean(index.nonMaintained);
    out.writeBoolean(index.unique);
}

} // namespace pelicast
