#include "recipients/RecordSequence.h"

#include <QRandomGenerator>
#include <QtTest>

#include <vector>

using namespace pelicast;

namespace {

// Owns the records a test puts into a sequence.
struct Records
{
    std::vector<RecipientRecord *> all;
    RecipientRecord *make()
    {
        const QByteArray text = QByteArray::number(qulonglong(all.size()));
        all.push_back(RecipientRecord::create({}, text, hashAddressText(text), 2));
        return all.back();
    }
    ~Records()
    {
        for (RecipientRecord *r : all)
            RecipientRecord::destroy(r);
    }
};

// Row access and rowOf() agree with a plain vector holding the same records.
void verify(const RecordSequence &sequence, const std::vector<RecipientRecord *> &reference)
{
    QCOMPARE(sequence.size(), qsizetype(reference.size()));
    for (size_t row = 0; row < reference.size(); ++row) {
        QCOMPARE(sequence.at(qsizetype(row)), reference[row]);
        QCOMPARE(sequence.rowOf(reference[row]), qsizetype(row));
    }
}

} // namespace

class TestRecordSequence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Inserts and removals anywhere, with the block splits, block removals and reuse of
    // block ids they cause.
    void randomEditsMatchAVector_data()
    {
        QTest::addColumn<int>("insertPercent");
        QTest::newRow("growing") << 70;
        QTest::newRow("balanced") << 50;
    }
    void randomEditsMatchAVector()
    {
        QFETCH(int, insertPercent);
        Records records;
        RecordSequence sequence;
        std::vector<RecipientRecord *> reference;
        QRandomGenerator rng(11);
        for (int step = 1; step <= 12000; ++step) {
            const bool insert = reference.empty() || int(rng.bounded(100)) < insertPercent;
            if (insert) {
                const qsizetype row = rng.bounded(3) == 0 ? qsizetype(reference.size())
                                                          : rng.bounded(int(reference.size()) + 1);
                RecipientRecord *r = records.make();
                sequence.insert(row, r);
                reference.insert(reference.begin() + row, r);
            } else {
                const qsizetype row = rng.bounded(int(reference.size()));
                QCOMPARE(sequence.takeAt(row), reference[size_t(row)]);
                reference.erase(reference.begin() + row);
            }
            if (step % 1000 == 0)
                verify(sequence, reference);
        }
        verify(sequence, reference);
        QCOMPARE(sequence.takeAll(), reference);
        QVERIFY(sequence.isEmpty());
    }

    // The send run's pattern on a list built by appending: take row 0 until empty, with
    // appends in between (a failed address goes elsewhere, new ones arrive at the end).
    void takeFirstWhileAppending()
    {
        Records records;
        RecordSequence sequence;
        std::vector<RecipientRecord *> reference;
        for (int i = 0; i < 2000; ++i) {
            reference.push_back(records.make());
            sequence.append(reference.back());
        }
        verify(sequence, reference);
        for (int step = 0; !reference.empty(); ++step) {
            QCOMPARE(sequence.takeAt(0), reference.front());
            reference.erase(reference.begin());
            if (step % 7 == 0 && step < 1500) {
                reference.push_back(records.make());
                sequence.append(reference.back());
            }
            if (step % 300 == 0)
                verify(sequence, reference);
        }
        QVERIFY(sequence.isEmpty());
        sequence.append(records.make()); // usable again after running empty
        QCOMPARE(sequence.rowOf(records.all.back()), qsizetype(0));
    }
};

QTEST_GUILESS_MAIN(TestRecordSequence)
#include "tst_RecordSequence.moc"
