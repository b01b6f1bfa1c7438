#include "recipients/AddressCollation.h"
#include "recipients/RecipientList.h"
#include "recipients/RecipientListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace pelicast;

namespace {

// Every signal of the model that tells a view about rows, and the current-row signal.
struct ModelSpies
{
    explicit ModelSpies(RecipientListModel &model)
        : inserted(&model, &QAbstractItemModel::rowsInserted),
          removed(&model, &QAbstractItemModel::rowsRemoved),
          aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset),
          reset(&model, &QAbstractItemModel::modelReset),
          changed(&model, &QAbstractItemModel::dataChanged),
          current(&model, &RecipientListModel::currentRowChanged)
    {
    }
    QSignalSpy inserted, removed, aboutToReset, reset, changed, current;

    QList<int> currentRows() const
    {
        QList<int> out;
        for (const QList<QVariant> &args : current)
            out << args.at(0).toInt();
        return out;
    }
};

QStringList shown(const RecipientListModel &model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.data(model.index(row, 0), Qt::DisplayRole).toString();
    return out;
}

} // namespace

class TestRecipientListModel : public QObject
{
    Q_OBJECT
    AddressCollation c{"C"};

private Q_SLOTS:
    void enabledLinkFollowsEveryRow()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        RecipientListModel model(list);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ModelSpies spies(model);

        list.AppendAddress(QStringLiteral("b"));
        list.AppendAddress(QStringLiteral("a")); // sorted in before "b"
        list.AppendAddress(QStringLiteral("c"));
        QCOMPARE(spies.inserted.count(), 3);
        QCOMPARE(spies.inserted.at(1).at(1).toInt(), 0);
        QCOMPARE(spies.inserted.at(1).at(2).toInt(), 0);
        QCOMPARE(spies.inserted.at(2).at(1).toInt(), 2);
        QCOMPARE(shown(model), (QStringList{"a", "b", "c"}));

        list.FindAddress(QStringLiteral("b"));
        list.DeleteCurrent();
        QCOMPARE(spies.removed.count(), 1);
        QCOMPARE(spies.removed.at(0).at(1).toInt(), 1);
        QCOMPARE(shown(model), (QStringList{"a", "c"}));
        // New records, the found record and the follower of the deleted one become current.
        QCOMPARE(spies.currentRows(), (QList<int>{0, 0, 2, 1, 1}));
        QCOMPARE(spies.reset.count(), 0);

        list.EmptyList();
        QCOMPARE(spies.reset.count(), 1);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Address"));
    }

    void disabledLinkResetsOnceWhenEnabled()
    {
        RecipientList list(QStringLiteral("MainTableIndex"), &c);
        list.OpenList();
        list.AppendAddress(QStringLiteral("old"));
        RecipientListModel model(list);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ModelSpies spies(model);

        model.setViewLinkEnabled(false);
        for (int i = 0; i < 2000; ++i)
            list.AppendAddress(QStringLiteral("a%1").arg(i, 4, 10, QLatin1Char('0')));
        list.GoFirst();
        for (int i = 0; i < 500; ++i)
            list.DeleteCurrent();
        list.EmptyList(); // a reset of the list while the link is off stays silent too
        for (int i = 0; i < 300; ++i)
            list.AppendAddress(QStringLiteral("b%1").arg(i, 3, 10, QLatin1Char('0')));
        list.FindAddress(QStringLiteral("b100"));
        QCOMPARE(spies.inserted.count(), 0);
        QCOMPARE(spies.removed.count(), 0);
        QCOMPARE(spies.changed.count(), 0);
        QCOMPARE(spies.reset.count(), 0);
        QCOMPARE(spies.current.count(), 0);

        model.setViewLinkEnabled(true);
        QCOMPARE(spies.aboutToReset.count(), 1);
        QCOMPARE(spies.reset.count(), 1);
        QCOMPARE(spies.inserted.count(), 0);
        QCOMPARE(spies.removed.count(), 0);
        QCOMPARE(spies.currentRows(), QList<int>{100});
        QCOMPARE(model.rowCount(), 300);
        QCOMPARE(model.data(model.index(299, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("b299"));

        // Enabled again, it follows single rows once more.
        list.AppendAddress(QStringLiteral("c"));
        QCOMPARE(spies.inserted.count(), 1);
        QCOMPARE(spies.reset.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRecipientListModel)
#include "tst_RecipientListModel.moc"
