#pragma once
// The Qt list's model over the shared row store (ResultTable.h): the cells are the
// engine's bytes, shown as UTF-8 where they are valid and as Latin-1 where not; the
// label index and the sort are the store's, with the user's locale ordering texts.
// The list control's methods forward to it.

#include <QAbstractTableModel>
#include <QCollator>
#include <QString>

#include <string>
#include <vector>

#include "ResultTable.h"

namespace plovik {

// The cells of one row, in column order.
using RowData = ResultTable::Cells;

class SortListModel : public QAbstractTableModel {
public:
    explicit SortListModel(QObject* pParent = nullptr);
    ~SortListModel() override;

    // How cell bytes are shown.
    static QString TextOfBytes(const std::string& bytes);
    // The platform's locale-aware, case-sensitive text order, for two cells' bytes.
    static int CompareText(const std::string& a, const std::string& b);

    // ------------------------------------------------------------ columns
    // Columns can be added only while there are no rows.
    bool AddColumn(const QString& sName);
    int ColumnCount() const { return m_table.ColumnCount(); }
    QString ColumnName(int nColumn) const;

    // ------------------------------------------------------------ rows
    int RowCount() const { return m_table.RowCount(); }
    // Appends a row of exactly column-count cells; returns its index, or -1.
    int AddRow(std::vector<std::string> cells);
    // False for a cell that does not exist.
    bool SetText(int nRow, int nColumn, std::string strBytes);
    QString Text(int nRow, int nColumn) const;
    // The label bytes of a row; empty for a row that does not exist.
    std::string Label(int nRow) const { return m_table.Label(nRow); }
    const RowData* Row(int nRow) const { return m_table.Row(nRow); }
    void Clear();

    // First row whose label equals strLabel ignoring ASCII letter case, or -1.
    int FindRow(const std::string& strLabel) const { return m_table.FindRow(strLabel); }

    void Sort(int nColumn, bool bAscending);
    int SortColumn() const { return m_table.SortColumn(); }
    bool IsAscending() const { return m_table.IsAscending(); }

    // ------------------------------------------------------------ QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int nRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;

private:
    ResultTable m_table;
    // The user's locale as it is when a sort starts.
    QCollator m_collator;
};

}  // namespace plovik
