#include "CSortListCtrl.h"

#include "AppSettings.h"
#include "CSortHeaderCtrl.h"
#include "CellCompare.h"
#include "DialogUnits.h"
#include "TextFormat.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace plovik {

namespace {

// Long addresses differ at their end: the Page column elides in the middle.
class PageElidingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* pOption, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(pOption, index);
        if (index.column() == 0)
            pOption->textElideMode = Qt::ElideMiddle;
    }
};

// Horizontal dialog base unit of the 8-point font the templates' pixel widths were made for.
constexpr int kTemplateBaseX = 6;

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* pParent)
    : QTreeView(pParent), m_pHeader(new CSortHeaderCtrl(this)), m_pModel(new SortListModel(this))
{
    setHeader(m_pHeader);
    setModel(m_pModel);
    setItemDelegate(new PageElidingDelegate(this));
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

int CSortListCtrl::ColumnWidthFor(int nTemplateWidth, const QString& sTitle) const
{
    const long long nScaled =
        (static_cast<long long>(nTemplateWidth) * DialogUnits(font()).BaseX() + kTemplateBaseX / 2) / kTemplateBaseX;
    const int nWidth = static_cast<int>(std::clamp<long long>(nScaled, 0, 32767));
    return std::max(nWidth, m_pHeader->WidthForTitle(sTitle));
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
        if (!m_pModel->AddColumn(sName)) {
            ++m_nColumnCount;
            return false;
        }
        m_pHeader->resizeSection(m_pModel->ColumnCount() - 1, ColumnWidthFor(nWidth, sName));
        ++m_nColumnCount;
        nStart = nEnd + 1;
    }
}

int CSortListCtrl::AddItem(const std::vector<QString>& texts)
{
    std::vector<std::string> cells;
    cells.reserve(texts.size());
    for (const QString& s : texts)
        cells.push_back(s.toStdString());
    return m_pModel->AddRow(std::move(cells));
}

int CSortListCtrl::AddItemBytes(const std::vector<std::string>& cells)
{
    return m_pModel->AddRow(cells);
}

bool CSortListCtrl::SetItemText(int nRow, int nColumn, const QString& sText)
{
    return m_pModel->SetText(nRow, nColumn, sText.toStdString());
}

bool CSortListCtrl::SetItemBytes(int nRow, int nColumn, const std::string& sBytes)
{
    return m_pModel->SetText(nRow, nColumn, sBytes);
}

void CSortListCtrl::OnColumnClick(int nColumn)
{
    const bool bAscending = nColumn == GetSortColumn() ? !IsAscending() : true;
    SortColumn(nColumn, bAscending);
}

void CSortListCtrl::SortColumn(int nColumn, bool bAscending)
{
    m_pHeader->SetSortImage(nColumn, bAscending);
    m_pModel->Sort(nColumn, bAscending);
}

bool CSortListCtrl::LoadColumnWidths()
{
    auto pProfile = OpenProfile();
    const QVariant value = pProfile->value(QStringLiteral("ListCtrls/") + QString::number(m_nDlgCtrlId));
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
    const auto nColumn = static_cast<std::size_t>(list.GetSortColumn());
    return CompareCells(a[nColumn], b[nColumn], list.IsAscending(), &SortListModel::CompareText);
}

bool CSortListCtrl::IsNumber(const QString& s)
{
    return IsNumberText(s.toStdString());
}

bool CSortListCtrl::IsDate(const QString& s)
{
    return IsDateText(s.toStdString());
}

int CSortListCtrl::CompareNumbers(const QString& x, const QString& y)
{
    return CompareNumberTexts(x.toStdString(), y.toStdString());
}

int CSortListCtrl::CompareDates(const QString& x, const QString& y)
{
    return CompareDateTexts(x.toStdString(), y.toStdString());
}

void CSortListCtrl::contextMenuEvent(QContextMenuEvent* pEvent)
{
    pEvent->accept();
    if (pEvent->reason() == QContextMenuEvent::Keyboard) {
        PopupForCurrentRow();
        return;
    }
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(pEvent->globalPos()));
    emit RightClicked(index.isValid() ? index.row() : -1, pEvent->globalPos());
}

void CSortListCtrl::keyPressEvent(QKeyEvent* pEvent)
{
    const bool bShiftF10 = pEvent->key() == Qt::Key_F10 && pEvent->modifiers() == Qt::ShiftModifier;
    if (pEvent->key() == Qt::Key_Menu || bShiftF10) {
        pEvent->accept();
        PopupForCurrentRow();
        return;
    }
    QTreeView::keyPressEvent(pEvent);
}

void CSortListCtrl::PopupForCurrentRow()
{
    // Some platforms turn the Menu key into a context-menu request of their own as
    // well as the key press: one popup is enough.
    if (QApplication::activePopupWidget())
        return;
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        emit RightClicked(-1, viewport()->mapToGlobal(QPoint(0, 0)));
        return;
    }
    // The menu opens at the row, below its top edge, where a click would have put it.
    const QRect rowRect = visualRect(m_pModel->index(current.row(), 0));
    emit RightClicked(current.row(),
                      viewport()->mapToGlobal(QPoint(rowRect.left() + rowRect.height() / 2, rowRect.center().y())));
}

}  // namespace plovik
