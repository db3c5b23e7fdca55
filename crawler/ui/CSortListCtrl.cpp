#include "CSortListCtrl.h"

#include "AppSettings.h"
#include "CSortHeaderCtrl.h"
#include "TextFormat.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QContextMenuEvent>

#include <algorithm>
#include <optional>

namespace plovik {

// The rows as the view sees them; the data lives in the list control.
class SortListModel : public QAbstractTableModel {
public:
    explicit SortListModel(CSortListCtrl& list) : QAbstractTableModel(&list), m_list(list) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_list.m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_list.m_columnNames.size());
    }
    QVariant data(const QModelIndex& index, int nRole) const override
    {
        if (nRole != Qt::DisplayRole || !index.isValid())
            return {};
        const RowData& row = *m_list.m_rows[static_cast<std::size_t>(index.row())];
        const auto nColumn = static_cast<std::size_t>(index.column());
        return nColumn < row.texts.size() ? QVariant(row.texts[nColumn]) : QVariant();
    }
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override
    {
        if (orientation != Qt::Horizontal || nSection < 0 ||
            nSection >= static_cast<int>(m_list.m_columnNames.size()))
            return {};
        if (nRole == Qt::DisplayRole)
            return m_list.m_columnNames[static_cast<std::size_t>(nSection)];
        if (nRole == Qt::TextAlignmentRole)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }

    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::changePersistentIndex;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endResetModel;
    using QAbstractTableModel::persistentIndexList;

private:
    CSortListCtrl& m_list;
};

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int Sign(long long n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }

std::int32_t CInt(const QString& s) { return ParseCInt32(s.toStdString()); }

// Everything the comparison needs from one cell, worked out once per row and sort
// instead of once per comparison.
struct CellKey {
    bool bNumber = false;
    bool bDate = false;
    std::int32_t nValue = 0;                  // C-style integer value
    std::int32_t nYear = 0, nMonth = 0, nDay = 0;  // the date parts, read the same way
    std::optional<QCollatorSortKey> text;

    // Date parts and text keys are only needed when some cell of the column is a
    // date or a text, since the first text of a pair decides the kind.
    CellKey(const QString& s, const QCollator& collator, bool bWithDate = true, bool bWithText = true)
        : bNumber(CSortListCtrl::IsNumber(s)), bDate(CSortListCtrl::IsDate(s)), nValue(CInt(s))
    {
        if (bWithDate) {
            nYear = CInt(s.mid(6, 4));
            nMonth = CInt(s.mid(3, 2));
            nDay = CInt(s.mid(0, 2));
        }
        if (bWithText)
            text = collator.sortKey(s);
    }
};

int CompareNumberKeys(const CellKey& x, const CellKey& y)
{
    return Sign(static_cast<long long>(x.nValue) - y.nValue);
}

int CompareDateKeys(const CellKey& x, const CellKey& y)
{
    if (x.nYear != y.nYear)
        return Sign(static_cast<long long>(x.nYear) - y.nYear);
    if (x.nMonth != y.nMonth)
        return Sign(static_cast<long long>(x.nMonth) - y.nMonth);
    return Sign(static_cast<long long>(x.nDay) - y.nDay);
}

// The kind of comparison is decided by a alone.
int CompareKeys(const CellKey& a, const CellKey& b, bool bAscending)
{
    if (a.bNumber)
        return bAscending ? CompareNumberKeys(a, b) : CompareNumberKeys(b, a);
    if (a.bDate)
        return bAscending ? CompareDateKeys(a, b) : CompareDateKeys(b, a);
    return Sign(bAscending ? a.text->compare(*b.text) : b.text->compare(*a.text));
}

// The platform's locale-aware, case-sensitive text order: the user's locale.
QCollator TextCollator()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// Stable bottom-up merge sort. It never reads outside the range, whatever the
// comparison answers: the comparison here is not a strict weak ordering.
template <class T, class Cmp>
void MergeSort(std::vector<T>& items, Cmp cmp)
{
    const std::size_t n = items.size();
    std::vector<T> buffer(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buffer[k++] = cmp(items[i], items[j]) > 0 ? items[j++] : items[i++];
            while (i < mid)
                buffer[k++] = items[i++];
            while (j < hi)
                buffer[k++] = items[j++];
        }
        items.swap(buffer);
    }
}

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* pParent)
    : QTreeView(pParent), m_pHeader(new CSortHeaderCtrl(this)), m_pModel(new SortListModel(*this))
{
    setHeader(m_pHeader);
    setModel(m_pModel);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    m_pHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_pHeader->setMinimumSectionSize(0);
    m_pHeader->setSectionsClickable(true);  // setSortingEnabled(false) turned it off
    connect(m_pHeader, &QHeaderView::sectionClicked, this, &CSortListCtrl::OnColumnClick);
}

CSortListCtrl::~CSortListCtrl() = default;

QString CSortListCtrl::GetColumnName(int nColumn) const
{
    if (nColumn < 0 || nColumn >= static_cast<int>(m_columnNames.size()))
        return {};
    return m_columnNames[static_cast<std::size_t>(nColumn)];
}

bool CSortListCtrl::SetHeadings(const QString& sLayout)
{
    // Columns can only be added while the list has no rows: every row holds
    // exactly column-count texts.
    qsizetype nStart = 0;
    for (;;) {
        const qsizetype nComma = sLayout.indexOf(QLatin1Char(','), nStart);
        if (nComma < 0)
            return true;
        const QString sName = sLayout.mid(nStart, nComma - nStart);
        qsizetype nEnd = sLayout.indexOf(QLatin1Char(';'), nComma + 1);
        if (nEnd < 0)
            nEnd = sLayout.size();
        const int nWidth = ParseCInt32(sLayout.mid(nComma + 1, nEnd - nComma - 1).toStdString());
        if (!m_rows.empty()) {
            ++m_nColumnCount;
            return false;
        }
        const int nIndex = static_cast<int>(m_columnNames.size());
        m_pModel->beginInsertColumns({}, nIndex, nIndex);
        m_columnNames.push_back(sName);
        m_pModel->endInsertColumns();
        m_pHeader->resizeSection(nIndex, std::clamp(nWidth, 0, 32767));
        ++m_nColumnCount;
        nStart = nEnd + 1;
    }
}

int CSortListCtrl::AddItem(const std::vector<QString>& texts)
{
    if (m_columnNames.empty() || texts.size() != m_columnNames.size())
        return -1;
    auto pRow = std::make_unique<RowData>();
    pRow->texts = texts;
    const int nRow = static_cast<int>(m_rows.size());
    pRow->nRow = nRow;
    m_pModel->beginInsertRows({}, nRow, nRow);
    RowData* pRaw = pRow.get();
    m_rows.push_back(std::move(pRow));
    IndexLabel(pRaw);
    m_pModel->endInsertRows();
    return nRow;
}

bool CSortListCtrl::SetItemText(int nRow, int nColumn, const QString& sText)
{
    if (nRow < 0 || nRow >= static_cast<int>(m_rows.size()) || nColumn < 0 ||
        nColumn >= static_cast<int>(m_columnNames.size()))
        return false;
    RowData* pRow = m_rows[static_cast<std::size_t>(nRow)].get();
    QString& sCell = pRow->texts[static_cast<std::size_t>(nColumn)];
    if (sCell == sText)
        return true;
    if (nColumn == 0) {
        UnindexLabel(pRow);
        sCell = sText;
        IndexLabel(pRow);
    } else {
        sCell = sText;
    }
    const QModelIndex index = m_pModel->index(nRow, nColumn);
    emit m_pModel->dataChanged(index, index, {Qt::DisplayRole});
    return true;
}

QString CSortListCtrl::GetItemText(int nRow, int nColumn) const
{
    if (nRow < 0 || nRow >= static_cast<int>(m_rows.size()) || nColumn < 0 ||
        nColumn >= static_cast<int>(m_columnNames.size()))
        return {};
    return m_rows[static_cast<std::size_t>(nRow)]->texts[static_cast<std::size_t>(nColumn)];
}

void CSortListCtrl::DeleteAllItems()
{
    m_pModel->beginResetModel();
    m_labelIndex.clear();
    m_rows.clear();
    m_pModel->endResetModel();
}

void CSortListCtrl::IndexLabel(RowData* pRow)
{
    m_labelIndex[LowerAscii(pRow->texts[0].toStdString())].push_back(pRow);
}

void CSortListCtrl::UnindexLabel(RowData* pRow)
{
    const auto it = m_labelIndex.find(LowerAscii(pRow->texts[0].toStdString()));
    if (it == m_labelIndex.end())
        return;
    auto& rows = it->second;
    rows.erase(std::remove(rows.begin(), rows.end(), pRow), rows.end());
    if (rows.empty())
        m_labelIndex.erase(it);
}

int CSortListCtrl::FindItem(const std::string& sLabelUtf8) const
{
    const auto it = m_labelIndex.find(LowerAscii(sLabelUtf8));
    if (it == m_labelIndex.end())
        return -1;
    int nFirst = -1;
    for (const RowData* pRow : it->second)
        if (nFirst == -1 || pRow->nRow < nFirst)
            nFirst = pRow->nRow;
    return nFirst;
}

void CSortListCtrl::OnColumnClick(int nColumn)
{
    const bool bAscending = nColumn == m_nSortColumn ? !m_bSortAscending : true;
    SortColumn(nColumn, bAscending);
}

void CSortListCtrl::SortColumn(int nColumn, bool bAscending)
{
    m_nSortColumn = nColumn;
    m_bSortAscending = bAscending;
    m_pHeader->SetSortImage(nColumn, bAscending);
    if (nColumn < 0 || nColumn >= static_cast<int>(m_columnNames.size()) || m_rows.size() < 2)
        return;

    emit m_pModel->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QCollator collator = TextCollator();
    std::vector<CellKey> keys;
    keys.reserve(m_rows.size());
    bool bAnyDate = false, bAnyText = false;
    for (const auto& pRow : m_rows) {
        const QString& sCell = pRow->texts[static_cast<std::size_t>(nColumn)];
        if (!IsNumber(sCell)) {
            const bool bDate = IsDate(sCell);
            bAnyDate = bAnyDate || bDate;
            bAnyText = bAnyText || !bDate;
        }
    }
    for (const auto& pRow : m_rows)
        keys.emplace_back(pRow->texts[static_cast<std::size_t>(nColumn)], collator, bAnyDate, bAnyText);
    std::vector<int> order(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    MergeSort(order, [&](int a, int b) {
        return CompareKeys(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)], bAscending);
    });

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

    const QModelIndexList persistent = m_pModel->persistentIndexList();
    for (const QModelIndex& index : persistent) {
        if (!index.isValid())
            continue;
        const int nNew = newRowOf[static_cast<std::size_t>(index.row())];
        m_pModel->changePersistentIndex(index, m_pModel->index(nNew, index.column()));
    }
    emit m_pModel->layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool CSortListCtrl::LoadColumnWidths()
{
    auto pProfile = OpenProfile();
    const QVariant value =
        pProfile->value(QStringLiteral("ListCtrls/") + QString::number(m_nDlgCtrlId));
    if (!value.isValid())
        return false;
    const QByteArray bytes = value.toByteArray();
    if (bytes.isEmpty())
        return false;
    const bool bApplied = m_pHeader->Serialize(bytes);
    m_pHeader->viewport()->update();
    return bApplied;
}

int CSortListCtrl::CompareItems(const RowData& a, const RowData& b, const CSortListCtrl& list)
{
    const auto nColumn = static_cast<std::size_t>(list.m_nSortColumn);
    const QCollator collator = TextCollator();
    return CompareKeys(CellKey(a.texts[nColumn], collator), CellKey(b.texts[nColumn], collator),
                       list.m_bSortAscending);
}

bool CSortListCtrl::IsNumber(const QString& s)
{
    return std::all_of(s.begin(), s.end(), IsDigit);
}

bool CSortListCtrl::IsDate(const QString& s)
{
    if (s.size() != 10)
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(s[i]))
            return false;
    return s[2] == QLatin1Char('/') && s[5] == QLatin1Char('/');
}

int CSortListCtrl::CompareNumbers(const QString& x, const QString& y)
{
    return Sign(static_cast<long long>(CInt(x)) - CInt(y));
}

int CSortListCtrl::CompareDates(const QString& x, const QString& y)
{
    // Only the first text is known to be a date: the other one's parts are read with
    // the C-style conversion, and a part beyond its end counts as 0.
    const QCollator collator = TextCollator();
    return CompareDateKeys(CellKey(x, collator), CellKey(y, collator));
}

void CSortListCtrl::contextMenuEvent(QContextMenuEvent* pEvent)
{
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(pEvent->globalPos()));
    emit RightClicked(index.isValid() ? index.row() : -1, pEvent->globalPos());
    pEvent->accept();
}

}  // namespace plovik
