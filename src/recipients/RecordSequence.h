#pragma once

#include "recipients/RecipientRecord.h"

#include <vector>

namespace pelicast {

// The records of a list in presentation order, with every operation the list needs in
// O(log n) or better: row access, insertion and removal at any row (the send run removes
// the first row a million times), the row of a record (after an index lookup), and binary
// search when the rows are sorted.
//
// Records sit in blocks of at most MaxBlock pointers. A block keeps its id for its whole
// life and every record knows the id of its block, so the row of a record is the rows
// before its block (a Fenwick tree over the block sizes, in block order) plus a short scan
// of the block. Reordering blocks touches only small arrays of ids, never the records.
class RecordSequence
{
public:
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    RecipientRecord *at(qsizetype row) const;
    void insert(qsizetype row, RecipientRecord *record);
    void append(RecipientRecord *record) { insert(m_size, record); }
    RecipientRecord *takeAt(qsizetype row);
    // The row of a record the sequence holds.
    qsizetype rowOf(const RecipientRecord *record) const;
    // Removes every record; returns them in presentation order (the caller owns them).
    std::vector<RecipientRecord *> takeAll();

    // First row whose record is not less than the probe, for rows sorted by `less`.
    template<typename Less>
    qsizetype lowerBound(const RecipientRecord &probe, Less less) const;

private:
    // Small enough that the scan in rowOf() and the shift on insert and removal stay
    // within a few cache lines' worth of work, large enough that the block arrays stay short.
    static constexpr qsizetype MaxBlock = 256;
    using Block = std::vector<RecipientRecord *>;

    const Block &blockAt(qsizetype position) const { return m_pool[m_order[size_t(position)]]; }
    void locate(qsizetype row, qsizetype &position, qsizetype &offset) const;
    qsizetype rowsBefore(qsizetype position) const;
    void addToTree(qsizetype position, qsizetype delta);
    void appendToTree(qsizetype count);
    void rebuildTree();
    quint32 newBlock();
    void insertBlock(qsizetype position, quint32 id);
    void removeBlock(qsizetype position);

    std::vector<Block> m_pool;         // blocks by id; never empty while in use
    std::vector<quint32> m_freeIds;    // ids of pool entries not in use
    std::vector<quint32> m_order;      // block ids in presentation order
    std::vector<quint32> m_position;   // by id: where the block stands in m_order
    std::vector<qsizetype> m_tree;     // Fenwick tree over block sizes in m_order, 1-based
    qsizetype m_size = 0;
};

template<typename Less>
qsizetype RecordSequence::lowerBound(const RecipientRecord &probe, Less less) const
{
    if (m_size == 0)
        return 0;
    // Appending in order (a sorted import, Move to All of a sorted list) ends here.
    if (less(*blockAt(qsizetype(m_order.size()) - 1).back(), probe))
        return m_size;
    // The first block whose last record is not less than the probe holds the bound.
    qsizetype lo = 0, hi = qsizetype(m_order.size()) - 1;
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (less(*blockAt(mid).back(), probe))
            lo = mid + 1;
        else
            hi = mid;
    }
    const Block &block = blockAt(lo);
    qsizetype first = 0, count = qsizetype(block.size());
    while (count > 0) {
        const qsizetype step = count / 2;
        if (less(*block[size_t(first + step)], probe)) {
            first += step + 1;
            count -= step + 1;
        } else {
            count = step;
        }
    }
    return rowsBefore(lo) + first;
}

} // namespace pelicast
