#include "ui/RecipientGrid.h"

#include "recipients/RecipientListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QShortcut>
#include <QTableView>

namespace pelicast {

RecipientGrid::RecipientGrid(QTableView *grid, RecipientListModel &model,
                             std::function<void()> onDeleteKey)
    : QObject(grid), m_grid(grid), m_model(model)
{
    grid->setModel(&model);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);

    // The selected row stays visible when the focus goes elsewhere.
    QPalette palette = grid->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
    grid->setPalette(palette);

    connect(&model, &RecipientListModel::currentRowChanged, this, &RecipientGrid::showCurrentRow);
    connect(&model, &QAbstractItemModel::modelReset, this,
            [this] { showCurrentRow(m_model.list().currentRow()); });
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_following && current.isValid())
                    m_model.list().setCurrentRow(current.row());
            });

    auto *deleteKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete), grid);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, std::move(onDeleteKey));

    showCurrentRow(model.list().currentRow());
}

void RecipientGrid::showCurrentRow(int row)
{
    QItemSelectionModel *selection = m_grid->selectionModel();
    m_following = true;
    if (row < 0 || row >= m_model.rowCount()) {
        selection->clear();
    } else {
        const QModelIndex index = m_model.index(row, 0);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                              | QItemSelectionModel::Rows);
        m_grid->scrollTo(index);
    }
    m_following = false;
}

} // namespace pelicast
