#pragma once

#include "recipients/RecipientRecord.h"

#include <vector>

namespace pelicast {

// The unique index of a list: finds a record by its exact address text in O(1).
// Open addressing with linear probing and backward-shift deletion (no tombstones), one
// pointer per slot, at most three quarters full.
class AddressIndex
{
public:
    RecipientRecord *find(QByteArrayView text, quint32 hash) const;
    // Inserts a record whose text the index does not hold yet.
    void insert(RecipientRecord *record);
    void remove(const RecipientRecord *record);
    void clear();
    void reserve(qsizetype count);
    qsizetype size() const { return m_count; }

private:
    void grow(size_t capacity);
    size_t slotOf(quint32 hash) const { return hash & (m_slots.size() - 1); }

    std::vector<RecipientRecord *> m_slots;
    qsizetype m_count = 0;
};

} // namespace pelicast
