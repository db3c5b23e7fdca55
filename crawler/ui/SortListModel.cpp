#include "SortListModel.h"

#include <QStringDecoder>

namespace plovik {

namespace {

QCollator TextCollator()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

int Sign(int n)
{
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

}  // namespace

SortListModel::SortListModel(QObject* pParent)
    : QAbstractTableModel(pParent), m_table([this](const std::string& a, const std::string& b) {
          return Sign(m_collator.compare(TextOfBytes(a), TextOfBytes(b)));
      })
{
}

SortListModel::~SortListModel() = default;

QString SortListModel::TextOfBytes(const std::string& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString sText = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return sText;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

int SortListModel::CompareText(const std::string& a, const std::string& b)
{
    return Sign(TextCollator().compare(TextOfBytes(a), TextOfBytes(b)));
}

QString SortListModel::ColumnName(int nColumn) const
{
    return TextOfBytes(m_table.ColumnName(nColumn));
}

bool SortListModel::AddColumn(const QString& sName)
{
    if (RowCount() > 0)
        return false;
    const int nIndex = ColumnCount();
    beginInsertColumns({}, nIndex, nIndex);
    m_table.AddColumn(sName.toStdString());
    endInsertColumns();
    return true;
}

int SortListModel::AddRow(std::vector<std::string> cells)
{
    if (ColumnCount() == 0 || static_cast<int>(cells.size()) != ColumnCount())
        return -1;
    const int nRow = RowCount();
    beginInsertRows({}, nRow, nRow);
    m_table.AddRow(std::move(cells));
    endInsertRows();
    return nRow;
}

bool SortListModel::SetText(int nRow, int nColumn, std::string strBytes)
{
    if (nRow < 0 || nRow >= RowCount() || nColumn < 0 || nColumn >= ColumnCount())
        return false;
    if (m_table.Cell(nRow, nColumn) == strBytes)
        return true;
    m_table.SetCell(nRow, nColumn, std::move(strBytes));
    const QModelIndex changed = index(nRow, nColumn);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
    return true;
}

QString SortListModel::Text(int nRow, int nColumn) const
{
    return TextOfBytes(m_table.Cell(nRow, nColumn));
}

void SortListModel::Clear()
{
    beginResetModel();
    m_table.Clear();
    endResetModel();
}

void SortListModel::Sort(int nColumn, bool bAscending)
{
    if (nColumn < 0 || nColumn >= ColumnCount() || RowCount() < 2) {
        m_table.Sort(nColumn, bAscending);  // records the column and direction only
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_collator = TextCollator();
    const std::vector<int> newIndexOf = m_table.Sort(nColumn, bAscending);
    for (const QModelIndex& old : persistentIndexList()) {
        if (old.isValid())
            changePersistentIndex(old, index(newIndexOf[static_cast<std::size_t>(old.row())], old.column()));
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int SortListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int SortListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant SortListModel::data(const QModelIndex& index, int nRole) const
{
    if (!index.isValid() || index.row() >= RowCount() || index.column() >= ColumnCount())
        return {};
    // The whole address as a tooltip: the Page column elides long ones.
    if (nRole == Qt::DisplayRole || (nRole == Qt::ToolTipRole && index.column() == 0))
        return Text(index.row(), index.column());
    return {};
}

QVariant SortListModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation != Qt::Horizontal || nSection < 0 || nSection >= ColumnCount())
        return {};
    if (nRole == Qt::DisplayRole)
        return ColumnName(nSection);
    if (nRole == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

}  // namespace plovik
