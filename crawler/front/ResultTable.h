#pragma once
// The rows of a results list, as the engine's bytes: every cell text, an index of the
// row labels (column 0) ignoring ASCII letter case, and the list's stable in-place
// sort by any column (CellCompare.h). The headless table, the Qt list's model and
// the Win32 list each keep one and show it; the toolkit gives only its text order.

#include <string>
#include <unordered_map>
#include <vector>

#include "CellCompare.h"

namespace plovik {

class ResultTable {
public:
    using Cells = std::vector<std::string>;

    // compareText orders two texts that are neither numbers nor dates.
    explicit ResultTable(TextCompare compareText);

    // ------------------------------------------------------------ columns
    // Columns can be added only while there are no rows.
    bool AddColumn(std::string strName);
    int ColumnCount() const { return static_cast<int>(m_columnNames.size()); }
    // Empty for a column that does not exist.
    const std::string& ColumnName(int nColumn) const;

    // ------------------------------------------------------------ rows
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // Appends a row of exactly column-count cells; its index, or -1.
    int AddRow(Cells cells);
    // False, and nothing changes, for a cell that does not exist.
    bool SetCell(int nRow, int nColumn, std::string strText);
    // Empty for a cell that does not exist.
    const std::string& Cell(int nRow, int nColumn) const;
    const std::string& Label(int nRow) const { return Cell(nRow, 0); }
    // Null for a row that does not exist.
    const Cells* Row(int nRow) const;
    void Clear();

    // First row whose label equals strLabel ignoring ASCII letter case, or -1.
    int FindRow(const std::string& strLabel) const;

    // ------------------------------------------------------------ sort
    // Stable: rows that compare equal keep their order. Returns where each row went:
    // element i is the new index of the row that was at i. Rows added later go to the
    // end; changed cells do not move their rows.
    std::vector<int> Sort(int nColumn, bool bAscending);
    int SortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bAscending; }

private:
    bool IsCell(int nRow, int nColumn) const;
    void Index(int nRow);
    void Unindex(int nRow);

    TextCompare m_compareText;
    std::vector<std::string> m_columnNames;
    std::vector<Cells> m_rows;
    // Each row has an id for its life, so a sort moves no entry of the index.
    std::vector<int> m_idOfRow;
    std::vector<int> m_rowOfId;
    // Label in ASCII lower case -> the ids of the rows with that label.
    std::unordered_map<std::string, std::vector<int>> m_labelIndex;
    int m_nSortColumn = -1;
    bool m_bAscending = true;
};

}  // namespace plovik
