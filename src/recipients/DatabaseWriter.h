#pragma once

class QIODevice;

namespace pelicast {

class RecipientList;
class TaggedValueWriter;
struct FieldDefinition;
struct IndexDefinition;

// Writes a recipient list as a database file (format version 251): its Address field
// definition, its unique index under the list's index name, and its records in
// presentation order, each with its ChangeStatus. Throws "Stream write error".
class DatabaseWriter
{
public:
    static constexpr int FormatVersion = 251;

    static void write(const RecipientList &list, QIODevice &device);

    static void writeFieldDefinition(TaggedValueWriter &out, const FieldDefinition &field);
    static void writeIndexDefinition(TaggedValueWriter &out, const IndexDefinition &index);
};

} // namespace pelicast
