#include "SortListModel.h"

#include "ItemComparison.h"
#include "TextFormat.h"

#include <QStringDecoder>

#include <algorithm>

namespace plovik {

SortListModel::SortListModel(QObject* pParent) : QAbstractTableModel(pParent)
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

QString SortListModel::ColumnName(int nColumn) const
{
    if (nColumn < 0 || nColumn >= ColumnCount())
        return {};
    return m_columnNames[static_cast<std::size_t>(nColumn)];
}

bool SortListModel::AddColumn(const QString& sName)
{
    if (!m_rows.empty())
        return false;
    const int nIndex = ColumnCount();
    beginInsertColumns({}, nIndex, nIndex);
    m_columnNames.push_back(sName);
    endInsertColumns();
    return true;
}

bool SortListModel::IsCell(int nRow, int nColumn) const
{
    return nRow >= 0 && nRow < RowCount() && nColumn >= 0 && nColumn < ColumnCount();
}

int SortListModel::AddRow(std::vector<QString> texts, std::string strLabel)
{
    if (m_columnNames.empty() || texts.size() != m_columnNames.size())
        return -1;
    auto pRow = std::make_unique<RowData>();
    pRow->texts = std::move(texts);
    pRow->strLabel = std::move(strLabel);
    const int nRow = RowCount();
    pRow->nRow = nRow;
    beginInsertRows({}, nRow, nRow);
    IndexLabel(pRow.get());
    m_rows.push_back(std::move(pRow));
    endInsertRows();
    return nRow;
}

bool SortListModel::SetText(int nRow, int nColumn, const QString& sText, const std::string& strLabel)
{
    if (!IsCell(nRow, nColumn))
        return false;
    RowData* pRow = m_rows[static_cast<std::size_t>(nRow)].get();
    QString& sCell = pRow->texts[static_cast<std::size_t>(nColumn)];
    if (nColumn == 0) {
        if (pRow->strLabel == strLabel && sCell == sText)
            return true;
        UnindexLabel(pRow);
        pRow->strLabel = strLabel;
        IndexLabel(pRow);
    } else if (sCell == sText) {
        return true;
    }
    sCell = sText;
    const QModelIndex changed = index(nRow, nColumn);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
    return true;
}

QString SortListModel::Text(int nRow, int nColumn) const
{
    if (!IsCell(nRow, nColumn))
        return {};
    return m_rows[static_cast<std::size_t>(nRow)]->texts[static_cast<std::size_t>(nColumn)];
}

std::string SortListModel::Label(int nRow) const
{
    const RowData* pRow = Row(nRow);
    return pRow ? pRow->strLabel : std::string();
}

const RowData* SortListModel::Row(int nRow) const
{
    if (nRow < 0 || nRow >= RowCount())
        return nullptr;
    return m_rows[static_cast<std::size_t>(nRow)].get();
}

void SortListModel::Clear()
{
    beginResetModel();
    m_labelIndex.clear();
    m_rows.clear();
    endResetModel();
}

void SortListModel::IndexLabel(RowData* pRow)
{
    m_labelIndex[LowerAscii(pRow->strLabel)].push_back(pRow);
}

void SortListModel::UnindexLabel(RowData* pRow)
{
    const auto it = m_labelIndex.find(LowerAscii(pRow->strLabel));
    if (it == m_labelIndex.end())
        return;
    auto& rows = it->second;
    rows.erase(std::remove(rows.begin(), rows.end(), pRow), rows.end());
    if (rows.empty())
        m_labelIndex.erase(it);
}

int SortListModel::FindRow(const std::string& strLabel) const
{
    const auto it = m_labelIndex.find(LowerAscii(strLabel));
    if (it == m_labelIndex.end())
        return -1;
    int nFirst = -1;
    for (const RowData* pRow : it->second)
        if (nFirst == -1 || pRow->nRow < nFirst)
            nFirst = pRow->nRow;
    return nFirst;
}

void SortListModel::Sort(int nColumn, bool bAscending)
{
    m_nSortColumn = nColumn;
    m_bSortAscending = bAscending;
    if (nColumn < 0 || nColumn >= ColumnCount() || m_rows.size() < 2)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<const QString*> cells;
    cells.reserve(m_rows.size());
    for (const auto& pRow : m_rows)
        cells.push_back(&pRow->texts[static_cast<std::size_t>(nColumn)]);
    const std::vector<int> order = SortedOrder(cells, bAscending);

    std::vector<int> newRowOf(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    std::vector<std::unique_ptr<RowData>> sorted(m_rows.size());
    for (auto& pRow : m_rows) {
        const int nNew = newRowOf[static_cast<std::size_t>(pRow->nRow)];
        pRow->nRow = nNew;
        sorted[static_cast<std::size_t>(nNew)] = std::move(pRow);
    }
    m_rows.swap(sorted);

    for (const QModelIndex& old : persistentIndexList()) {
        if (old.isValid())
            changePersistentIndex(old, index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
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
    if (!index.isValid() || !IsCell(index.row(), index.column()))
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
