#pragma once
// The rows of a link view (a page's links, the broken links): headings, which
// columns hold numbers, and the texts of each row. Sorted by any column, stably, so
// that sorting by one column and then another keeps the first order among equals;
// written out as CSV.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace plovik {

class LinkTable {
public:
    struct Column {
        std::string strHeading;
        bool bNumber = false;  // compared by integer value ("-1" before "0" before "404")
    };

    LinkTable() = default;
    explicit LinkTable(std::vector<Column> columns) : m_columns(std::move(columns)) {}

    // A row with one text per column: missing texts are empty, extra ones dropped.
    void AddRow(std::vector<std::string> cells);

    std::size_t ColumnCount() const { return m_columns.size(); }
    std::size_t RowCount() const { return m_rows.size(); }
    const Column& ColumnAt(std::size_t nColumn) const { return m_columns[nColumn]; }
    const std::string& Cell(std::size_t nRow, std::size_t nColumn) const { return m_rows[nRow][nColumn]; }

    // Numbers by value, other texts byte by byte; ties keep their present order.
    // A column out of range changes nothing.
    void SortBy(std::size_t nColumn, bool bAscending);
    // -1 until the first sort.
    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return m_bAscending; }

    // The headings, then one line per row in the present order, fields quoted as the
    // command line's CSV quotes them.
    void WriteCsv(std::ostream& out) const;

private:
    std::vector<Column> m_columns;
    std::vector<std::vector<std::string>> m_rows;
    int m_nSortColumn = -1;
    bool m_bAscending = true;
};

}  // namespace plovik
