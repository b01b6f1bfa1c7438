// A grid of the "Recipents" page over a list: the list's current record is the selected row
// and a click makes a record current; Ctrl+Delete reaches the grid's delete command.
#include "recipients/RecipientList.h"
#include "recipients/RecipientListModel.h"
#include "ui/RecipientGrid.h"

#include <QtTest>
#include <QtWidgets>

using namespace pelicast;

class TestRecipientGrid : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        RecipientList list{QStringLiteral("MainTableIndex")};
        RecipientListModel model{list};
        QWidget window;
        QTableView *grid = new QTableView(&window);
        QLineEdit *elsewhere = new QLineEdit(&window);
        int deleteKeys = 0;

        explicit Fixture(int addresses)
        {
            list.OpenList();
            for (int i = 0; i < addresses; ++i)
                list.AppendAddress(QStringLiteral("user%1@example.com").arg(i, 2, 10, QChar(u'0')));
            new RecipientGrid(grid, model, [this] { ++deleteKeys; });
            auto *layout = new QVBoxLayout(&window);
            layout->addWidget(grid);
            layout->addWidget(elsewhere);
            window.resize(300, 400);
        }
        int selectedRow() const
        {
            const QModelIndexList rows = grid->selectionModel()->selectedRows();
            return rows.size() == 1 ? rows.first().row() : -1;
        }
    };

private Q_SLOTS:
    void selectionFollowsTheCurrentRecord()
    {
        Fixture f(5);
        QCOMPARE(f.selectedRow(), 4); // the last one added
        f.list.GoFirst();
        QCOMPARE(f.selectedRow(), 0);
        f.list.FindAddress("user03@example.com");
        QCOMPARE(f.selectedRow(), 3);
        f.list.DeleteCurrent();
        QCOMPARE(f.selectedRow(), 3); // the record that followed
        QCOMPARE(f.model.data(f.model.index(3, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("user04@example.com"));
        f.list.EmptyList();
        QCOMPARE(f.selectedRow(), -1);
    }

    void selectionComesBackWithTheViewLink()
    {
        Fixture f(5);
        f.model.setViewLinkEnabled(false);
        f.list.AppendAddress("zz@example.com");
        f.list.GoFirst();
        f.list.GoNext();
        f.model.setViewLinkEnabled(true);
        QCOMPARE(f.grid->model()->rowCount(), 6);
        QCOMPARE(f.selectedRow(), 1);
    }

    void clickMakesTheRecordCurrent()
    {
        Fixture f(20);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.grid->scrollToTop();
        const QRect cell = f.grid->visualRect(f.model.index(2, 0));
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.list.currentRow(), 2);
        QCOMPARE(f.list.Address(), QStringLiteral("user02@example.com"));
        QCOMPARE(f.selectedRow(), 2);
    }

    void selectionStaysVisibleWithoutFocus()
    {
        Fixture f(3);
        const QPalette p = f.grid->palette();
        QCOMPARE(p.color(QPalette::Inactive, QPalette::Highlight),
                 p.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(p.color(QPalette::Inactive, QPalette::HighlightedText),
                 p.color(QPalette::Active, QPalette::HighlightedText));
    }

    void ctrlDeleteInTheGridOnly()
    {
        Fixture f(3);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.elsewhere->setFocus();
        QTest::keyClick(f.elsewhere, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.deleteKeys, 0);
        f.grid->setFocus();
        QTest::keyClick(f.grid, Qt::Key_Delete);
        QCOMPARE(f.deleteKeys, 0);
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.deleteKeys, 1);
        QCOMPARE(f.list.AddressCount(), 3); // the command, not the grid, deletes
    }

};

QTEST_MAIN(TestRecipientGrid)
#include "tst_RecipientGrid.moc"
