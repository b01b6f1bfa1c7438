#include "recipients/RecipientList.h"

#include "common/Error.h"
#include "recipients/AddressBytes.h"
#include "recipients/AddressCollation.h"
#include "recipients/ListErrors.h"

#include <QStringDecoder>

#include <algorithm>

namespace pelicast {

namespace {

bool addressLess(const RecipientRecord &a, const RecipientRecord &b)
{
    return a.orderKey() < b.orderKey();
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
    m_atEnd = true;
    notify([](auto *o) { o->afterReset(); });
}

void RecipientList::CloseList()
{
    notify([](auto *o) { o->beforeReset(); });
    destroyAll();
    m_open = false;
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
    const int next = currentRow() + 1;
    if (next > 0 && next < count()) {
        m_atEnd = false;
        setCurrent(next);
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
    return m_rows.isEmpty() ? -1 : currentRow() + 1;
}

QString RecipientList::Address() const
{
    ensureOpen();
    return m_current ? decodeAddress(m_current->text()) : QString();
}

bool RecipientList::FindAddress(const QString &text)
{
    ensureOpen();
    if (isLongerThanMax(text))
        return false;
    const AddressBytes utf8(text);
    RecipientRecord *record = m_index.find(utf8.view(), hashAddressText(utf8.view()));
    if (!record)
        return false;
    m_atEnd = false;
    setCurrentRecord(record);
    return true;
}

void RecipientList::AppendAddress(const QString &text)
{
    ensureOpen();
    const QStringView address = QStringView(text).left(cutAddress(text).size());
    const AddressBytes utf8(address);
    const quint32 hash = hashAddressText(utf8.view());
    if (m_index.find(utf8.view(), hash))
        throw Error(duplicateIndexValueText());
    AddressCollation::PrefixStorage storage;
    const QByteArrayView prefix =
        m_order == Order::Address ? m_collation.sortPrefix(address, storage) : QByteArrayView();
    insertRecord(RecipientRecord::create(prefix, utf8.view(), hash, Added));
}

// Puts a new record in its place and makes it current.
void RecipientList::insertRecord(RecipientRecord *record)
{
    const qsizetype row =
        m_order == Order::Address ? m_rows.lowerBound(*record, addressLess) : m_rows.size();
    notify([row](auto *o) { o->beforeInsert(int(row)); });
    m_rows.insert(row, record);
    m_index.insert(record);
    m_current = record; // before the views hear of the row, so that no stale row is seen
    m_currentRow = int(row);
    m_currentRowKnown = true;
    m_atEnd = false;
    notify([](auto *o) { o->afterInsert(); });
    notify([](auto *o) { o->currentChanged(); });
}

void RecipientList::DeleteCurrent()
{
    ensureOpen();
    if (!m_current)
        return;
    const int row = currentRow();
    notify([row](auto *o) { o->beforeRemove(row); });
    RecipientRecord *record = m_rows.takeAt(row);
    m_index.remove(record);
    RecipientRecord::destroy(record);
    clearCurrent(); // gone; the follower is made current below
    if (m_rows.isEmpty())
        m_atEnd = true;
    notify([](auto *o) { o->afterRemove(); });
    if (m_rows.isEmpty())
        setCurrentRecord(nullptr);
    else
        setCurrent(std::min(row, count() - 1));
}

void RecipientList::EmptyList()
{
    ensureOpen();
    notify([](auto *o) { o->beforeReset(); });
    destroyAll();
    m_atEnd = true;
    notify([](auto *o) { o->afterReset(); });
}

void RecipientList::setCurrentRow(int row)
{
    if (row < 0 || row >= count() || row == currentRow())
        return;
    m_atEnd = false;
    setCurrent(row);
}

QString RecipientList::addressAt(int row) const
{
    if (row < 0 || row >= count())
        return QString();
    return decodeAddress(m_rows.at(row)->text());
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
    if (!keepRecords)
        destroyAll(); // kept records stay in the order they are shown in
    m_order = Order::File;
    m_index.clear();
    m_index.reserve(m_rows.size() + expectedRecords);
    clearCurrent();
}

void RecipientList::addLoadedRecord(const QString &address, quint8 status)
{
    addLoadedRecordUtf8(cutAddress(address).toUtf8(), status);
}

void RecipientList::addLoadedRecordUtf8(QByteArrayView utf8, quint8 status)
{
    if (status == Removed)
        return;
    m_rows.append(RecipientRecord::create({}, utf8, hashAddressText(utf8), status));
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
    m_atEnd = m_rows.isEmpty();
    clearCurrent();
    if (!m_rows.isEmpty()) {
        m_current = m_rows.at(0);
        m_currentRow = 0;
    }
    notify([](auto *o) { o->afterReset(); });
    notify([](auto *o) { o->currentChanged(); });
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

QString RecipientList::decodeAddress(QByteArrayView utf8)
{
    // QString::fromUtf8 drops a leading byte-order mark; an address keeps every character
    // it was stored with, so that it reads back, shows and is found as it is.
    static constexpr char bom[] = "\xEF\xBB\xBF";
    if (!utf8.startsWith(QByteArrayView(bom, 3)))
        return QString::fromUtf8(utf8);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(utf8);
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
    clearCurrent();
}

void RecipientList::clearCurrent()
{
    m_current = nullptr;
    m_currentRow = -1;
    m_currentRowKnown = true;
}

int RecipientList::currentRow() const
{
    if (!m_currentRowKnown) {
        m_currentRow = int(m_rows.rowOf(m_current));
        m_currentRowKnown = true;
    }
    return m_currentRow;
}

void RecipientList::setCurrent(int row)
{
    m_current = m_rows.at(row);
    m_currentRow = row;
    m_currentRowKnown = true;
    notify([](auto *o) { o->currentChanged(); });
}

void RecipientList::setCurrentRecord(RecipientRecord *record)
{
    m_current = record;
    m_currentRow = -1;
    m_currentRowKnown = record == nullptr;
    notify([](auto *o) { o->currentChanged(); });
}

bool RecipientList::findAddressUtf8(QByteArrayView utf8)
{
    ensureOpen();
    if (cutAddressUtf8(utf8).size() < utf8.size())
        return false; // longer than an address can be
    RecipientRecord *record = m_index.find(utf8, hashAddressText(utf8));
    if (!record)
        return false;
    m_atEnd = false;
    setCurrentRecord(record);
    return true;
}

void RecipientList::appendAddressUtf8(QByteArrayView utf8)
{
    ensureOpen();
    const QByteArrayView address = cutAddressUtf8(utf8);
    const quint32 hash = hashAddressText(address);
    if (m_index.find(address, hash))
        throw Error(duplicateIndexValueText());
    AddressCollation::PrefixStorage storage;
    const QByteArrayView prefix = m_order == Order::Address
        ? m_collation.sortPrefix(decodeAddress(address), storage)
        : QByteArrayView();
    insertRecord(RecipientRecord::create(prefix, address, hash, Added));
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
