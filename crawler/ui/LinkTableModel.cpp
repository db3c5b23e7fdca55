#include "LinkTableModel.h"

namespace plovik {

LinkTableModel::LinkTableModel(LinkTable table, QObject* pParent)
    : QAbstractTableModel(pParent), m_table(std::move(table))
{
}

int LinkTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.RowCount());
}

int LinkTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.ColumnCount());
}

QVariant LinkTableModel::data(const QModelIndex& index, int nRole) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const auto nRow = static_cast<std::size_t>(index.row());
    const auto nColumn = static_cast<std::size_t>(index.column());
    if (nRole == Qt::DisplayRole || nRole == Qt::ToolTipRole)
        return QString::fromStdString(m_table.Cell(nRow, nColumn));
    if (nRole == Qt::TextAlignmentRole && m_table.ColumnAt(nColumn).bNumber)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant LinkTableModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation != Qt::Horizontal || nRole != Qt::DisplayRole || nSection < 0 || nSection >= columnCount())
        return QAbstractTableModel::headerData(nSection, orientation, nRole);
    return QString::fromStdString(m_table.ColumnAt(static_cast<std::size_t>(nSection)).strHeading);
}

void LinkTableModel::sort(int nColumn, Qt::SortOrder order)
{
    if (nColumn < 0 || nColumn >= columnCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_table.SortBy(static_cast<std::size_t>(nColumn), order == Qt::AscendingOrder);
    // No persistent indexes are kept on these rows (no selection survives a sort).
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace plovik
