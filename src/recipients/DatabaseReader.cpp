#include "recipients/DatabaseReader.h"

#include "common/Error.h"
#include "recipients/IndexDefinition.h"
#include "recipients/ListErrors.h"
#include "recipients/RecipientList.h"

#include <QIODevice>

#include <algorithm>

namespace pelicast {

namespace {

QString fieldNotFoundText(const QString &name)
{
    return QStringLiteral("Field '%1' not found").arg(name);
}

QByteArrayView upToZero(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.first(zero);
}

bool isSevenBit(QByteArrayView bytes)
{
    quint8 any = 0;
    for (char c : bytes)
        any |= quint8(c);
    return any < 0x80;
}

// The first `limit` code points of valid UTF-8.
QByteArrayView firstCharacters(QByteArrayView utf8, int limit)
{
    if (utf8.size() <= limit)
        return utf8;
    int chars = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if ((quint8(utf8[i]) & 0xC0) != 0x80 && chars++ == limit)
            return utf8.first(i);
    }
    return utf8;
}

quint8 changeStatusOf(qint32 value)
{
    // ChangeStatus has four values; anything else is taken as an unchanged record.
    return value >= RecipientList::Unchanged && value <= RecipientList::Removed ? quint8(value)
                                                                              : quint8(0);
}

} // namespace

DatabaseReader::DatabaseReader(QIODevice &device, RecipientList &list)
    : m_in(device), m_list(list), m_fileSize(device.isSequential() ? 0 : device.size())
{
}

void DatabaseReader::read()
{
    if (!m_list.IsOpen())
        throw Error(closedDatasetText());
    readHeader();
    const bool fileHasFields = readFieldDefinitions();
    const bool foreign = fileHasFields && m_addressField < 0;
    if (!foreign) {
        // Room for the records, each reckoned at the memory of a record with a full-length
        // address; the index is sized exactly once all are read.
        const qint64 n = m_fileSize / qint64(sizeof(RecipientRecord) + RecipientList::MaxAddressLength);
        m_list.beginLoad(!fileHasFields, qsizetype(n + n / 50));
        m_loading = true;
    }
    try {
        if (m_version >= 200)
            readIndexDefinitions();
        readRecords();
    } catch (...) {
        finishAfterFailure();
        throw;
    }
    if (foreign)
        throw Error(fieldNotFoundText(QStringLiteral("Address")));
    m_loading = false;
    m_list.finishLoad();
}

void DatabaseReader::readHeader()
{
    if (m_in.readBytes(4) != QByteArrayView("TPF0"))
        throw Error(invalidStreamFormatText());
    // Files of the first format version start their field definitions right away.
    m_version = m_in.peekByte() == quint8(ValueTag::ListStart) ? 100 : m_in.readInteger();
}

bool DatabaseReader::readFieldDefinitions()
{
    m_in.readListStart();
    if (m_in.atListEnd()) {
        m_in.readListEnd();
        m_fields = {FieldDefinition::address()};
        m_addressField = 0;
        return false;
    }
    try {
        while (!m_in.atListEnd())
            m_fields.push_back(readFieldDefinition());
        m_in.readListEnd();
    } catch (...) {
        // The list's own definitions were given up with the first field definition.
        m_list.beginLoad(false);
        m_loading = true;
        finishAfterFailure();
        throw;
    }
    const auto address = std::find_if(m_fields.begin(), m_fields.end(),
                                      [](const FieldDefinition &f) { return f.isAddress(); });
    m_addressField = address == m_fields.end() ? -1 : int(address - m_fields.begin());
    return true;
}

FieldDefinition DatabaseReader::readFieldDefinition()
{
    FieldDefinition field;
    field.name = m_in.readText();
    field.typeName = m_in.readText();
    field.size = m_in.readInteger();
    field.displayName = m_in.readText();
    field.editMask = m_in.readText();
    field.displayWidth = m_in.readInteger();
    field.required = m_in.readBoolean();
    field.readOnly = m_in.readBoolean();
    if (m_version >= 250)
        field.kind = FieldDefinition::normalizedKind(m_in.readText());
    if (m_version >= 251)
        field.defaultExpression = m_in.readText();
    if (!FieldDefinition::isKnownType(field.typeName))
        throw Error(QStringLiteral("Unknown field type (%1)").arg(field.typeName));
    return field;
}

void DatabaseReader::readIndexDefinitions()
{
    m_in.readListStart();
    bool first = true;
    while (!m_in.atListEnd()) {
        IndexDefinition index;
        index.name = m_in.readText();
        index.fields = m_in.readText();
        index.displayName = m_in.readText();
        index.descending = m_in.readBoolean();
        index.caseInsensitive = m_in.readBoolean();
        index.nonMaintained = m_in.readBoolean();
        index.unique = m_in.readBoolean();
        // The list keeps its one unique Address index whatever the options read; it takes
        // over the name of the file's (first) index.
        if (first && m_loading)
            m_list.setIndexName(index.name);
        first = false;
    }
    m_in.readListEnd();
}

void DatabaseReader::readRecords()
{
    if (m_fields.empty())
        throw Error(QStringLiteral("Couldnt determine field count for load."));
    m_in.readListStart();
    while (!m_in.atListEnd()) {
        if (m_version >= 230) {
            m_in.readListStart();
            m_status = changeStatusOf(m_in.readInteger());
            readFieldValues(true);
            // Earlier versions of the same record.
            while (!m_in.atListEnd()) {
                m_in.readInteger();
                readFieldValues(false);
            }
            m_in.readListEnd();
        } else {
            m_status = RecipientList::Unchanged;
            readFieldValues(true);
        }
        if (m_loading)
            m_list.addLoadedRecordUtf8(QByteArrayView(m_address.data(), qsizetype(m_address.size())),
                                       m_status);
    }
    m_in.readListEnd();
}

void DatabaseReader::readFieldValues(bool current)
{
    for (int i = 0; i < int(m_fields.size()); ++i) {
        const bool keep = current && i == m_addressField;
        const bool null = m_version >= 249 && m_in.readBoolean();
        if (null) {
            if (keep)
                m_address.clear();
            continue;
        }
        if (keep) {
            const qint32 size = m_fields[size_t(i)].size;
            readAddress(std::clamp<qint32>(size, 0, RecipientList::MaxAddressLength));
        } else {
            skipValue(m_fields[size_t(i)].valueForm());
        }
    }
}

void DatabaseReader::readAddress(int limit)
{
    // A string value ends at its first zero and is cut to the field's size in characters;
    // the list holds it as valid UTF-8.
    const TaggedValueReader::RawText raw = m_in.readRawText();
    QByteArray converted;
    QByteArrayView utf8;
    if (raw.form == TaggedValueReader::TextForm::Utf16) {
        QString text = TaggedValueReader::decodeText(raw);
        const qsizetype zero = text.indexOf(QChar(0));
        if (zero >= 0)
            text.truncate(zero);
        converted = text.toUtf8();
        utf8 = converted;
    } else {
        const QByteArrayView bytes = upToZero(raw.bytes);
        if (isSevenBit(bytes) || bytes.isValidUtf8()) {
            utf8 = bytes;
        } else {
            converted = TaggedValueReader::decodeText({raw.form, bytes}).toUtf8();
            utf8 = converted;
        }
    }
    const QByteArrayView kept = firstCharacters(utf8, limit);
    m_address.assign(kept.data(), size_t(kept.size()));
}

void DatabaseReader::skipValue(ValueForm form)
{
    switch (form) {
    case ValueForm::Integer:
        m_in.readInteger();
        return;
    case ValueForm::Boolean:
        m_in.readBoolean();
        return;
    case ValueForm::Real:
        m_in.readReal();
        return;
    case ValueForm::Text:
        m_in.skipText();
        return;
    }
}

void DatabaseReader::finishAfterFailure()
{
    if (!m_loading)
        return;
    m_loading = false;
    try {
        m_list.finishLoad();
    } catch (const Error &) {
        // Equal addresses have been dropped; the failure that ended the read is the one
        // to report.
    }
}

} // namespace pelicast
