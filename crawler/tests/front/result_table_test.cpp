// The rows every front end keeps: cells as bytes, the label index, and the list's
// stable sort with the text order the toolkit gives.

#include <gtest/gtest.h>

#include <cstring>

#include "ResultTable.h"

using namespace plovik;

namespace {

int ByteCompare(const std::string& a, const std::string& b)
{
    return std::strcmp(a.c_str(), b.c_str());
}

ResultTable TwoColumns()
{
    ResultTable table(ByteCompare);
    table.AddColumn("Page");
    table.AddColumn("N");
    return table;
}

std::vector<std::string> Column(const ResultTable& table, int nColumn)
{
    std::vector<std::string> cells;
    for (int i = 0; i < table.RowCount(); ++i)
        cells.push_back(table.Cell(i, nColumn));
    return cells;
}

TEST(ResultTable, RowsHoldExactlyColumnCountCellsAndRefuseMissingCells)
{
    ResultTable table = TwoColumns();
    EXPECT_EQ(table.AddRow({"a"}), -1);
    EXPECT_EQ(table.AddRow({"a", "1", "x"}), -1);
    EXPECT_EQ(table.AddRow({"a", "1"}), 0);
    EXPECT_FALSE(table.AddColumn("late")) << "columns only while there are no rows";
    EXPECT_EQ(table.ColumnCount(), 2);
    EXPECT_FALSE(table.SetCell(-1, 1, "x"));
    EXPECT_FALSE(table.SetCell(1, 1, "x"));
    EXPECT_FALSE(table.SetCell(0, 2, "x"));
    EXPECT_EQ(table.Cell(0, 1), "1");
    EXPECT_EQ(table.Cell(5, 0), "");
    EXPECT_EQ(table.Row(1), nullptr);
    EXPECT_EQ(table.ColumnName(1), "N");
    EXPECT_EQ(table.ColumnName(2), "");
    const std::string latin1 = "host/caf\xE9";
    EXPECT_TRUE(table.SetCell(0, 0, latin1));
    EXPECT_EQ(table.Label(0), latin1) << "bytes are kept as they are";
}

TEST(ResultTable, LabelsAreFoundIgnoringCaseFirstRowFirst)
{
    ResultTable table = TwoColumns();
    table.AddRow({"host/A", "1"});
    table.AddRow({"host/b", "2"});
    table.AddRow({"HOST/a", "3"});
    struct Case {
        const char* pLabel;
        int nRow;
    };
    for (const Case& c : {Case{"host/a", 0}, Case{"HOST/B", 1}, Case{"host/c", -1}, Case{"", -1}})
        EXPECT_EQ(table.FindRow(c.pLabel), c.nRow) << c.pLabel;

    table.SetCell(0, 0, "host/c");
    EXPECT_EQ(table.FindRow("host/a"), 2) << "the old label leaves the index";
    EXPECT_EQ(table.FindRow("host/C"), 0);
    table.SetCell(1, 1, "host/a");
    EXPECT_EQ(table.FindRow("host/a"), 2) << "only the label column is indexed";

    table.Clear();
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.FindRow("host/c"), -1);
}

TEST(ResultTable, SortFollowsTheListsRules)
{
    struct Case {
        const char* pName;
        std::vector<std::string> cells;  // column 1, in the order added
        bool bAscending;
        std::vector<std::string> sorted;
    };
    const Case cases[] = {
        {"numbers by value", {"10", "9", "100"}, true, {"9", "10", "100"}},
        {"numbers descending", {"10", "9", "100"}, false, {"100", "10", "9"}},
        {"PR texts as text", {"9.000", "10.000"}, true, {"10.000", "9.000"}},
        {"dates month before day", {"01/04/2008", "05/03/2008"}, true, {"05/03/2008", "01/04/2008"}},
        {"empty is the number 0", {"3", ""}, true, {"", "3"}},
        {"text with the injected order", {"b", "B", "a"}, true, {"B", "a", "b"}},
    };
    for (const Case& c : cases) {
        ResultTable table = TwoColumns();
        for (std::size_t i = 0; i < c.cells.size(); ++i)
            table.AddRow({"row" + std::to_string(i), c.cells[i]});
        table.Sort(1, c.bAscending);
        EXPECT_EQ(Column(table, 1), c.sorted) << c.pName;
        EXPECT_EQ(table.SortColumn(), 1) << c.pName;
        EXPECT_EQ(table.IsAscending(), c.bAscending) << c.pName;
    }
}

TEST(ResultTable, SortIsStableMovesWholeRowsAndKeepsTheIndexRight)
{
    ResultTable table = TwoColumns();
    const char* const rows[][2] = {{"e", "2"}, {"d", "1"}, {"c", "2"}, {"b", "1"}, {"a", "2"}};
    for (const auto& row : rows)
        table.AddRow({row[0], row[1]});
    const std::vector<int> newIndexOf = table.Sort(1, true);
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"d", "b", "e", "c", "a"}));
    EXPECT_EQ(newIndexOf, (std::vector<int>{2, 0, 3, 1, 4}));
    for (int i = 0; i < table.RowCount(); ++i)
        EXPECT_EQ(table.FindRow(table.Label(i)), i) << table.Label(i);

    table.Sort(1, false);
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"e", "c", "a", "d", "b"})) << "equal rows keep their order";
    EXPECT_EQ(table.AddRow({"z", "9"}), 5) << "a row added after a sort goes to the end";
    EXPECT_EQ(table.FindRow("Z"), 5);

    EXPECT_EQ(table.Sort(7, true), (std::vector<int>{0, 1, 2, 3, 4, 5})) << "no such column: nothing moves";
}

TEST(ResultTable, FirstTextOfAPairChoosesTheKindWithoutBreakingTheSort)
{
    // "12" against "-1" compares as numbers, "-1" against "12" as text: the order is
    // no strict weak ordering, and every row must still come out exactly once.
    ResultTable table = TwoColumns();
    const char* const cells[] = {"12", "-1", "x", "", "05/03/2008", "7", "-1", "abc"};
    for (const char* p : cells)
        table.AddRow({p, p});
    table.Sort(1, true);
    std::vector<std::string> sorted = Column(table, 1);
    std::vector<std::string> added(std::begin(cells), std::end(cells));
    std::sort(sorted.begin(), sorted.end());
    std::sort(added.begin(), added.end());
    EXPECT_EQ(sorted, added);
}

}  // namespace
