#pragma once

#include "recipients/AddressIndex.h"
#include "recipients/RecordSequence.h"

#include <QString>

#include <vector>

namespace pelicast {

class AddressCollation;

// Told about every change of a list, before and after, so that a view model can follow.
class RecipientListObserver
{
public:
    virtual ~RecipientListObserver() = default;
    virtual void beforeInsert(int row) = 0;
    virtual void afterInsert() = 0;
    virtual void beforeRemove(int row) = 0;
    virtual void afterRemove() = 0;
    virtual void beforeReset() = 0;
    virtual void afterReset() = 0;
    // The current record changed; the observer asks for its row only if it needs it.
    virtual void currentChanged() = 0;
};

// One recipient list (All, Success or Error): records with an Address (at most 100
// characters) and a ChangeStatus, unique by exact address text, with a current record.
//
// Order: a list presents its records in address order (AddressCollation) until a database
// file is first loaded into it; from then until it is closed, in the order read, with later
// additions at the end. Emptying does not bring the address order back.
//
// Every operation is O(log n) or better. The operations named like the program's commands
// use (OpenList, AppendAddress, ...) throw pelicast::Error on a closed list and on a
// duplicate; the lower-case helpers for views never throw.
class RecipientList
{
public:
    enum class Order { Address, File };
    enum ChangeStatus : quint8 { Unchanged = 0, Changed = 1, Added = 2, Removed = 3 };
    static constexpr int MaxAddressLength = 100; // in characters (code points)

    // indexName: the name of the list's unique index ("MainTableIndex", ...), written
    // into database files. The list starts closed.
    explicit RecipientList(const QString &indexName,
                           const AddressCollation *collation = nullptr);
    ~RecipientList();
    RecipientList(const RecipientList &) = delete;
    RecipientList &operator=(const RecipientList &) = delete;

    void OpenList();  // open, empty, address order
    void CloseList(); // drops every record
    bool IsOpen() const { return m_open; }

    int AddressCount() const;
    void GoFirst();
    void GoNext();
    bool AtEnd() const;
    int RecordPosition() const; // 1-based; -1 for an empty list
    QString Address() const;    // of the current record; empty for an empty list
    bool FindAddress(const QString &text);
    void AppendAddress(const QString &text);
    void DeleteCurrent();
    void EmptyList();

    // For views and file writers (never throw; a closed list looks empty).
    int count() const { return int(m_rows.size()); }
    int currentRow() const; // -1 for an empty list
    void setCurrentRow(int row); // ignored when out of range
    QString addressAt(int row) const;
    QByteArrayView addressUtf8At(int row) const;
    quint8 changeStatusAt(int row) const;
    Order order() const { return m_order; }
    QString indexName() const { return m_indexName; }
    void setIndexName(const QString &name) { m_indexName = name; }

    // FindAddress and AppendAddress for text that is already valid UTF-8 (the address text
    // import stores a million lines): the same rules and errors, without turning each line
    // into a QString and back.
    bool findAddressUtf8(QByteArrayView utf8);
    void appendAddressUtf8(QByteArrayView utf8);
    // The first 100 characters (code points) of a valid UTF-8 text.
    static QByteArrayView cutAddressUtf8(QByteArrayView utf8);

    // Loading from a database file: beginLoad() (emptying the list first unless told to keep
    // its records) switches to file order; addLoadedRecord() appends a record as read,
    // without the uniqueness check (a record of status Removed is not taken in);
    // finishLoad() rebuilds the index once. When the loaded records hold equal addresses,
    // finishLoad() keeps the first of each and drops the rest, then throws the duplicate
    // error. Call finishLoad() also when the reader fails half-way.
    void beginLoad(bool keepRecords, qsizetype expectedRecords = 0);
    void addLoadedRecord(const QString &address, quint8 status);
    void addLoadedRecordUtf8(QByteArrayView utf8, quint8 status);
    void finishLoad();

    void addObserver(RecipientListObserver *observer);
    void removeObserver(RecipientListObserver *observer);

    // The first 100 characters of a text, never splitting a surrogate pair.
    // The stored UTF-8 text of an address as a QString, a leading U+FEFF included.
    static QString decodeAddress(QByteArrayView utf8);
    static QString cutAddress(const QString &text);
    static bool isLongerThanMax(const QString &text);

private:
    void ensureOpen() const;
    void destroyAll();
    void setCurrent(int row);
    void setCurrentRecord(RecipientRecord *record);
    void insertRecord(RecipientRecord *record);
    void clearCurrent(); // without telling the observers
    template<typename F> void notify(F f) const
    {
        for (RecipientListObserver *o : m_observers)
            f(o);
    }

    const AddressCollation &m_collation;
    QString m_indexName;
    RecordSequence m_rows;
    AddressIndex m_index;
    std::vector<RecipientListObserver *> m_observers;
    Order m_order = Order::Address;
    // The current record, and its row once somebody asked for it: a lookup does not pay
    // for the row (an import checks every line but never asks where the found one stands).
    RecipientRecord *m_current = nullptr;
    mutable int m_currentRow = -1;
    mutable bool m_currentRowKnown = true;
    bool m_atEnd = true;
    bool m_open = false;
};

} // namespace pelicast
