#include "recipients/RecordSequence.h"

namespace pelicast {

RecipientRecord *RecordSequence::at(qsizetype row) const
{
    qsizetype block, offset;
    locate(row, block, offset);
    return m_blocks[size_t(block)][size_t(offset)];
}

void RecordSequence::insert(qsizetype row, RecipientRecord *record)
{
    if (m_blocks.empty()) {
        m_blocks.emplace_back().reserve(MaxBlock);
        m_blocks.back().push_back(record);
        m_size = 1;
        rebuildTree();
        return;
    }
    qsizetype block, offset;
    if (row == m_size) {
        block = qsizetype(m_blocks.size()) - 1;
        offset = qsizetype(m_blocks.back().size());
        if (offset == MaxBlock) { // appending: start a fresh block instead of splitting
            m_blocks.emplace_back().reserve(MaxBlock);
            m_blocks.back().push_back(record);
            ++m_size;
            rebuildTree();
            return;
        }
    } else {
        locate(row, block, offset);
    }
    Block &target = m_blocks[size_t(block)];
    target.insert(target.begin() + offset, record);
    ++m_size;
    if (qsizetype(target.size()) > MaxBlock) {
        Block upper(target.begin() + MaxBlock / 2, target.end());
        target.resize(MaxBlock / 2);
        m_blocks.insert(m_blocks.begin() + block + 1, std::move(upper));
        rebuildTree();
    } else {
        addToTree(block, +1);
    }
}

RecipientRecord *RecordSequence::takeAt(qsizetype row)
{
    qsizetype block, offset;
    locate(row, block, offset);
    Block &target = m_blocks[size_t(block)];
    RecipientRecord *record = target[size_t(offset)];
    target.erase(target.begin() + offset);
    --m_size;
    if (target.empty()) {
        m_blocks.erase(m_blocks.begin() + block);
        rebuildTree();
    } else {
        addToTree(block, -1);
    }
    return record;
}

std::vector<RecipientRecord *> RecordSequence::takeAll()
{
    std::vector<RecipientRecord *> all;
    all.reserve(size_t(m_size));
    for (const Block &block : m_blocks)
        all.insert(all.end(), block.begin(), block.end());
    m_blocks.clear();
    m_tree.clear();
    m_size = 0;
    return all;
}

void RecordSequence::locate(qsizetype row, qsizetype &block, qsizetype &offset) const
{
    Q_ASSERT(row >= 0 && row < m_size);
    // Fenwick descent: the largest prefix of blocks holding at most `row` records.
    const qsizetype n = qsizetype(m_tree.size()) - 1;
    qsizetype position = 0, remaining = row;
    qsizetype step = 1;
    while (step * 2 <= n)
        step *= 2;
    for (; step > 0; step /= 2) {
        const qsizetype next = position + step;
        if (next <= n && m_tree[size_t(next)] <= remaining) {
            position = next;
            remaining -= m_tree[size_t(next)];
        }
    }
    block = position;
    offset = remaining;
}

qsizetype RecordSequence::rowsBefore(qsizetype block) const
{
    qsizetype sum = 0;
    for (qsizetype i = block; i > 0; i -= i & -i)
        sum += m_tree[size_t(i)];
    return sum;
}

void RecordSequence::addToTree(qsizetype block, qsizetype delta)
{
    const qsizetype n = qsizetype(m_tree.size()) - 1;
    for (qsizetype i = block + 1; i <= n; i += i & -i)
        m_tree[size_t(i)] += delta;
}

void RecordSequence::rebuildTree()
{
    const qsizetype n = qsizetype(m_blocks.size());
    m_tree.assign(size_t(n + 1), 0);
    for (qsizetype i = 1; i <= n; ++i) {
        m_tree[size_t(i)] += qsizetype(m_blocks[size_t(i - 1)].size());
        const qsizetype parent = i + (i & -i);
        if (parent <= n)
            m_tree[size_t(parent)] += m_tree[size_t(i)];
    }
}

} // namespace pelicast
