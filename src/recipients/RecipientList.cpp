#include "recipients/RecipientList.h"

#include "common/Error.h"
#include "recipients/AddressCollation.h"
#include "recipients/ListErrors.h"

#include <algorithm>

namespace pelicast {

namespace {

bool addressLess(const RecipientRecord &a, const RecipientRecord &b)
{
    return a.orderKey() < b.orderKey();
}

bool storageLess(const RecipientRecord &a, const RecipientRecord &b)
{
    return a.seq < b.seq;
}

} // namespace

RecipientList::RecipientList(const QString &indexName, const AddressCollation *collation)
    : m_collation(collation ? *collation : AddressCollation::userDefault()),
      m_indexName(indexName)
{
}

RecipientList::~RecipientList()
{
    destroyAll();
}

void RecipientList::OpenList()
{
    notify([](auto *o) { o->beforeReset(); });
    destroyAll();
    m_open = true;
    m_order = Order::Address;
    m_current = -1;
    m_atEnd = true;
    notify([](auto *o) { o->afterReset(); });
}

void RecipientList::CloseList()
{
    notify([](auto *o) { o->beforeReset(); });
    destroyAll();
    m_open = false;
    m_current = -1;
    m_atEnd = true;
    notify([](auto *o) { o->afterReset(); });
}

int RecipientList::AddressCount() const
{
    ensureOpen();
    return count();
}

void RecipientList::GoFirst()
{
    ensureOpen();
    if (m_rows.isEmpty())
        return;
    m_atEnd = false;
    setCurrent(0);
}

void RecipientList::GoNext()
{
    ensureOpen();
    if (m_current + 1 < count()) {
        m_atEnd = false;
        setCurrent(m_current + 1);
    } else {
        m_atEnd = true;
    }
}

bool RecipientList::AtEnd() const
{
    ensureOpen();
    return m_atEnd || m_rows.isEmpty();
}

int RecipientList::RecordPosition() const
{
    ensureOpen();
    return m_rows.isEmpty() ? -1 : m_current + 1;
}

QString RecipientList::Address() const
{
    ensureOpen();
    return m_current < 0 ? QString() : addressAt(m_current);
}

bool RecipientList::FindAddress(const QString &text)
{
    ensureOpen();
    if (isLongerThanMax(text))
        return false;
    const QByteArray utf8 = text.toUtf8();
    const RecipientRecord *record = m_index.find(utf8, hashAddressText(utf8));
    if (!record)
        return false;
    m_atEnd = false;
    setCurrent(int(rowOf(record)));
    return true;
}

void RecipientList::AppendAddress(const QString &text)
{
    ensureOpen();
    const QString address = cutAddress(text);
    const QByteArray utf8 = address.toUtf8();
    const quint32 hash = hashAddressText(utf8);
    if (m_index.find(utf8, hash))
        throw Error(duplicateIndexValueText());
    const QByteArray prefix =
        m_order == Order::Address ? m_collation.sortPrefix(address) : QByteArray();
    RecipientRecord *record = RecipientRecord::create(prefix, utf8, hash, Added, m_nextSeq++);
    const qsizetype row =
        m_order == Order::Address ? m_rows.lowerBound(*record, addressLess) : m_rows.size();
    notify([row](auto *o) { o->beforeInsert(int(row)); });
    m_rows.insert(row, record);
    m_index.insert(record);
    notify([](auto *o) { o->afterInsert(); });
    m_atEnd = false;
    setCurrent(int(row));
}

void RecipientList::DeleteCurrent()
{
    ensureOpen();
    if (m_current < 0)
        return;
    const int row = m_current;
    notify([row](auto *o) { o->beforeRemove(row); });
    RecipientRecord *record = m_rows.takeAt(row);
    m_index.remove(record);
    RecipientRecord::destroy(record);
    m_current = std::min(row, count() - 1);
    if (m_rows.isEmpty())
        m_atEnd = true;
    notify([](auto *o) { o->afterRemove(); });
    notify([this](auto *o) { o->currentChanged(m_current); });
}

void RecipientList::EmptyList()
{
    ensureOpen();
    notify([](auto *o) { o->beforeReset(); });
    destroyAll();
    m_current = -1;
    m_atEnd = true;
    notify([](auto *o) { o->afterReset(); });
}

void RecipientList::setCurrentRow(int row)
{
    if (row < 0 || row >= count() || row == m_current)
        return;
    m_atEnd = false;
    setCurrent(row);
}

QString RecipientList::addressAt(int row) const
{
    if (row < 0 || row >= count())
        return QString();
    return QString::fromUtf8(m_rows.at(row)->text());
}

QByteArrayView RecipientList::addressUtf8At(int row) const
{
    if (row < 0 || row >= count())
        return {};
    return m_rows.at(row)->text();
}

quint8 RecipientList::changeStatusAt(int row) const
{
    if (row < 0 || row >= count())
        return Unchanged;
    return m_rows.at(row)->status;
}

void RecipientList::beginLoad(bool keepRecords, qsizetype expectedRecords)
{
    ensureOpen();
    notify([](auto *o) { o->beforeReset(); });
    if (!keepRecords) {
        destroyAll();
    } else if (m_order == Order::Address) {
        // The records stay in the order they are shown in; renumber them so that storage
        // order is that order.
        std::vector<RecipientRecord *> all = m_rows.takeAll();
        m_nextSeq = 0;
        for (RecipientRecord *record : all) {
            record->seq = m_nextSeq++;
            m_rows.append(record);
        }
    }
    m_order = Order::File;
    m_index.clear();
    m_index.reserve(m_rows.size() + expectedRecords);
    m_current = -1;
}

void RecipientList::addLoadedRecord(const QString &address, quint8 status)
{
    addLoadedRecordUtf8(cutAddress(address).toUtf8(), status);
}

void RecipientList::addLoadedRecordUtf8(QByteArrayView utf8, quint8 status)
{
    if (status == Removed)
        return;
    m_rows.append(RecipientRecord::create({}, utf8, hashAddressText(utf8), status, m_nextSeq++));
}

void RecipientList::finishLoad()
{
    std::vector<RecipientRecord *> all = m_rows.takeAll();
    m_index.clear();
    m_index.reserve(qsizetype(all.size()));
    bool duplicates = false;
    for (RecipientRecord *record : all) {
        if (m_index.find(record->text(), record->hash)) {
            duplicates = true;
            RecipientRecord::destroy(record);
            continue;
        }
        m_index.insert(record);
        m_rows.append(record);
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_atEnd = m_rows.isEmpty();
    notify([](auto *o) { o->afterReset(); });
    notify([this](auto *o) { o->currentChanged(m_current); });
    if (duplicates)
        throw Error(duplicateIndexValueText());
}

void RecipientList::addObserver(RecipientListObserver *observer)
{
    m_observers.push_back(observer);
}

void RecipientList::removeObserver(RecipientListObserver *observer)
{
    std::erase(m_observers, observer);
}

bool RecipientList::isLongerThanMax(const QString &text)
{
    if (text.size() <= MaxAddressLength)
        return false;
    if (text.size() > 2 * MaxAddressLength)
        return true;
    return cutAddress(text).size() < text.size();
}

QString RecipientList::cutAddress(const QString &text)
{
    if (text.size() <= MaxAddressLength)
        return text;
    qsizetype units = 0;
    for (int chars = 0; chars < MaxAddressLength && units < text.size(); ++chars)
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()
                  && text.at(units + 1).isLowSurrogate()) ? 2 : 1;
    return text.left(units);
}

void RecipientList::ensureOpen() const
{
    if (!m_open)
        throw Error(closedDatasetText());
}

void RecipientList::destroyAll()
{
    for (RecipientRecord *record : m_rows.takeAll())
        RecipientRecord::destroy(record);
    m_index.clear();
}

void RecipientList::setCurrent(int row)
{
    m_current = row;
    notify([row](auto *o) { o->currentChanged(row); });
}

qsizetype RecipientList::rowOf(const RecipientRecord *record) const
{
    return m_order == Order::Address ? m_rows.lowerBound(*record, addressLess)
                                     : m_rows.lowerBound(*record, storageLess);
}

bool RecipientList::findAddressUtf8(QByteArrayView utf8)
{
    ensureOpen();
    if (cutAddressUtf8(utf8).size() < utf8.size())
        return false; // longer than an address can be
    const RecipientRecord *record = m_index.find(utf8, hashAddressText(utf8));
    if (!record)
        return false;
    m_atEnd = false;
    setCurrent(int(rowOf(record)));
    return true;
}

void RecipientList::appendAddressUtf8(QByteArrayView utf8)
{
    ensureOpen();
    const QByteArrayView address = cutAddressUtf8(utf8);
    const quint32 hash = hashAddressText(address);
    if (m_index.find(address, hash))
        throw Error(duplicateIndexValueText());
    const QByteArray prefix = m_order == Order::Address
        ? m_collation.sortPrefix(QString::fromUtf8(address))
        : QByteArray();
    RecipientRecord *record = RecipientRecord::create(prefix, address, hash, Added, m_nextSeq++);
    const qsizetype row =
        m_order == Order::Address ? m_rows.lowerBound(*record, addressLess) : m_rows.size();
    notify([row](auto *o) { o->beforeInsert(int(row)); });
    m_rows.insert(row, record);
    m_index.insert(record);
    notify([](auto *o) { o->afterInsert(); });
    m_atEnd = false;
    setCurrent(int(row));
}

QByteArrayView RecipientList::cutAddressUtf8(QByteArrayView utf8)
{
    if (utf8.size() <= MaxAddressLength)
        return utf8;
    qsizetype chars = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if ((uchar(utf8[i]) & 0xc0) != 0x80 && chars++ == MaxAddressLength)
            return utf8.first(i); // the start of character 101
    }
    return utf8;
}

} // namespace pelicast
