// The shared row logic of both front ends, the address checks of the Crawl command,
// and the number texts.

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "CrawlNotifier.h"
#include "ProgressRows.h"
#include "StartAddress.h"
#include "TableRowSink.h"
#include "TextFormat.h"

using namespace plovik;

namespace {

PageRecord Record(const std::string& strUrl, std::int32_t nStatus = 0, std::int32_t nOut = 0, std::int32_t nDepth = 0)
{
    PageRecord r;
    r.strUrl = strUrl;
    r.nStatus = nStatus;
    r.nOutLinks = nOut;
    r.nDepth = nDepth;
    return r;
}

TEST(ProgressRows, PageAddedMakesOneRowPerAddressIgnoringCase)
{
    TableRowSink sink(3);
    ProgressRows rows(sink);
    PageRecord a = Record("http://host/A.html", 200, 4, 1);
    a.inLinks = {&a, &a};
    EXPECT_EQ(rows.OnCrawlProgress(CP_PAGE_ADDED, &a, 0), 0);
    const PageRecord same = Record("http://HOST/a.HTML");
    EXPECT_EQ(rows.OnCrawlProgress(CP_PAGE_ADDED, &same, 0), -1);
    ASSERT_EQ(sink.Rows().size(), 1u);
    EXPECT_EQ(sink.Rows()[0], (ResultRow{"host/A.html", "-", "2", "4", "1", "200"}));

    // Updates for the other spelling land on the first row.
    PageRecord upper = Record("http://HOST/a.HTML", 404, 7);
    upper.fNewRank = 0.27749997f;
    rows.OnCrawlProgress(CP_PAGE_FETCHED, &upper, 0);
    rows.OnCrawlProgress(CP_RANK_CHANGED, &upper, 0);
    EXPECT_EQ(sink.Rows()[0], (ResultRow{"host/A.html", "0.277", "2", "7", "1", "404"}));
}

TEST(ProgressRows, UpdatesForUnknownRowsChangeNothing)
{
    TableRowSink sink(3);
    ProgressRows rows(sink);
    const PageRecord known = Record("http://host/");
    rows.OnCrawlProgress(CP_PAGE_ADDED, &known, 0);
    const PageRecord unknown = Record("http://elsewhere/", 500, 3);
    for (int nCode : {CP_RANK_CHANGED, CP_INLINKS_CHANGED, CP_PAGE_FETCHED})
        rows.OnCrawlProgress(nCode, &unknown, 0);
    ASSERT_EQ(sink.Rows().size(), 1u);
    EXPECT_EQ(sink.Rows()[0], (ResultRow{"host/", "-", "0", "0", "0", "0"}));
    EXPECT_EQ(rows.OnCrawlProgress(99, &unknown, 0), 0);
}

TEST(ProgressRows, AWholeIterationDoesWhatItsPerRecordMessagesWould)
{
    // Table order: "A" sorts before "B" and "a"; "A" and "a" share a row, and the
    // later of them in the table sets it, as their messages would.
    PageRecord upper = Record("http://host/A"), other = Record("http://host/B"), lower = Record("http://host/a");
    const PageRecord stranger = Record("http://elsewhere/");
    const std::vector<PageRecord*> pages = {&lower, &upper, &other};
    const std::vector<std::uint32_t> order = {1, 2, 0};
    const std::vector<float> ranks = {0.27749997f, 1.0f, 0.14999998f};
    TableRowSink whole(3), perRecord(3);
    ProgressRows wholeRows(whole), perRecordRows(perRecord);
    for (ProgressRows* pRows : {&wholeRows, &perRecordRows}) {
        pRows->OnCrawlProgress(CP_PAGE_ADDED, &lower, 0);
        pRows->OnCrawlProgress(CP_PAGE_ADDED, &other, 0);
        pRows->OnCrawlProgress(CP_PAGE_ADDED, &stranger, 0);
        pRows->OnCrawlProgress(CP_CALC_START, nullptr, 0);
    }
    wholeRows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0, nullptr);
    EXPECT_EQ(whole.Rows()[0][COL_PR], "-") << "no ranks, no change";
    const RankIteration iteration(order, pages, ranks);
    wholeRows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0, &iteration);
    for (std::size_t k = 0; k < order.size(); ++k) {
        PageRecord record = *pages[order[k]];
        record.fNewRank = ranks[order[k]];
        perRecordRows.OnCrawlProgress(CP_RANK_CHANGED, &record, 0);
    }
    perRecordRows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0);
    perRecordRows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0);
    EXPECT_EQ(whole.Rows(), perRecord.Rows());
    EXPECT_EQ(whole.Rows()[0][COL_PR], "0.277");
    EXPECT_EQ(whole.Rows()[1][COL_PR], "0.150");
    EXPECT_EQ(whole.Rows()[2][COL_PR], "-");
    EXPECT_EQ(whole.ProgressPos(), 2);
    EXPECT_EQ(whole.StatusText(), "Completing calculation iteration 2 of 3");
}

TEST(ProgressRows, ProgressAndStatusTexts)
{
    TableRowSink sink(3);
    ProgressRows rows(sink);
    rows.ResetProgress(0x10005);
    EXPECT_EQ(sink.ProgressHigh(), 5);
    const PageRecord page = Record("http://host/");
    rows.OnCrawlProgress(CP_PAGE_DONE, &page, 0);
    rows.OnCrawlProgress(CP_PAGE_DONE, &page, 0);
    EXPECT_EQ(sink.ProgressPos(), 2);
    EXPECT_EQ(sink.StatusText(), "Scanning http://host/");
    rows.OnCrawlProgress(CP_CALC_START, nullptr, 0);
    EXPECT_EQ(sink.ProgressPos(), 0);
    EXPECT_EQ(sink.ProgressHigh(), 3);
    EXPECT_EQ(sink.StatusText(), "");
    const char* const texts[] = {"Completing calculation iteration 1 of 3", "Completing calculation iteration 2 of 3",
                                 "Completing calculation iteration 3 of 3"};
    for (const char* p : texts) {
        rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0);
        EXPECT_EQ(sink.StatusText(), p);
    }
    rows.OnCrawlProgress(CP_CALC_DONE, nullptr, 149);
    EXPECT_EQ(sink.StatusText(), "Completed. Total PR = 0.149");
}

// The position is the bar's, held within its range: when the iterations setting
// shrinks during the calculation, the bar stays full and the text keeps its count.
TEST(ProgressRows, PositionIsKeptWithinTheRangeWithoutReadingTheDisplay)
{
    struct Case {
        std::uint32_t nIterationsSetting;
        int nIterationsDone;
        int nPos;
        const char* pText;
    };
    const Case cases[] = {
        {3, 2, 2, "Completing calculation iteration 2 of 3"}, {2, 2, 2, "Completing calculation iteration 2 of 2"},
        {2, 3, 2, "Completing calculation iteration 3 of 2"}, {2, 5, 2, "Completing calculation iteration 3 of 2"},
        {0, 1, 0, "Completing calculation iteration 1 of 0"},
    };
    for (const Case& c : cases) {
        TableRowSink sink(c.nIterationsSetting);
        ProgressRows rows(sink);
        rows.OnCrawlProgress(CP_CALC_START, nullptr, 0);
        for (int i = 0; i < c.nIterationsDone; ++i)
            rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0);
        EXPECT_EQ(rows.ProgressPos(), c.nPos) << c.pText;
        EXPECT_EQ(sink.ProgressPos(), c.nPos) << c.pText;
        EXPECT_EQ(sink.StatusText(), c.pText);
    }
    // A page phase beyond its range stops at the range's end.
    TableRowSink sink(3);
    ProgressRows rows(sink);
    rows.ResetProgress(2);
    const PageRecord page = Record("http://host/");
    for (int i = 0; i < 4; ++i)
        rows.OnCrawlProgress(CP_PAGE_DONE, &page, 0);
    EXPECT_EQ(rows.ProgressPos(), 2);
    rows.ResetProgress(10);
    EXPECT_EQ(rows.ProgressPos(), 0);
    EXPECT_EQ(rows.ProgressHigh(), 10);
}

TEST(ProgressRows, TotalTexts)
{
    // The product is single precision: 5386937 * 0.001f is 5386.9375 in float but
    // 5386.93699... in double.
    const std::pair<std::int32_t, const char*> cases[] = {
        {149, "0.149"},    {2000, "2.000"},         {0, "0.000"},          {714, "0.714"},
        {-1500, "-1.500"}, {16777217, "16777.217"}, {5386937, "5386.938"}, {5387187, "5387.188"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressRows::TotalText(c.first), c.second) << c.first;
}

TEST(TextFormat, NumbersIgnoreTheProcessLocale)
{
    const char* pOld = std::setlocale(LC_ALL, nullptr);
    const std::string strOld = pOld ? pOld : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(FormatFixed3(0.14999998f), "0.150");
    EXPECT_EQ(FormatFixed3(1234.5), "1234.500");
    EXPECT_EQ(FormatInt(-1234567), "-1234567");
    std::setlocale(LC_ALL, strOld.c_str());
}

TEST(TextFormat, CStyleConversionSaturates)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"10", 10},
        {"  +7x", 7},
        {"\t-3", -3},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<std::int32_t>::max()},
        {"99999999999999999999", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCInt32(c.first), c.second) << '"' << c.first << '"';
}

TEST(TextFormat, IterationsAboveFortyOrNegativeBecomeForty)
{
    const std::pair<std::int32_t, std::uint32_t> cases[] = {{0, 0},   {1, 1},   {40, 40},
                                                            {41, 40}, {-1, 40}, {-2147483647 - 1, 40}};
    for (const auto& c : cases)
        EXPECT_EQ(CapIterations(c.first), c.second) << c.first;
}

TEST(StartAddress, NormalisedAndChecked)
{
    struct Case {
        const char* pTyped;
        const char* pNormalised;
        StartAddressCheck check;
    };
    const Case cases[] = {
        {"HTTP://Host/Dir", "http://host/dir/", StartAddressCheck::Accepted},
        {"http://host/", "http://host/", StartAddressCheck::Accepted},
        {"http://host/a.html", "http://host/a.html/", StartAddressCheck::Accepted},
        {"http://host:8080", "http://host:8080/", StartAddressCheck::Accepted},
        {"host/dir", "host/dir/", StartAddressCheck::Invalid},
        {"https://host/", "https://host/", StartAddressCheck::Invalid},
        {"", "", StartAddressCheck::Invalid},
        {"http://www.CorVane.com/", "http://www.corvane.com/", StartAddressCheck::Refused},
        {"corvane", "corvane/", StartAddressCheck::Refused},
    };
    for (const Case& c : cases) {
        const std::string s = NormaliseStartAddress(c.pTyped);
        EXPECT_EQ(s, c.pNormalised) << c.pTyped;
        EXPECT_EQ(CheckStartAddress(s), c.check) << c.pTyped;
    }
}

}  // namespace
