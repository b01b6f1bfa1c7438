#include "recipients/RecordSequence.h"

#include <algorithm>

namespace pelicast {

RecipientRecord *RecordSequence::at(qsizetype row) const
{
    qsizetype position, offset;
    locate(row, position, offset);
    return blockAt(position)[size_t(offset)];
}

void RecordSequence::insert(qsizetype row, RecipientRecord *record)
{
    Q_ASSERT(row >= 0 && row <= m_size);
    qsizetype position, offset;
    if (row == m_size) {
        position = qsizetype(m_order.size()) - 1;
        if (position < 0 || qsizetype(blockAt(position).size()) == MaxBlock) {
            // Appending: start a fresh block rather than split a full one, so that a list
            // built in order has full blocks.
            const quint32 id = newBlock();
            m_pool[id].push_back(record);
            record->block = id;
            ++m_size;
            insertBlock(qsizetype(m_order.size()), id);
            return;
        }
        offset = qsizetype(blockAt(position).size());
    } else {
        locate(row, position, offset);
    }
    const quint32 id = m_order[size_t(position)];
    Block &target = m_pool[id];
    target.insert(target.begin() + offset, record);
    record->block = id;
    ++m_size;
    if (qsizetype(target.size()) <= MaxBlock) {
        addToTree(position, +1);
        return;
    }
    const quint32 upperId = newBlock(); // may move the pool: look the blocks up again
    Block &lower = m_pool[id];
    Block &upper = m_pool[upperId];
    upper.assign(lower.begin() + MaxBlock / 2, lower.end());
    lower.resize(MaxBlock / 2);
    for (RecipientRecord *moved : upper)
        moved->block = upperId;
    addToTree(position, 1 - qsizetype(upper.size()));
    insertBlock(position + 1, upperId);
}

RecipientRecord *RecordSequence::takeAt(qsizetype row)
{
    qsizetype position, offset;
    locate(row, position, offset);
    Block &target = m_pool[m_order[size_t(position)]];
    RecipientRecord *record = target[size_t(offset)];
    target.erase(target.begin() + offset); // at most MaxBlock pointers move
    --m_size;
    if (target.empty())
        removeBlock(position);
    else
        addToTree(position, -1);
    return record;
}

qsizetype RecordSequence::rowOf(const RecipientRecord *record) const
{
    const Block &block = m_pool[record->block];
    const auto it = std::find(block.begin(), block.end(), record);
    Q_ASSERT(it != block.end());
    return rowsBefore(m_position[record->block]) + (it - block.begin());
}

std::vector<RecipientRecord *> RecordSequence::takeAll()
{
    std::vector<RecipientRecord *> all;
    all.reserve(size_t(m_size));
    for (quint32 id : m_order)
        all.insert(all.end(), m_pool[id].begin(), m_pool[id].end());
    m_pool.clear();
    m_freeIds.clear();
    m_order.clear();
    m_position.clear();
    m_tree.clear();
    m_size = 0;
    return all;
}

void RecordSequence::locate(qsizetype row, qsizetype &position, qsizetype &offset) const
{
    Q_ASSERT(row >= 0 && row < m_size);
    // Fenwick descent: the largest prefix of blocks holding at most `row` records.
    const qsizetype n = qsizetype(m_tree.size()) - 1;
    qsizetype at = 0, remaining = row;
    qsizetype step = 1;
    while (step * 2 <= n)
        step *= 2;
    for (; step > 0; step /= 2) {
        const qsizetype next = at + step;
        if (next <= n && m_tree[size_t(next)] <= remaining) {
            at = next;
            remaining -= m_tree[size_t(next)];
        }
    }
    position = at;
    offset = remaining;
}

qsizetype RecordSequence::rowsBefore(qsizetype position) const
{
    qsizetype sum = 0;
    for (qsizetype i = position; i > 0; i -= i & -i)
        sum += m_tree[size_t(i)];
    return sum;
}

void RecordSequence::addToTree(qsizetype position, qsizetype delta)
{
    const qsizetype n = qsizetype(m_tree.size()) - 1;
    for (qsizetype i = position + 1; i <= n; i += i & -i)
        m_tree[size_t(i)] += delta;
}

void RecordSequence::appendToTree(qsizetype count)
{
    if (m_tree.empty())
        m_tree.push_back(0);
    // The new node i covers the blocks (i - lowbit(i), i]: its own count plus the nodes
    // that the earlier blocks of that range already sum up.
    const qsizetype i = qsizetype(m_tree.size());
    m_tree.push_back(count + rowsBefore(i - 1) - rowsBefore(i - (i & -i)));
}

void RecordSequence::rebuildTree()
{
    const qsizetype n = qsizetype(m_order.size());
    m_tree.assign(size_t(n + 1), 0);
    for (qsizetype i = 1; i <= n; ++i) {
        m_tree[size_t(i)] += qsizetype(blockAt(i - 1).size());
        const qsizetype parent = i + (i & -i);
        if (parent <= n)
            m_tree[size_t(parent)] += m_tree[size_t(i)];
    }
}

quint32 RecordSequence::newBlock()
{
    quint32 id;
    if (!m_freeIds.empty()) {
        id = m_freeIds.back();
        m_freeIds.pop_back();
    } else {
        id = quint32(m_pool.size());
        m_pool.emplace_back();
        m_position.push_back(0);
    }
    m_pool[id].reserve(MaxBlock + 1);
    return id;
}

void RecordSequence::insertBlock(qsizetype position, quint32 id)
{
    const bool atEnd = position == qsizetype(m_order.size());
    m_order.insert(m_order.begin() + position, id);
    for (size_t p = size_t(position); p < m_order.size(); ++p)
        m_position[m_order[p]] = quint32(p);
    if (atEnd)
        appendToTree(qsizetype(m_pool[id].size()));
    else
        rebuildTree();
}

void RecordSequence::removeBlock(qsizetype position)
{
    const quint32 id = m_order[size_t(position)];
    Block().swap(m_pool[id]); // give its memory back; a list emptied by sending shrinks
    m_freeIds.push_back(id);
    m_order.erase(m_order.begin() + position);
    for (size_t p = size_t(position); p < m_order.size(); ++p)
        m_position[m_order[p]] = quint32(p);
    if (position == qsizetype(m_order.size()))
        m_tree.pop_back(); // the last node covers only ranges ending at the last block
    else
        rebuildTree();
}

} // namespace pelicast
