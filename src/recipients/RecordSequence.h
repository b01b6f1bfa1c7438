#pragma once

#include "recipients/RecipientRecord.h"

#include <vector>

namespace pelicast {

// The records of a list in presentation order, with every operation the list needs in
// O(log n) or better: row access, insertion at any row, removal at any row (the send run
// removes the first row a million times), and binary search when the rows are sorted.
//
// Records sit in blocks of at most MaxBlock pointers; a Fenwick tree over the block sizes
// turns a row number into (block, offset) and back.
class RecordSequence
{
public:
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    RecipientRecord *at(qsizetype row) const;
    void insert(qsizetype row, RecipientRecord *record);
    void append(RecipientRecord *record) { insert(m_size, record); }
    RecipientRecord *takeAt(qsizetype row);
    // Removes every record; returns them in presentation order (the caller owns them).
    std::vector<RecipientRecord *> takeAll();

    // First row whose record is not less than the probe, for rows sorted by `less`.
    template<typename Less>
    qsizetype lowerBound(const RecipientRecord &probe, Less less) const;

    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const auto &block : m_blocks)
            for (RecipientRecord *record : block)
                visit(record);
    }

private:
    static constexpr qsizetype MaxBlock = 1024;
    using Block = std::vector<RecipientRecord *>;

    void locate(qsizetype row, qsizetype &block, qsizetype &offset) const;
    qsizetype rowsBefore(qsizetype block) const;
    void addToTree(qsizetype block, qsizetype delta);
    void rebuildTree();

    std::vector<Block> m_blocks;
    std::vector<qsizetype> m_tree; // Fenwick tree over m_blocks[i].size(), 1-based
    qsizetype m_size = 0;
};

template<typename Less>
qsizetype RecordSequence::lowerBound(const RecipientRecord &probe, Less less) const
{
    // The first block whose last record is not less than the probe holds the bound.
    qsizetype lo = 0, hi = qsizetype(m_blocks.size());
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (less(*m_blocks[size_t(mid)].back(), probe))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == qsizetype(m_blocks.size()))
        return m_size;
    const Block &block = m_blocks[size_t(lo)];
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
