#pragma once

#include "recipients/RecipientList.h"

#include <QAbstractTableModel>

namespace pelicast {

// Shows one RecipientList in a grid: one column, Address. It is the list's "view link":
// while disabled (setViewLinkEnabled(false)) it ignores the list's changes, and when enabled
// again it resets once, so that bulk work does not cost a signal per row.
class RecipientListModel : public QAbstractTableModel, private RecipientListObserver
{
    Q_OBJECT
public:
    explicit RecipientListModel(RecipientList &list, QObject *parent = nullptr);
    ~RecipientListModel() override;

    RecipientList &list() const { return m_list; }
    bool isViewLinkEnabled() const { return m_enabled; }
    void setViewLinkEnabled(bool enabled);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    // The list's current record moved; -1 when the list is empty.
    void currentRowChanged(int row);

private:
    void beforeInsert(int row) override;
    void afterInsert() override;
    void beforeRemove(int row) override;
    void afterRemove() override;
    void beforeReset() override;
    void afterReset() override;
    void currentChanged() override;

    RecipientList &m_list;
    bool m_enabled = true;
    bool m_resetting = false;
};

} // namespace pelicast
