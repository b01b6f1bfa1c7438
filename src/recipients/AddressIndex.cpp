#include "recipients/AddressIndex.h"

namespace pelicast {

RecipientRecord *AddressIndex::find(QByteArrayView text, quint32 hash) const
{
    if (m_slots.empty())
        return nullptr;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = slotOf(hash);; i = (i + 1) & mask) {
        RecipientRecord *record = m_slots[i];
        if (!record)
            return nullptr;
        if (record->hash == hash && record->text() == text)
            return record;
    }
}

void AddressIndex::insert(RecipientRecord *record)
{
    if (size_t(m_count + 1) * 4 > m_slots.size() * 3)
        grow(m_slots.empty() ? 16 : m_slots.size() * 2);
    const size_t mask = m_slots.size() - 1;
    size_t i = slotOf(record->hash);
    while (m_slots[i])
        i = (i + 1) & mask;
    m_slots[i] = record;
    ++m_count;
}

void AddressIndex::remove(const RecipientRecord *record)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = slotOf(record->hash);
    while (m_slots[i] != record)
        i = (i + 1) & mask;
    // Backward shift: pull later members of the probe run into the hole.
    size_t hole = i;
    for (size_t j = (hole + 1) & mask; m_slots[j]; j = (j + 1) & mask) {
        const size_t home = slotOf(m_slots[j]->hash);
        const bool movable = hole <= j ? (home <= hole || home > j) : (home <= hole && home > j);
        if (movable) {
            m_slots[hole] = m_slots[j];
            hole = j;
        }
    }
    m_slots[hole] = nullptr;
    --m_count;
}

void AddressIndex::clear()
{
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_count = 0;
}

void AddressIndex::reserve(qsizetype count)
{
    size_t capacity = 16;
    while (size_t(count) * 4 > capacity * 3)
        capacity *= 2;
    if (capacity > m_slots.size())
        grow(capacity);
}

void AddressIndex::grow(size_t capacity)
{
    std::vector<RecipientRecord *> old;
    old.swap(m_slots);
    m_slots.assign(capacity, nullptr);
    const size_t mask = capacity - 1;
    for (RecipientRecord *record : old) {
        if (!record)
            continue;
        size_t i = slotOf(record->hash);
        while (m_slots[i])
            i = (i + 1) & mask;
        m_slots[i] = record;
    }
}

} // namespace pelicast
