// The rank calculation over the arrays the crawl keeps, against a plain computation
// over the records, and the messages it sends to both kinds of receiver.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "SiteCrawler.h"

using namespace plovik;

namespace {

std::uint32_t Bits(float f)
{
    std::uint32_t n;
    std::memcpy(&n, &f, sizeof n);
    return n;
}

struct PageRank {
    std::string strUrl;
    float fRank;
};
using Iteration = std::vector<PageRank>;

// The calculation as the records describe it, one iteration after another, in table
// order; every iteration's ranks and the last total.
struct Expected {
    std::vector<Iteration> iterations;
    std::int32_t nTotalTimes1000 = 0;
};

Expected Reference(const CSiteCrawler& crawler, int nIterations)
{
    const double d = static_cast<double>(0.85f);
    const float b = static_cast<float>(1.0 - d);
    std::map<const PageRecord*, float> rank;
    for (const auto& entry : crawler.Pages())
        rank[entry.second.get()] = entry.second->fRank;
    Expected expected;
    float fTotal = 0.0f;
    for (int it = 0; it < nIterations; ++it) {
        Iteration ranks;
        std::map<const PageRecord*, float> next;
        for (const auto& entry : crawler.Pages()) {
            float r = b;
            for (const PageRecord* q : entry.second->inLinks)
                if (q->nOutLinks > 0)
                    r = static_cast<float>(static_cast<double>(r) + static_cast<double>(rank[q]) / q->nOutLinks * d);
            next[entry.second.get()] = r;
            ranks.push_back(PageRank{entry.first, r});
        }
        rank = next;
        fTotal = 0.0f;
        for (const auto& entry : crawler.Pages())
            if (entry.second->bVisited)
                fTotal =
                    static_cast<float>(static_cast<double>(fTotal) + static_cast<double>(rank[entry.second.get()]));
        expected.iterations.push_back(ranks);
    }
    expected.nTotalTimes1000 = static_cast<std::int32_t>(static_cast<double>(fTotal) * 1000.0);
    return expected;
}

// Keeps what each kind of receiver is told.
class Receiver : public CrawlNotifier {
public:
    explicit Receiver(bool bWhole) : m_bWhole(bWhole) {}

    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        codes.push_back(nCode);
        if (nCode == CP_RANK_CHANGED) {
            if (iterations.empty() || iterationDone)
                iterations.emplace_back();
            iterationDone = false;
            iterations.back().push_back(PageRank{pRecord->strUrl, pRecord->fNewRank});
        }
        if (nCode == CP_ITERATION_DONE)
            iterationDone = true;
        if (nCode == CP_CALC_DONE)
            nTotalTimes1000 = nNumber;
    }
    bool TakesWholeIterations() const override { return m_bWhole; }
    void OnIterationDone(const RankIteration& ranks) override
    {
        codes.push_back(-1);
        Iteration iteration;
        for (std::size_t k = 0; k < ranks.Count(); ++k)
            iteration.push_back(PageRank{ranks.Page(k).strUrl, ranks.Rank(k)});
        iterations.push_back(iteration);
        if (onIteration)
            onIteration();
    }

    std::vector<int> codes;  // -1: OnIterationDone
    std::vector<Iteration> iterations;
    bool iterationDone = false;
    std::int32_t nTotalTimes1000 = -1;
    std::function<void()> onIteration;

private:
    bool m_bWhole;
};

void ExpectSameIterations(const std::vector<Iteration>& got, const std::vector<Iteration>& expected, const char* pszWho)
{
    ASSERT_EQ(got.size(), expected.size()) << pszWho;
    for (std::size_t it = 0; it < expected.size(); ++it) {
        ASSERT_EQ(got[it].size(), expected[it].size()) << pszWho << " iteration " << it;
        for (std::size_t k = 0; k < expected[it].size(); ++k) {
            EXPECT_EQ(got[it][k].strUrl, expected[it][k].strUrl) << pszWho << " iteration " << it << " page " << k;
            EXPECT_EQ(Bits(got[it][k].fRank), Bits(expected[it][k].fRank))
                << pszWho << " iteration " << it << " " << expected[it][k].strUrl;
        }
    }
}

std::uint32_t g_seed = 7;
std::uint32_t Next(std::uint32_t nBelow)
{
    g_seed = g_seed * 1664525u + 1013904223u;
    return (g_seed >> 8) % nBelow;
}

// A table that has it all: addresses entered out of byte order (capitals sort first),
// duplicate links, self-links, pages without links, links of one page found in more
// than one run, a page whose links do not count, visited and unvisited pages.
void BuildMixedTable(CSiteCrawler& crawler, std::vector<PageRecord*>& pages, int nPages)
{
    for (int i = 0; i < nPages; ++i) {
        const std::string strName = (i % 3 == 0 ? "P" : "p") + std::to_string((i * 37) % 101);
        PageRecord& page = crawler.AddPage("http://host/" + strName, 1);
        page.bVisited = i % 4 != 3;
        pages.push_back(&page);
    }
    for (int nRun = 0; nRun < 3 * nPages; ++nRun) {
        PageRecord& from = *pages[Next(static_cast<std::uint32_t>(nPages))];
        if (from.nIndex % 5 == 4)
            continue;  // pages that never link anywhere
        const std::uint32_t nLinks = 1 + Next(4);
        for (std::uint32_t k = 0; k < nLinks; ++k) {
            PageRecord& to = k == 3 ? from : *pages[Next(static_cast<std::uint32_t>(nPages))];
            crawler.AddLink(from, to);
            if (k == 2)
                crawler.AddLink(from, to);
            from.nOutLinks += k == 2 ? 2 : 1;
        }
    }
    pages[1]->nOutLinks = 0;
}

TEST(RankArrays, RecordsAreNumberedAsTheyEnterTheTable)
{
    CSiteCrawler crawler(nullptr, 1, 1);
    PageRecord& b = crawler.AddPage("http://host/b", 1);
    PageRecord& a = crawler.AddPage("http://host/a", 1);
    EXPECT_EQ(b.nIndex, 0u);
    EXPECT_EQ(a.nIndex, 1u);
    EXPECT_EQ(&crawler.AddPage("http://host/b", 2), &b);
    EXPECT_EQ(crawler.AddPage("http://host/c", 1).nIndex, 2u);
    crawler.AddLink(a, b);
    crawler.AddLink(b, b);
    EXPECT_EQ(b.inLinks, (std::vector<PageRecord*>{&a, &b}));
}

TEST(RankArrays, BothReceiversGetTheRanksOfAPlainComputation)
{
    for (const bool bWhole : {false, true}) {
        Receiver receiver(bWhole);
        CSiteCrawler crawler(&receiver, 4, 1);
        std::vector<PageRecord*> pages;
        BuildMixedTable(crawler, pages, 60);
        const Expected expected = Reference(crawler, 4);
        crawler.CalculateRank(4);
        const char* pszWho = bWhole ? "whole iterations" : "per record";
        ExpectSameIterations(receiver.iterations, expected.iterations, pszWho);
        EXPECT_EQ(receiver.nTotalTimes1000, expected.nTotalTimes1000) << pszWho;
        // The records hold the last iteration.
        for (const PageRank& last : expected.iterations.back()) {
            const PageRecord& record = *crawler.Pages().at(last.strUrl);
            EXPECT_EQ(Bits(record.fRank), Bits(last.fRank)) << pszWho << " " << last.strUrl;
            EXPECT_EQ(Bits(record.fNewRank), Bits(last.fRank)) << pszWho << " " << last.strUrl;
        }
    }
}

TEST(RankArrays, ACalculationGoesOnFromTheLastOneAndSeesNewPages)
{
    Receiver receiver(true);
    CSiteCrawler crawler(&receiver, 1, 1);
    std::vector<PageRecord*> pages;
    BuildMixedTable(crawler, pages, 30);
    crawler.CalculateRank(2);
    // Pages entered between calculations, one before and one after all others.
    PageRecord& first = crawler.AddPage("http://a/", 2);
    PageRecord& last = crawler.AddPage("http://zz/", 2);
    crawler.AddLink(first, last);
    crawler.AddLink(*pages[0], first);
    first.nOutLinks = 1;
    ++pages[0]->nOutLinks;
    const Expected expected = Reference(crawler, 3);
    receiver.iterations.clear();
    crawler.CalculateRank(3);
    ExpectSameIterations(receiver.iterations, expected.iterations, "second calculation");
    EXPECT_EQ(receiver.iterations.at(0).front().strUrl, "http://a/");
    EXPECT_EQ(receiver.iterations.at(0).back().strUrl, "http://zz/");
}

TEST(RankArrays, MessagesOfEachKindOfReceiver)
{
    const int kWhole = -1;
    struct Row {
        bool bWhole;
        std::int32_t nIterations;
        std::vector<int> codes;
    };
    const int R = CP_RANK_CHANGED, I = CP_ITERATION_DONE;
    const Row rows[] = {
        {false, 2, {CP_CALC_START, R, R, R, I, R, R, R, I, CP_CALC_DONE}},
        {true, 2, {CP_CALC_START, kWhole, kWhole, CP_CALC_DONE}},
        {true, 0, {CP_CALC_START, CP_CALC_DONE}},
        {false, -3, {CP_CALC_START, CP_CALC_DONE}},
    };
    for (const Row& row : rows) {
        Receiver receiver(row.bWhole);
        CSiteCrawler crawler(&receiver, 1, 1);
        PageRecord& a = crawler.AddPage("http://host/a", 0);
        PageRecord& b = crawler.AddPage("http://host/b", 1);
        crawler.AddPage("http://host/c", 1);
        crawler.AddLink(a, b);
        a.nOutLinks = 1;
        crawler.CalculateRank(row.nIterations);
        EXPECT_EQ(receiver.codes, row.codes) << (row.bWhole ? "whole" : "per record") << " " << row.nIterations;
        if (row.nIterations <= 0) {
            EXPECT_EQ(b.fRank, 1.0f) << "no iteration leaves the ranks alone";
        }
    }
}

TEST(RankArrays, StopDuringAnIterationEndsTheCalculationQuietly)
{
    Receiver receiver(true);
    CSiteCrawler crawler(&receiver, 1, 1);
    PageRecord& a = crawler.AddPage("http://host/a", 0);
    PageRecord& b = crawler.AddPage("http://host/b", 1);
    crawler.AddLink(a, b);
    a.nOutLinks = 1;
    receiver.onIteration = [&] { crawler.RequestStop(); };
    crawler.CalculateRank(5);
    EXPECT_EQ(receiver.codes, (std::vector<int>{CP_CALC_START, -1}));
    EXPECT_EQ(receiver.nTotalTimes1000, -1);
    // The finished iteration is in the records: a has no in-links, so it holds b.
    EXPECT_EQ(Bits(a.fRank), 0x3E199998u);
    EXPECT_EQ(b.fRank, 1.0f);
}

}  // namespace
