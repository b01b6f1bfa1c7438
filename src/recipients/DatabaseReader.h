#pragma once

#include "recipients/FieldDefinition.h"
#include "recipients/TaggedValueReader.h"

#include <string>
#include <vector>

class QIODevice;

namespace pelicast {

class RecipientList;

// Reads a database file into a recipient list (which must be open), for any format
// version, and leaves the list by the position of a failure:
//  - header or the field definitions' list start: the list is unchanged;
//  - inside the field definitions: the list is empty;
//  - index definitions: the list is empty (and has taken the index name if the first index
//    definition was read whole);
//  - records: the list holds every record read whole before the failure.
// The list is open and usable afterwards in every case. Loaded records keep the file's
// order; equal addresses keep the first of each and then fail with the duplicate error.
//
// A list holds the one "String" field "Address". A file whose field definitions have no
// such field is still read to its end, so that its own errors are reported, and then
// refused with "Field 'Address' not found", the list unchanged. Values of other fields are
// read by their type and dropped. A file with an empty field-definition list is read with
// the list's own field and adds its records after the list's.
class DatabaseReader
{
public:
    DatabaseReader(QIODevice &device, RecipientList &list);
    void read();

private:
    void readHeader();
    bool readFieldDefinitions(); // false when the file defines no field
    FieldDefinition readFieldDefinition();
    void readIndexDefinitions();
    void readRecords();
    void readFieldValues(bool current);
    void readAddress(int limit);
    void skipValue(ValueForm form);
    void finishAfterFailure();

    TaggedValueReader m_in;
    RecipientList &m_list;
    qint64 m_fileSize;
    qint32 m_version = 0;
    std::vector<FieldDefinition> m_fields;
    int m_addressField = -1;
    bool m_loading = false; // the list has been handed over to the load
    std::string m_address;  // the address of the record being read, valid UTF-8
    quint8 m_status = 0;
};

} // namespace pelicast
