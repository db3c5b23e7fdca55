// The link graph behind the windows' link views, filled by a crawl of a loopback site
// and by the same crawl reopened from its file: a page's links, the broken links, and
// the command line's edge list and GraphML.

#include <gtest/gtest.h>

#include <sstream>

#include "BrokenCrawlFiles.h"
#include "CrawlRecorder.h"
#include "CrawlStore.h"
#include "GraphWriters.h"
#include "LinkExport.h"
#include "LinkGraph.h"
#include "LoopbackServer.h"
#include "NotifierFanOut.h"
#include "SavedCrawl.h"
#include "SavedCrawlReplay.h"
#include "SiteLinkGraph.h"
#include "TableRowSink.h"
#include "TempFolder.h"

using namespace plovik;
using namespace plovik_test;

namespace {

// The command line's rows: the shared row logic over its table.
class RowsReceiver : public CrawlNotifier {
public:
    RowsReceiver() : m_sink(3), m_rows(m_sink) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        m_rows.OnCrawlProgress(nCode, pRecord, nNumber);
    }
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override
    {
        m_rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0, &ranks);
    }
    TableRowSink m_sink;
    ProgressRows m_rows;
};

std::string Table(const LinkTable& table)
{
    std::ostringstream out;
    table.WriteCsv(out);
    return out.str();
}

// A site with a missing page, a redirect loop, a page beyond the page limit and a
// link in other letters to a page that does not exist.
class SiteLinkGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.Page("/", Html("<a href=\"a/\">a</a><a href=\"missing.html\">m</a><a href=\"/loop\">l</a>"));
        m_server.Page("/a/",
                      Html("<a href=\"/\">home</a><a href=\"/missing.html\">m</a>"
                           "<a href=\"deep.html\">d</a><a href=\"A.html\">case</a>"));
        m_server.Page("/missing.html", Html("gone"), 404);
        m_server.Redirect("/loop", "/loop");
        m_server.Page("/a/deep.html", Html("never asked"));
        m_root = m_server.Root();
    }

    // Crawls the site into graph, the command line's rows and links, and a file.
    void Crawl(SiteLinkGraph& graph)
    {
        CrawlSetup setup;
        setup.strStartUrl = m_root + "/";
        setup.nMaxPages = 4;
        std::string strError;
        auto pStore = CrawlStore::Create(m_folder.Path("site.crawl"), setup, strError);
        ASSERT_TRUE(pStore) << strError;
        CrawlRecorder recorder(*pStore);
        NotifierFanOut receivers;
        receivers.Add(&graph);
        receivers.Add(&m_rows);
        receivers.Add(&m_links);
        receivers.Add(&recorder);
        CrawlSettings settings;
        settings.nMaxPages = setup.nMaxPages;
        settings.pageDelay = std::chrono::milliseconds(0);
        CSiteCrawler crawler(&receivers, settings);
        crawler.Crawl(setup.strStartUrl);
        m_commandLineLinks = m_links.RowLinks(crawler.Pages(), m_rows.m_rows);
        ASSERT_EQ(pStore->WriteError(), "");
    }

    void Reopen(SiteLinkGraph& graph)
    {
        std::string strError;
        auto pStore = CrawlStore::Open(m_folder.Path("site.crawl"), CrawlStore::Access::ReadOnly, strError);
        ASSERT_TRUE(pStore) << strError;
        SavedCrawl saved;
        ASSERT_TRUE(saved.Load(*pStore, true));
        graph.Reset();
        ReplaySavedCrawl(saved, pStore->Setup(), pStore->Finished(), graph);
    }

    std::string Url(const std::string& strPath) const { return m_root + strPath; }
    std::string Label(const std::string& strPath) const { return Url(strPath).substr(7); }

    LoopbackServer m_server;
    TempFolder m_folder;
    std::string m_root;
    RowsReceiver m_rows;
    LinkGraphCollector m_links;
    std::vector<RowLink> m_commandLineLinks;
};

}  // namespace

TEST_F(SiteLinkGraphTest, EdgeListAndGraphMlAreTheCommandLinesBytes)
{
    SiteLinkGraph graph;
    Crawl(graph);
    std::ostringstream edges, expectedEdges, graphMl, expectedGraphMl;
    graph.WriteEdgeList(edges);
    WriteEdges(expectedEdges, m_rows.m_sink.Rows(), m_commandLineLinks);
    graph.WriteGraphMl(graphMl);
    WriteGraphMl(expectedGraphMl, m_rows.m_sink.Rows(), m_commandLineLinks);
    EXPECT_EQ(edges.str(), expectedEdges.str());
    EXPECT_EQ(graphMl.str(), expectedGraphMl.str());
    // Every link of the two pages with links, nothing else.
    EXPECT_EQ(graph.LinkCount(), 7u) << edges.str();
    EXPECT_NE(edges.str().find(Label("/a/") + ',' + Label("/a/deep.html") + ",0\n"), std::string::npos);
}

TEST_F(SiteLinkGraphTest, PageLinksNameTheOtherEndItsStatusAndTheHrefAsWritten)
{
    SiteLinkGraph graph;
    Crawl(graph);
    struct Row {
        const char* name;
        LinkTable table;
        std::string expected;
    };
    const Row rows[] = {
        {"out of the start page", graph.OutLinks(Label("/")),
         "Address,Status,Href\n" + Url("/a/") + ",200,a/\n" + Url("/missing.html") + ",404,missing.html\n" +
             Url("/loop") + ",301,/loop\n"},
        // The label is found as the list finds it, ignoring letter case.
        {"into a page, label in other letters", graph.InLinks(Label("/A/")),
         "Address,Status,Href\n" + Url("/") + ",200,a/\n"},
        {"into the missing page from both", graph.InLinks(Label("/missing.html")),
         "Address,Status,Href\n" + Url("/") + ",200,missing.html\n" + Url("/a/") + ",200,/missing.html\n"},
        {"out of a page never fetched", graph.OutLinks(Label("/a/deep.html")), "Address,Status,Href\n"},
        {"no such row", graph.InLinks("elsewhere/"), "Address,Status,Href\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Table(row.table), row.expected) << row.name;
}

TEST_F(SiteLinkGraphTest, BrokenLinksAreThoseWhoseTargetDidNotAnswer200)
{
    SiteLinkGraph graph;
    Crawl(graph);
    const LinkTable broken = graph.BrokenLinks();
    ASSERT_EQ(broken.RowCount(), 5u) << Table(broken);
    const std::vector<std::vector<std::string>> expected = {
        {Url("/"), "missing.html", Url("/missing.html"), "404"},
        {Url("/"), "/loop", Url("/loop"), "301"},
        {Url("/a/"), "/missing.html", Url("/missing.html"), "404"},
        {Url("/a/"), "deep.html", Url("/a/deep.html"), "0"},
        {Url("/a/"), "A.html", Url("/a/A.html"), "0"},
    };
    for (std::size_t r = 0; r < expected.size(); ++r)
        for (std::size_t c = 0; c < expected[r].size(); ++c)
            EXPECT_EQ(broken.Cell(r, c), expected[r][c]) << "row " << r << " column " << c;
    // The loop's body was never read: its last status and the reason come along.
    EXPECT_NE(broken.Cell(1, 4), "");
    EXPECT_EQ(broken.Cell(0, 4), "");
}

TEST_F(SiteLinkGraphTest, AReopenedCrawlGivesTheSameViewsAndExports)
{
    SiteLinkGraph live;
    Crawl(live);
    SiteLinkGraph reopened;
    Reopen(reopened);
    std::ostringstream a, b, c, d;
    live.WriteEdgeList(a);
    reopened.WriteEdgeList(b);
    live.WriteGraphMl(c);
    reopened.WriteGraphMl(d);
    EXPECT_EQ(a.str(), b.str());
    EXPECT_EQ(c.str(), d.str());
    EXPECT_EQ(Table(live.BrokenLinks()), Table(reopened.BrokenLinks()));
    EXPECT_EQ(Table(live.InLinks(Label("/missing.html"))), Table(reopened.InLinks(Label("/missing.html"))));
    // The saved ranks, not fresh ones: the rows are the live crawl's to the digit.
    EXPECT_EQ(live.Rows(), reopened.Rows());
}

TEST_F(SiteLinkGraphTest, ResetForgetsTheCrawl)
{
    SiteLinkGraph graph;
    Crawl(graph);
    ASSERT_FALSE(graph.Empty());
    graph.Reset();
    EXPECT_TRUE(graph.Empty());
    EXPECT_EQ(graph.BrokenLinks().RowCount(), 0u);
    EXPECT_EQ(graph.RowLinks().size(), 0u);
    // Filled again afterwards, it holds the new crawl alone.
    Reopen(graph);
    EXPECT_EQ(graph.LinkCount(), 7u);
}

TEST(SavedCrawlReplay, AReceiverOfSingleMessagesGetsEverySavedRank)
{
    // A receiver that does not take whole iterations sees the saved ranks one by one.
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a><a href=\"c.html\">c</a>"));
    server.Page("/b.html", Html("<a href=\"c.html\">c</a>"));
    server.Page("/c.html", Html("end"));
    TempFolder folder;
    CrawlSetup setup;
    setup.strStartUrl = server.Root() + "/";
    std::string strError;
    {
        auto pStore = CrawlStore::Create(folder.Path("two.crawl"), setup, strError);
        ASSERT_TRUE(pStore) << strError;
        CrawlRecorder recorder(*pStore);
        CrawlSettings settings;
        settings.pageDelay = std::chrono::milliseconds(0);
        CSiteCrawler crawler(&recorder, settings);
        crawler.Crawl(setup.strStartUrl);
    }
    auto pStore = CrawlStore::Open(folder.Path("two.crawl"), CrawlStore::Access::ReadOnly, strError);
    ASSERT_TRUE(pStore) << strError;
    ASSERT_TRUE(pStore->Finished());
    SavedCrawl saved;
    ASSERT_TRUE(saved.Load(*pStore));
    RecordingNotifier messages;
    ReplaySavedCrawl(saved, pStore->Setup(), true, messages);
    const auto ranks = messages.OfCode(CP_RANK_CHANGED);
    ASSERT_EQ(ranks.size(), 3u);
    for (const Message& m : ranks) {
        EXPECT_EQ(m.fNewRank, saved.RankOf(m.strUrl)) << m.strUrl;
        EXPECT_NE(m.fNewRank, 1.0f) << m.strUrl;  // a rank of its own, not the record's first
    }
    EXPECT_EQ(messages.OfCode(CP_ITERATION_DONE).size(), 1u);
    ASSERT_EQ(messages.OfCode(CP_CALC_DONE).size(), 1u);
    EXPECT_EQ(messages.OfCode(CP_CALC_DONE)[0].nNumber, pStore->Setup().nTotal);
    // Taken back from the file: nothing was asked of the server a second time.
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST_F(SiteLinkGraphTest, OpeningTheFileGivesTheCrawlAndItsSettings)
{
    SiteLinkGraph live;
    Crawl(live);
    SiteLinkGraph opened;
    OpenedCrawl crawl;
    std::string strError;
    ASSERT_TRUE(ReplaySavedCrawlFile(m_folder.Path("site.crawl"), opened, crawl, strError)) << strError;
    EXPECT_TRUE(crawl.bFinished);
    EXPECT_EQ(crawl.setup.strStartUrl, Url("/"));
    EXPECT_EQ(crawl.setup.nMaxPages, 4);
    EXPECT_EQ(LinkGraphText(opened, LinkLayout::GraphMl), LinkGraphText(live, LinkLayout::GraphMl));
}

TEST_F(SiteLinkGraphTest, FilesThatAreNoSoundCrawlAreRefusedAndLeftAlone)
{
    SiteLinkGraph live;
    Crawl(live);
    const std::string strSound = ReadWholeFile(m_folder.Path("site.crawl"));
    std::vector<BrokenCrawlFile> files = BrokenCrawlFiles(m_folder, strSound);
    files.push_back({"missing", std::string(), "no-such"});
    for (const BrokenCrawlFile& file : files) {
        const std::string strPath = m_folder.Path(file.strName == "missing" ? "no-such.crawl" : "broken.crawl");
        if (file.strName != "missing")
            WriteWholeFile(strPath, file.strBytes);
        RecordingNotifier receiver;
        OpenedCrawl crawl;
        std::string strError;
        EXPECT_FALSE(ReplaySavedCrawlFile(strPath, receiver, crawl, strError)) << file.strName;
        EXPECT_NE(strError.find(file.strWhy), std::string::npos) << file.strName << ": " << strError;
        EXPECT_TRUE(receiver.messages.empty()) << file.strName;
        if (file.strName != "missing")
            EXPECT_EQ(ReadWholeFile(strPath), file.strBytes) << file.strName;
        else
            EXPECT_FALSE(std::filesystem::exists(strPath));
    }
}
