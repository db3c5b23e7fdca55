#pragma once
// A link view's rows (LinkTable) for a QTableView: read-only, sorted by the table's
// own rules so that both windows order the rows alike.

#include <QAbstractTableModel>

#include "LinkTable.h"

namespace plovik {

class LinkTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LinkTableModel(LinkTable table, QObject* pParent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole = Qt::DisplayRole) const override;
    void sort(int nColumn, Qt::SortOrder order = Qt::AscendingOrder) override;

    const LinkTable& Table() const { return m_table; }

private:
    LinkTable m_table;
};

}  // namespace plovik
