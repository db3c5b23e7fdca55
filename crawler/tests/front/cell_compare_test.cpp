// The results list's order of two cell texts, as a window that compares texts itself
// sorts them.

#include <gtest/gtest.h>

#include <cstring>

#include "CellCompare.h"

using namespace plovik;

namespace {

int ByteCompare(const std::string& a, const std::string& b)
{
    return std::strcmp(a.c_str(), b.c_str());
}

int Sign(int n)
{
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

TEST(CompareCells, TheFirstTextChoosesTheKind)
{
    struct Case {
        const char* a;
        const char* b;
        bool bAscending;
        int nExpected;
    };
    const Case cases[] = {
        {"9", "10", true, -1},                   // numbers
        {"9", "10", false, 1},                   // reversed
        {"10.000", "9.000", true, -1},           // PR texts compare as text
        {"12", "-1", true, 1},                   // a number first: numeric
        {"-1", "12", true, -1},                  // text first: as text ('-' < '1')
        {"", "3", true, -1},                     // empty is the number 0
        {"05/03/2008", "01/04/2008", true, -1},  // month before day
        {"01/04/2008", "05/03/2008", false, -1},
        {"31/12/2007", "01/01/2008", true, -1},  // year first
        {"b", "a", true, 1},
        {"7", "7", true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sign(CompareCells(c.a, c.b, c.bAscending, ByteCompare)), c.nExpected)
            << c.a << " vs " << c.b << (c.bAscending ? " ascending" : " descending");
}

TEST(CompareCells, Recognisers)
{
    EXPECT_TRUE(IsNumberText(""));
    EXPECT_TRUE(IsNumberText("0042"));
    EXPECT_FALSE(IsNumberText("-1"));
    EXPECT_FALSE(IsNumberText("1.5"));
    EXPECT_TRUE(IsDateText("05/03/2008"));
    EXPECT_FALSE(IsDateText("5/03/2008"));
    EXPECT_FALSE(IsDateText("05-03-2008"));
}

}  // namespace
