#include "common/Error.h"
#include "recipients/AddressCollation.h"
#include "recipients/RecipientList.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace pelicast;

namespace {

QStringList rows(const RecipientList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.addressAt(i);
    return out;
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

const QString duplicate = QStringLiteral("Duplicate index value. Operation aborted.");

} // namespace

class TestRecipientList : public QObject
{
    Q_OBJECT
    AddressCollation c{"C"};
    AddressCollation en{"en_US.UTF-8"};

private Q_SLOTS:
    void addressOrder_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        const QStringList in{"b@x", "B@x", "a@x", "Z@x", QString::fromUtf8("\xc3\xa1@x"), "A@x"};
        QTest::newRow("C: code points") << QByteArray("C") << in
            << QStringList{"A@x", "B@x", "Z@x", "a@x", "b@x", QString::fromUtf8("\xc3\xa1@x")};
        QTest::newRow("en_US: letters before case")
            << QByteArray("en_US.UTF-8") << in
            << QStringList{"a@x", "A@x", QString::fromUtf8("\xc3\xa1@x"), "b@x", "B@x", "Z@x"};
    }
    void addressOrder()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        AddressCollation collation(locale);
        RecipientList list(QStringLiteral("MainTableIndex"), &collation);
        list.OpenList();
        for (const QString &a : input) {
            list.AppendAddress(a);
            QCOMPARE(list.Address(), a); // the new record becomes current
        }
        QCOMPARE(rows(list), expected);
    }

    void leadingByteOrderMarkIsKept()
    {
        // An address imported from a file that began with a byte-order mark keeps it: it
        // reads back, and is found, exactly as stored.
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        const QString bom = QString(QChar(0xFEFF));
        const QStringList addresses{bom + QStringLiteral("a@x"), bom + bom + QStringLiteral("b@x"),
                                    QStringLiteral("a@x")};
        for (const QString &a : addresses)
            list.AppendAddress(a);
        QCOMPARE(list.AddressCount(), 3);
        for (int row = 0; row < list.count(); ++row) {
            const QString shown = list.addressAt(row);
            QCOMPARE(shown.toUtf8(), list.addressUtf8At(row).toByteArray());
            QVERIFY(list.FindAddress(shown));
            QCOMPARE(list.Address(), shown);
        }
    }

    void canonicallyEquivalentAddressesStayDistinct()
    {
        // The collator calls these equal; the list must not.
        RecipientList list(QStringLiteral("MainTableIndex"), &en);
        list.OpenList();
        const QString composed = QString::fromUtf8("\xc3\xa1@x");
        const QString decomposed = QString::fromUtf8("a\xcc\x81@x");
        list.AppendAddress(composed);
        list.AppendAddress(decomposed);
        QCOMPARE(list.AddressCount(), 2);
        QVERIFY(list.FindAddress(composed));
        QCOMPARE(list.Address(), composed);
        QVERIFY(list.FindAddress(decomposed));
        QCOMPARE(list.Address(), decomposed);
    }

    void duplicatesAndTheCut()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        const QString hundred = QString(100, u'x');
        list.AppendAddress(QStringLiteral("a@x"));
        list.AppendAddress(hundred);
        list.AppendAddress(QStringLiteral("A@x")); // another letter case is another address
        list.GoFirst();
        QCOMPARE(errorOf([&] { list.AppendAddress(QStringLiteral("a@x")); }), duplicate);
        QCOMPARE(list.RecordPosition(), 1); // the current record stays on a refused store
        QCOMPARE(errorOf([&] { list.AppendAddress(hundred + u'y'); }), duplicate);
        QCOMPARE(list.AddressCount(), 3);
        QVERIFY(!list.FindAddress(hundred + u'y')); // longer than 100: never found
        QVERIFY(!list.FindAddress(QStringLiteral("a@")));
        QVERIFY(list.FindAddress(QString()) == false);
        list.AppendAddress(QString()); // the empty text is an address
        QVERIFY(list.FindAddress(QString()));

        // The cut counts characters, never splitting a surrogate pair.
        const QString smile = QString::fromUtf8("\xf0\x9f\x98\x80");
        QString pairs;
        for (int i = 0; i < 101; ++i)
            pairs += smile;
        list.AppendAddress(pairs);
        QVERIFY(list.FindAddress(pairs.left(200)));
        QCOMPARE(list.Address().size(), 200);
    }

    void currentRecordMoves()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        QCOMPARE(list.RecordPosition(), -1);
        QVERIFY(list.AtEnd());
        QCOMPARE(list.Address(), QString());
        list.DeleteCurrent(); // nothing to delete
        for (const char *a : {"c", "a", "b"})
            list.AppendAddress(QString::fromLatin1(a));
        QCOMPARE(list.RecordPosition(), 2); // "b" took its sorted place
        list.GoFirst();
        QVERIFY(!list.AtEnd());
        list.GoNext();
        list.GoNext();
        QCOMPARE(list.Address(), QStringLiteral("c"));
        QVERIFY(!list.AtEnd());
        list.GoNext(); // at the last record: stays, AtEnd set
        QVERIFY(list.AtEnd());
        QCOMPARE(list.Address(), QStringLiteral("c"));
        list.DeleteCurrent(); // the last one: the new last becomes current
        QCOMPARE(list.Address(), QStringLiteral("b"));
        list.GoFirst();
        list.DeleteCurrent(); // the following record becomes current
        QCOMPARE(list.Address(), QStringLiteral("b"));
        list.DeleteCurrent();
        QCOMPARE(list.AddressCount(), 0);
        QVERIFY(list.AtEnd());
        QCOMPARE(list.RecordPosition(), -1);
    }

    void fileOrderAfterLoad()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        list.AppendAddress(QStringLiteral("m"));
        list.beginLoad(false);
        list.addLoadedRecord(QStringLiteral("z"), 2);
        list.addLoadedRecord(QStringLiteral("gone"), RecipientList::Removed);
        list.addLoadedRecord(QStringLiteral("a"), 0);
        list.finishLoad();
        QCOMPARE(rows(list), (QStringList{"z", "a"}));
        QCOMPARE(list.changeStatusAt(1), quint8(0));
        list.AppendAddress(QStringLiteral("b"));
        QCOMPARE(rows(list), (QStringList{"z", "a", "b"}));
        QCOMPARE(list.changeStatusAt(2), quint8(2));
        QVERIFY(list.FindAddress(QStringLiteral("a")));
        QCOMPARE(list.RecordPosition(), 2);
        list.EmptyList(); // emptying keeps file order
        list.AppendAddress(QStringLiteral("y"));
        list.AppendAddress(QStringLiteral("x"));
        QCOMPARE(rows(list), (QStringList{"y", "x"}));
        list.CloseList();
        list.OpenList(); // a fresh open brings address order back
        list.AppendAddress(QStringLiteral("y"));
        list.AppendAddress(QStringLiteral("x"));
        QCOMPARE(rows(list), (QStringList{"x", "y"}));
    }

    void loadKeepingRecordsAndDuplicates()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        list.AppendAddress(QStringLiteral("k"));
        list.AppendAddress(QStringLiteral("c"));
        list.beginLoad(true); // the file defines no fields: its records follow the list's
        list.addLoadedRecord(QStringLiteral("b"), 2);
        list.addLoadedRecord(QStringLiteral("k"), 2);
        list.addLoadedRecord(QStringLiteral("b"), 1);
        QCOMPARE(errorOf([&] { list.finishLoad(); }), duplicate);
        QCOMPARE(rows(list), (QStringList{"c", "k", "b"})); // first of each kept
        QCOMPARE(list.changeStatusAt(2), quint8(2));
        QCOMPARE(errorOf([&] { list.AppendAddress(QStringLiteral("b")); }), duplicate);
    }

    void closedList()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        const QString closed = QStringLiteral("Cannot perform this operation on a closed dataset");
        QCOMPARE(errorOf([&] { list.AddressCount(); }), closed);
        QCOMPARE(errorOf([&] { list.AppendAddress(QStringLiteral("a")); }), closed);
        QCOMPARE(errorOf([&] { list.GoFirst(); }), closed);
        QCOMPARE(errorOf([&] { list.FindAddress(QStringLiteral("a")); }), closed);
        QCOMPARE(list.count(), 0);
    }

    // Many random operations against a plain sorted vector: order, positions and the
    // index stay consistent across block splits and removals.
    void matchesAReferenceModel()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        QStringList reference;
        QRandomGenerator rng(7);
        for (int step = 0; step < 20000; ++step) {
            const QString a = QString::number(rng.bounded(6000));
            const int op = rng.bounded(10);
            if (op < 6) {
                const bool known = reference.contains(a);
                QCOMPARE(errorOf([&] { list.AppendAddress(a); }).isEmpty(), !known);
                if (!known)
                    reference.insert(std::lower_bound(reference.begin(), reference.end(), a), a);
            } else if (op < 8) {
                const bool found = list.FindAddress(a);
                QCOMPARE(found, reference.contains(a));
                if (found && op == 6) {
                    QCOMPARE(list.RecordPosition(), reference.indexOf(a) + 1);
                } else if (found) { // the row of a found record also drives GoNext
                    const qsizetype next = reference.indexOf(a) + 1;
                    list.GoNext();
                    QCOMPARE(list.AtEnd(), next == reference.size());
                    QCOMPARE(list.Address(), reference.at(std::min(next, reference.size() - 1)));
                }
            } else if (!reference.isEmpty()) {
                list.setCurrentRow(rng.bounded(int(reference.size())));
                const int row = list.currentRow();
                QCOMPARE(list.Address(), reference.at(row));
                list.DeleteCurrent();
                reference.removeAt(row);
                QCOMPARE(list.currentRow(), std::min(row, int(reference.size()) - 1));
            }
        }
        QCOMPARE(rows(list), reference);
    }
};

QTEST_GUILESS_MAIN(TestRecipientList)
#include "tst_RecipientList.moc"
