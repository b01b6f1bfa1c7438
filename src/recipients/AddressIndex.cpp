#include "recipients/AddressIndex.h"

#include <cstdlib>
#include <new>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace pelicast {

namespace {

constexpr size_t HugePage = size_t(2) << 20;

// Zeroed slots. A large table is one randomly probed block of memory, the worst case for the
// page-translation caches: on Linux it gets its own mapping with transparent huge pages.
quintptr *allocateSlots(size_t count)
{
    const size_t bytes = count * sizeof(quintptr);
#ifdef Q_OS_LINUX
    if (bytes >= HugePage) {
        void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                            -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
        madvise(memory, bytes, MADV_HUGEPAGE); // a hint; without it the table just works
        return static_cast<quintptr *>(memory);
    }
#endif
    void *memory = std::calloc(count, sizeof(quintptr));
    if (!memory)
        throw std::bad_alloc();
    return static_cast<quintptr *>(memory);
}

void freeSlots(quintptr *table, size_t count)
{
    if (!table)
        return;
#ifdef Q_OS_LINUX
    if (count * sizeof(quintptr) >= HugePage) {
        munmap(table, count * sizeof(quintptr));
        return;
    }
#else
    Q_UNUSED(count);
#endif
    std::free(table);
}

} // namespace

AddressIndex::~AddressIndex()
{
    freeSlots(m_slots, m_capacity);
}

RecipientRecord *AddressIndex::find(QByteArrayView text, quint32 hash) const
{
    if (!m_slots)
        return nullptr;
    const size_t mask = m_capacity - 1;
    const quintptr tag = tagOf(hash);
    for (size_t i = slotOf(hash);; i = (i + 1) & mask) {
        const quintptr slot = m_slots[i];
        if (!slot)
            return nullptr;
        if ((slot & ~PointerMask) != tag)
            continue;
        RecipientRecord *record = recordIn(slot);
        if (record->hash == hash && record->text() == text)
            return record;
    }
}

void AddressIndex::insert(RecipientRecord *record)
{
    if (size_t(m_count + 1) * 4 > m_capacity * 3)
        grow(m_capacity == 0 ? 16 : m_capacity * 2);
    const size_t mask = m_capacity - 1;
    size_t i = slotOf(record->hash);
    while (m_slots[i])
        i = (i + 1) & mask;
    m_slots[i] = slotValue(record);
    ++m_count;
}

void AddressIndex::remove(const RecipientRecord *record)
{
    const size_t mask = m_capacity - 1;
    const quintptr value = slotValue(record);
    size_t i = slotOf(record->hash);
    while (m_slots[i] != value)
        i = (i + 1) & mask;
    // Backward shift: pull later members of the probe run into the hole.
    size_t hole = i;
    for (size_t j = (hole + 1) & mask; m_slots[j]; j = (j + 1) & mask) {
        const size_t home = slotOf(recordIn(m_slots[j])->hash);
        const bool movable = hole <= j ? (home <= hole || home > j) : (home <= hole && home > j);
        if (movable) {
            m_slots[hole] = m_slots[j];
            hole = j;
        }
    }
    m_slots[hole] = 0;
    --m_count;
}

void AddressIndex::clear()
{
    freeSlots(m_slots, m_capacity);
    m_slots = nullptr;
    m_capacity = 0;
    m_count = 0;
}

void AddressIndex::reserve(qsizetype count)
{
    size_t capacity = 16;
    while (size_t(count) * 4 > capacity * 3)
        capacity *= 2;
    if (capacity > m_capacity)
        grow(capacity);
}

quintptr AddressIndex::slotValue(const RecipientRecord *record)
{
    const auto address = reinterpret_cast<quintptr>(record);
    if (address & ~PointerMask) // never on the platforms we build for; refuse to corrupt
        qFatal("AddressIndex: a record's address does not fit in 48 bits");
    return address | tagOf(record->hash);
}

void AddressIndex::grow(size_t capacity)
{
    quintptr *old = m_slots;
    const size_t oldCapacity = m_capacity;
    m_slots = allocateSlots(capacity);
    m_capacity = capacity;
    const size_t mask = capacity - 1;
    for (size_t k = 0; k < oldCapacity; ++k) {
        const quintptr slot = old[k];
        if (!slot)
            continue;
        size_t i = slotOf(recordIn(slot)->hash);
        while (m_slots[i])
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
    freeSlots(old, oldCapacity);
}

} // namespace pelicast
