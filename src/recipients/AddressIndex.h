#pragma once

#include "recipients/RecipientRecord.h"


namespace pelicast {

// The unique index of a list: finds a record by its exact address text in O(1).
// Open addressing with linear probing and backward-shift deletion (no tombstones), at most
// three quarters full.
//
// A slot holds the record's pointer with a 16-bit tag of its hash in the pointer's unused
// top bits (user-space addresses of the 64-bit platforms we run on fit in 48 bits). A probe
// that meets another address almost always sees a different tag and moves on without
// touching that record's memory, which is what a lookup in a large list pays for.
class AddressIndex
{
public:
    AddressIndex() = default;
    ~AddressIndex();
    AddressIndex(const AddressIndex &) = delete;
    AddressIndex &operator=(const AddressIndex &) = delete;

    RecipientRecord *find(QByteArrayView text, quint32 hash) const;
    // Inserts a record whose text the index does not hold yet.
    void insert(RecipientRecord *record);
    void remove(const RecipientRecord *record);
    void clear();
    void reserve(qsizetype count);
    qsizetype size() const { return m_count; }

private:
    static constexpr int TagShift = 48;
    static constexpr quintptr PointerMask = (quintptr(1) << TagShift) - 1;
    static_assert(sizeof(quintptr) == 8, "the slot layout needs 64-bit pointers");

    static quintptr tagOf(quint32 hash)
    {
        // Mixed so that the tag does not repeat the bits that chose the slot; never zero,
        // so that no tagged slot looks empty.
        return quintptr(((hash * 0x9E3779B1u) >> 16) | 1u) << TagShift;
    }
    static quintptr slotValue(const RecipientRecord *record);
    static RecipientRecord *recordIn(quintptr slot)
    {
        return reinterpret_cast<RecipientRecord *>(slot & PointerMask);
    }
    void grow(size_t capacity);
    size_t slotOf(quint32 hash) const { return hash & (m_capacity - 1); }

    quintptr *m_slots = nullptr; // m_capacity slots, a power of two; 0: empty
    size_t m_capacity = 0;
    qsizetype m_count = 0;
};

} // namespace pelicast
