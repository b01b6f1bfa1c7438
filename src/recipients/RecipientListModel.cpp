#include "recipients/RecipientListModel.h"

namespace pelicast {

RecipientListModel::RecipientListModel(RecipientList &list, QObject *parent)
    : QAbstractTableModel(parent), m_list(list)
{
    m_list.addObserver(this);
}

RecipientListModel::~RecipientListModel()
{
    m_list.removeObserver(this);
}

void RecipientListModel::setViewLinkEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    if (!enabled) {
        beginResetModel(); // the view shows nothing stale while the link is off
        m_enabled = false;
        return;
    }
    m_enabled = true;
    endResetModel();
    Q_EMIT currentRowChanged(m_list.currentRow());
}

int RecipientListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_enabled ? 0 : m_list.count();
}

int RecipientListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant RecipientListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != 0 || !m_enabled)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_list.addressAt(index.row());
    return {};
}

QVariant RecipientListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section == 0)
        return QStringLiteral("Address");
    return {};
}

void RecipientListModel::beforeInsert(int row)
{
    if (m_enabled && !m_resetting)
        beginInsertRows({}, row, row);
}

void RecipientListModel::afterInsert()
{
    if (m_enabled && !m_resetting)
        endInsertRows();
}

void RecipientListModel::beforeRemove(int row)
{
    if (m_enabled && !m_resetting)
        beginRemoveRows({}, row, row);
}

void RecipientListModel::afterRemove()
{
    if (m_enabled && !m_resetting)
        endRemoveRows();
}

void RecipientListModel::beforeReset()
{
    if (m_enabled && !m_resetting)
        beginResetModel();
    m_resetting = true;
}

void RecipientListModel::afterReset()
{
    m_resetting = false;
    if (m_enabled)
        endResetModel();
}

void RecipientListModel::currentChanged()
{
    if (m_enabled && !m_resetting)
        Q_EMIT currentRowChanged(m_list.currentRow());
}

} // namespace pelicast
