#include "recipients/RecipientRecord.h"

#include <QHashFunctions>

#include <cstring>
#include <new>

namespace pelicast {

RecipientRecord *RecipientRecord::create(QByteArrayView prefix, QByteArrayView text, quint32 hash,
                                         quint8 status)
{
    void *memory = ::operator new(sizeof(RecipientRecord) + size_t(prefix.size() + text.size()));
    auto *record = new (memory) RecipientRecord{0, hash, quint16(prefix.size()),
                                                quint16(text.size()), status};
    char *bytes = reinterpret_cast<char *>(record + 1);
    if (!prefix.isEmpty())
        std::memcpy(bytes, prefix.data(), size_t(prefix.size()));
    if (!text.isEmpty())
        std::memcpy(bytes + prefix.size(), text.data(), size_t(text.size()));
    return record;
}

void RecipientRecord::destroy(RecipientRecord *record)
{
    record->~RecipientRecord();
    ::operator delete(record);
}

quint32 hashAddressText(QByteArrayView utf8)
{
    const size_t h = qHash(utf8, 0);
    return quint32(h ^ (h >> 32));
}

} // namespace pelicast
