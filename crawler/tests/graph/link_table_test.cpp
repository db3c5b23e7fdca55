// The link views' table: sorting by any column (numbers by value, stably in both
// directions) and its CSV.

#include <gtest/gtest.h>

#include <sstream>

#include "LinkTable.h"

using namespace plovik;

namespace {

LinkTable Sample()
{
    LinkTable table({{"Page", false}, {"Status", true}});
    table.AddRow({"b", "404"});
    table.AddRow({"a", "-1"});
    table.AddRow({"c", "200"});
    table.AddRow({"a", "30"});
    table.AddRow({"B", "0"});
    table.AddRow({"d", "404"});
    return table;
}

std::string Column(const LinkTable& table, std::size_t nColumn)
{
    std::string out;
    for (std::size_t r = 0; r < table.RowCount(); ++r)
        out += (r ? " " : "") + table.Cell(r, nColumn);
    return out;
}

}  // namespace

TEST(LinkTable, SortsByAnyColumnNumbersByValueAndTiesInTheirOrder)
{
    struct Row {
        const char* name;
        std::vector<std::pair<std::size_t, bool>> sorts;  // applied in turn
        std::size_t nShown;
        const char* expected;
    };
    const Row rows[] = {
        {"status ascending", {{1, true}}, 1, "-1 0 30 200 404 404"},
        {"status descending", {{1, false}}, 1, "404 404 200 30 0 -1"},
        {"equal statuses keep their order ascending", {{1, true}}, 0, "a B a c b d"},
        {"equal statuses keep their order descending", {{1, false}}, 0, "b d c a B a"},
        {"text byte by byte, capitals first", {{0, true}}, 0, "B a a b c d"},
        {"text descending", {{0, false}}, 0, "d c b a a B"},
        {"a second sort keeps the first among equals", {{1, false}, {0, true}}, 1, "0 30 -1 404 200 404"},
        {"a column beyond the table changes nothing", {{7, true}}, 0, "b a c a B d"},
    };
    for (const Row& row : rows) {
        LinkTable table = Sample();
        for (const auto& sort : row.sorts)
            table.SortBy(sort.first, sort.second);
        EXPECT_EQ(Column(table, row.nShown), row.expected) << row.name;
    }
}

TEST(LinkTable, RemembersTheLastSort)
{
    LinkTable table = Sample();
    EXPECT_EQ(table.SortColumn(), -1);
    table.SortBy(1, false);
    EXPECT_EQ(table.SortColumn(), 1);
    EXPECT_FALSE(table.SortAscending());
    table.SortBy(9, true);
    EXPECT_EQ(table.SortColumn(), 1);
}

TEST(LinkTable, NumbersThatAreNotDigitsCountAsTheirLeadingValue)
{
    LinkTable table({{"N", true}});
    for (const char* s : {"12", "", "x", "3", "99999999999"})
        table.AddRow({s});
    table.SortBy(0, true);
    // Empty and letters are 0 and keep their order; overflow saturates, never wraps.
    EXPECT_EQ(Column(table, 0), " x 3 12 99999999999");
}

TEST(LinkTable, CsvQuotesFieldsLikeTheCommandLine)
{
    LinkTable table({{"Page", false}, {"Href, as written", false}});
    table.AddRow({"http://h/a", "say \"hi\""});
    table.AddRow({"line\nbreak", "plain"});
    table.AddRow({"short"});  // a missing text is an empty field
    std::ostringstream out;
    table.WriteCsv(out);
    EXPECT_EQ(out.str(),
              "Page,\"Href, as written\"\n"
              "http://h/a,\"say \"\"hi\"\"\"\n"
              "\"line\nbreak\",plain\n"
              "short,\n");
}
