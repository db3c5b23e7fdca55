// Saved crawls in-process: a crawl kept with --save, read back with --open and
// continued with --resume prints what the crawl itself printed, in every layout.

#include <gtest/gtest.h>

#include <sstream>

#include "CrawlRecorder.h"
#include "CrawlStore.h"
#include "CsvRecords.h"
#include "HeadlessCrawl.h"
#include "LoopbackServer.h"
#include "NotifierFanOut.h"
#include "TempFolder.h"

using namespace plovik;
using namespace plovik_test;

namespace {

struct Printed {
    int nExit = -1;
    std::string strOut;
    std::string strErr;
};

Printed RunPlovik(HeadlessOptions o)
{
    o.crawl.pageDelay = std::chrono::milliseconds(0);
    o.crawl.http = TestHttpOptions();
    std::ostringstream out, err;
    Printed p;
    p.nExit = RunHeadlessCrawl(o, out, err, false);
    p.strOut = out.str();
    p.strErr = err.str();
    return p;
}

HeadlessOptions CrawlOptions(const std::string& strUrl, OutputFormat format, LinkRules rules = LinkRules::Classic,
                             std::int32_t nPages = 30, std::int32_t nIterations = 3)
{
    HeadlessOptions o;
    o.strUrl = strUrl;
    o.format = format;
    o.crawl.linkRules = rules;
    o.crawl.nMaxPages = nPages;
    o.crawl.nIterations = nIterations;
    return o;
}

HeadlessOptions FileOptions(HeadlessCommand command, const std::string& strPath, OutputFormat format)
{
    HeadlessOptions o;
    o.command = command;
    o.strCrawlFile = strPath;
    o.format = format;
    return o;
}

struct Layout {
    OutputFormat format;
    const char* pName;
};
const Layout kLayouts[] = {{OutputFormat::Table, "table"}, {OutputFormat::Csv, "csv"},
                           {OutputFormat::Json, "json"},   {OutputFormat::Edges, "edges"},
                           {OutputFormat::GraphMl, "graphml"}, {OutputFormat::Dot, "dot"}};

class SampleSite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Raw().set_mount_point("/", PLOVIK_SAMPLE_SITE)); }
    LoopbackServer server;
    TempFolder folder;
};

TEST_F(SampleSite, SavedAndOpenedPrintsTheCrawlsBytesInEveryLayout)
{
    for (const LinkRules rules : {LinkRules::Classic, LinkRules::Standard}) {
        for (const Layout& layout : kLayouts) {
            const std::string strRow = std::string(layout.pName) + (rules == LinkRules::Classic ? " classic" : " standard");
            const std::string strPath = folder.Path(strRow + ".crawl");
            HeadlessOptions crawl = CrawlOptions(server.Url("/"), layout.format, rules);
            crawl.strSavePath = strPath;
            const Printed crawled = RunPlovik(crawl);
            ASSERT_EQ(crawled.nExit, 0) << strRow << crawled.strErr;
            const int nRequests = server.RequestCount();
            const Printed opened = RunPlovik(FileOptions(HeadlessCommand::Open, strPath, layout.format));
            EXPECT_EQ(opened.nExit, 0) << strRow;
            EXPECT_TRUE(opened.strOut == crawled.strOut) << strRow << "\n" << crawled.strOut << "---\n" << opened.strOut;
            EXPECT_EQ(opened.strErr, "") << strRow;
            EXPECT_EQ(server.RequestCount(), nRequests) << strRow << ": opening fetched";
        }
    }
}

TEST_F(SampleSite, OpenWithIterationsCalculatesTheRanksAgain)
{
    const std::string strPath = folder.Path("three.crawl");
    HeadlessOptions crawl = CrawlOptions(server.Url("/"), OutputFormat::Csv, LinkRules::Classic, 30, 3);
    crawl.strSavePath = strPath;
    const Printed three = RunPlovik(crawl);
    ASSERT_EQ(three.nExit, 0) << three.strErr;
    for (const std::int32_t nIterations : {0, 1, 7}) {
        const Printed crawled = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Json, LinkRules::Classic, 30, nIterations));
        HeadlessOptions open = FileOptions(HeadlessCommand::Open, strPath, OutputFormat::Json);
        open.crawl.nIterations = nIterations;
        open.bIterationsGiven = true;
        const Printed opened = RunPlovik(open);
        EXPECT_EQ(opened.strOut, crawled.strOut) << nIterations;
    }
}

TEST_F(SampleSite, EdgeListHasOneLinePerCountedLink)
{
    const Printed rows = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Csv));
    const Printed edges = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Edges));
    const std::vector<CsvRecord> table = ParseCsv(rows.strOut);
    const std::vector<CsvRecord> links = ParseCsv(edges.strOut);
    ASSERT_GT(table.size(), 2u);
    ASSERT_EQ(links.at(0), (CsvRecord{"From", "To", "Status"}));
    std::map<std::string, std::string> statusOf;
    long nOut = 0;
    for (std::size_t i = 1; i < table.size(); ++i) {
        nOut += std::stol(table[i][3]);
        statusOf[table[i][0]] = table[i][5];
    }
    EXPECT_EQ(static_cast<long>(links.size()) - 1, nOut);
    for (std::size_t i = 1; i < links.size(); ++i) {
        ASSERT_EQ(links[i].size(), 3u) << i;
        EXPECT_EQ(statusOf.count(links[i][0]), 1u) << links[i][0];
        EXPECT_EQ(links[i][2], statusOf[links[i][1]]) << links[i][1];
    }
}

// Stops the crawl once it has finished a number of pages, as a killed process would
// have: the pages up to there are in the file, the one after is not.
class StopAfterPages : public CrawlNotifier {
public:
    StopAfterPages(int nPages) : m_nLeft(nPages) {}
    void OnCrawlProgress(int nCode, const PageRecord*, std::int32_t) override
    {
        if (nCode == CP_PAGE_DONE && --m_nLeft == 0 && m_pCrawler)
            m_pCrawler->RequestStop();
    }
    bool TakesWholeIterations() const override { return true; }
    CSiteCrawler* m_pCrawler = nullptr;

private:
    int m_nLeft;
};

void InterruptedCrawl(const std::string& strPath, const std::string& strUrl, LinkRules rules, int nPages)
{
    CrawlSetup setup;
    setup.strStartUrl = strUrl;
    setup.linkRules = rules;
    setup.nMaxPages = 12;
    setup.nIterations = 3;
    std::string strError;
    const auto pStore = CrawlStore::Create(strPath, setup, strError);
    ASSERT_TRUE(pStore) << strError;
    CrawlRecorder recorder(*pStore);
    StopAfterPages stop(nPages);
    NotifierFanOut receivers;
    receivers.Add(&recorder);
    receivers.Add(&stop);
    CrawlSettings settings;
    settings.nMaxPages = setup.nMaxPages;
    settings.nIterations = setup.nIterations;
    settings.linkRules = rules;
    CSiteCrawler crawler(&receivers, settings);
    PrepareForTest(crawler);
    stop.m_pCrawler = &crawler;
    crawler.Crawl(strUrl);
}

TEST_F(SampleSite, ResumedCrawlEndsWithTheRowsOfAWholeOne)
{
    for (const LinkRules rules : {LinkRules::Classic, LinkRules::Standard}) {
        const Printed whole = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Csv, rules, 12, 3));
        const Printed wholeEdges = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Edges, rules, 12, 3));
        for (const int nPages : {1, 2, 5, 11}) {
            const std::string strRow = std::to_string(nPages) + (rules == LinkRules::Classic ? " classic" : " standard");
            const std::string strPath = folder.Path(strRow + ".crawl");
            InterruptedCrawl(strPath, server.Url("/"), rules, nPages);
            const Printed resumed = RunPlovik(FileOptions(HeadlessCommand::Resume, strPath, OutputFormat::Csv));
            EXPECT_EQ(resumed.nExit, 0) << strRow << resumed.strErr;
            EXPECT_EQ(resumed.strOut, whole.strOut) << strRow;
            // The file now holds the whole crawl: its links too.
            const Printed opened = RunPlovik(FileOptions(HeadlessCommand::Open, strPath, OutputFormat::Edges));
            EXPECT_EQ(opened.strOut, wholeEdges.strOut) << strRow;
            EXPECT_EQ(opened.strErr, "") << strRow;
        }
    }
}

TEST_F(SampleSite, ResumingAFinishedCrawlChangesNothing)
{
    const std::string strPath = folder.Path("done.crawl");
    HeadlessOptions crawl = CrawlOptions(server.Url("/"), OutputFormat::Csv);
    crawl.strSavePath = strPath;
    const Printed crawled = RunPlovik(crawl);
    const std::string strBefore = ReadWholeFile(strPath);
    const int nRequests = server.RequestCount();
    const Printed resumed = RunPlovik(FileOptions(HeadlessCommand::Resume, strPath, OutputFormat::Csv));
    EXPECT_EQ(resumed.nExit, 0);
    EXPECT_EQ(resumed.strOut, crawled.strOut);
    EXPECT_NE(resumed.strErr.find("complete"), std::string::npos) << resumed.strErr;
    EXPECT_TRUE(ReadWholeFile(strPath) == strBefore);
    EXPECT_EQ(server.RequestCount(), nRequests);
}

TEST_F(SampleSite, SaveRefusesAFileThatExistsBeforeFetching)
{
    const std::string strPath = folder.Path("taken.crawl");
    WriteWholeFile(strPath, "mine");
    HeadlessOptions crawl = CrawlOptions(server.Url("/"), OutputFormat::Csv);
    crawl.strSavePath = strPath;
    const Printed p = RunPlovik(crawl);
    EXPECT_EQ(p.nExit, 2);
    EXPECT_EQ(p.strOut, "");
    EXPECT_NE(p.strErr.find("exists"), std::string::npos) << p.strErr;
    EXPECT_EQ(ReadWholeFile(strPath), "mine");
    EXPECT_EQ(server.RequestCount(), 0);
}

// Addresses with quotes, commas, markup characters, line breaks and bytes that are
// no UTF-8, from hrefs and from a redirect to another site.
class HostileSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Page("/", Html("<a href='x\"q.html'>q</a><a href=\"a,b.html\">c</a><a href=\"<&amp;.html\">m</a>"
                              "<a href=\"line\nbreak.html\">n</a><a href=\"\xff\xfe.html\">b</a>"
                              "<a href=\"/away\">r</a><a href='x\"q.html'>again</a>"));
        server.Page("/x\"q.html", Html("<a href=\"/\">home</a>"));
        server.Redirect("/away", "http://127.0.0.1:1/<&>\"',x;y", 302);
    }
    LoopbackServer server;
    TempFolder folder;
};

TEST_F(HostileSite, EveryLayoutSurvivesTheFile)
{
    for (const Layout& layout : kLayouts) {
        const std::string strPath = folder.Path(std::string(layout.pName) + ".crawl");
        HeadlessOptions crawl = CrawlOptions(server.Url("/"), layout.format, LinkRules::Classic, 10, 2);
        crawl.strSavePath = strPath;
        const Printed crawled = RunPlovik(crawl);
        ASSERT_EQ(crawled.nExit, 0) << layout.pName << crawled.strErr;
        const Printed opened = RunPlovik(FileOptions(HeadlessCommand::Open, strPath, layout.format));
        EXPECT_TRUE(opened.strOut == crawled.strOut) << layout.pName << "\n" << crawled.strOut << "---\n" << opened.strOut;
    }
}

TEST_F(HostileSite, EdgesQuoteTheirAddresses)
{
    const Printed rows = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Csv, LinkRules::Classic, 10, 2));
    const Printed edges = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Edges, LinkRules::Classic, 10, 2));
    const std::vector<CsvRecord> table = ParseCsv(rows.strOut);
    const std::vector<CsvRecord> links = ParseCsv(edges.strOut);
    std::set<std::string> pages;
    long nOut = 0;
    for (std::size_t i = 1; i < table.size(); ++i) {
        nOut += std::stol(table[i].at(3));
        pages.insert(table[i].at(0));
    }
    EXPECT_EQ(static_cast<long>(links.size()) - 1, nOut) << edges.strOut;
    for (std::size_t i = 1; i < links.size(); ++i) {
        ASSERT_EQ(links[i].size(), 3u) << i;
        EXPECT_EQ(pages.count(links[i][0]) + pages.count(links[i][1]), 2u) << links[i][0] << " -> " << links[i][1];
    }
    const std::string host = server.Root().substr(7);
    EXPECT_NE(pages.count(host + "/line\nbreak.html"), 0u) << rows.strOut;
    EXPECT_NE(pages.count("127.0.0.1:1/<&>\"',x;y"), 0u) << rows.strOut;
}

TEST_F(HostileSite, DotKeepsEveryNodeAndEdgeOnItsOwnLine)
{
    const Printed rows = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Csv, LinkRules::Classic, 10, 2));
    const Printed dot = RunPlovik(CrawlOptions(server.Url("/"), OutputFormat::Dot, LinkRules::Classic, 10, 2));
    std::istringstream lines(dot.strOut);
    std::size_t nNodes = 0, nEdges = 0;
    std::vector<std::string> all;
    for (std::string s; std::getline(lines, s);)
        all.push_back(s);
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all.front(), "digraph crawl {");
    EXPECT_EQ(all.back(), "}");
    for (std::size_t i = 1; i + 1 < all.size(); ++i) {
        const std::string& s = all[i];
        ASSERT_EQ(s.substr(0, 3), "  \"") << s;
        ASSERT_EQ(s.back(), ';') << s;
        // Quotes inside an id are escaped, so unescaped ones pair up.
        std::size_t nQuotes = 0;
        for (std::size_t k = 0; k < s.size(); ++k) {
            if (s[k] == '\\')
                ++k;
            else if (s[k] == '"')
                ++nQuotes;
        }
        EXPECT_EQ(nQuotes % 2, 0u) << s;
        (s.find("\" -> \"") != std::string::npos ? nEdges : nNodes) += 1;
    }
    EXPECT_EQ(nNodes, ParseCsv(rows.strOut).size() - 1);
    EXPECT_GT(nEdges, 0u);
}

TEST(RankChanges, VerboseNamesTheLargestChangeOfEachIteration)
{
    // A links to B; only A is fetched. Iteration 1: A falls from 1 to b; iteration 2:
    // B falls from 1 to b + d b.
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a>"));
    HeadlessOptions o = CrawlOptions(server.Url("/"), OutputFormat::Csv, LinkRules::Classic, 1, 2);
    o.bVerbose = true;
    const Printed p = RunPlovik(o);
    EXPECT_NE(p.strErr.find("plovik: iteration 1: largest rank change 0.850000 (" + server.Url("/") + ")\n"),
              std::string::npos)
        << p.strErr;
    EXPECT_NE(p.strErr.find("plovik: iteration 2: largest rank change 0.722500 (" + server.Url("/b.html") + ")\n"),
              std::string::npos)
        << p.strErr;
    o.bVerbose = false;
    EXPECT_EQ(RunPlovik(o).strErr.find("largest rank change"), std::string::npos);
}

}  // namespace
