#include "LinkTableView.h"

#include "LinkTableModel.h"

#include <QHeaderView>

namespace plovik {

LinkTableView::LinkTableView(LinkTable table, QWidget* pParent)
    : QTableView(pParent), m_pModel(new LinkTableModel(std::move(table), this))
{
    setModel(m_pModel);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    // The rows start in crawl order; the arrow appears with the first sort.
    horizontalHeader()->setSortIndicatorShown(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &LinkTableView::OnColumnClick);
}

const LinkTable& LinkTableView::Table() const
{
    return m_pModel->Table();
}

void LinkTableView::OnColumnClick(int nColumn)
{
    const LinkTable& table = m_pModel->Table();
    const bool bAscending = table.SortColumn() == nColumn ? !table.SortAscending() : true;
    const Qt::SortOrder order = bAscending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_pModel->sort(nColumn, order);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(nColumn, order);
}

}  // namespace plovik
