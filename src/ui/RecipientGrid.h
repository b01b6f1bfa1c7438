#pragma once

#include <QObject>

#include <functional>

class QTableView;

namespace pelicast {

class RecipientListModel;

// Makes a QTableView one of the "Recipents" page's grids over a list's view link: the
// addresses only, the list's current record shown as the selected row (also while the grid
// has no focus), a click making the clicked record current, and Ctrl+Delete calling
// onDeleteKey.
class RecipientGrid : public QObject
{
    Q_OBJECT
public:
    RecipientGrid(QTableView *grid, RecipientListModel &model,
                  std::function<void()> onDeleteKey);

private:
    void showCurrentRow(int row);

    QTableView *m_grid;
    RecipientListModel &m_model;
    bool m_following = false;
};

} // namespace pelicast
