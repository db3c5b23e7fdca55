// "Save crawl…": the window's crawl recorded into a temporary crawl file as it runs,
// or the file it was opened from, copied whole to where the user saves it.

#include <gtest/gtest.h>

#include "LinkExport.h"
#include "LoopbackServer.h"
#include "NotifierFanOut.h"
#include "SavedCrawlReplay.h"
#include "SiteLinkGraph.h"
#include "TempFolder.h"
#include "WindowCrawlFile.h"

using namespace plovik;
using namespace plovik_test;

namespace {

// Stops the crawl once the first page is done, as the window's Stop would.
class StopAfterFirstPage : public CrawlNotifier {
public:
    void OnCrawlProgress(int nCode, const PageRecord*, std::int32_t) override
    {
        if (nCode == CP_PAGE_DONE && m_pCrawler)
            m_pCrawler->RequestStop();
    }
    CSiteCrawler* m_pCrawler = nullptr;
};

class WindowCrawlFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.Page("/", Html("<a href=\"a/\">a</a><a href=\"gone.html\">g</a>"));
        m_server.Page("/a/", Html("<a href=\"/\">home</a><a href=\"b.html\">b</a>"));
        m_server.Page("/a/b.html", Html("end"));
        m_server.Page("/gone.html", Html("gone"), 404);
    }

    // One crawl as the window runs it: its own receivers plus the file's recorder.
    void Crawl(WindowCrawlFile& file, SiteLinkGraph& graph, bool bStopEarly = false)
    {
        CrawlSetup setup;
        setup.strStartUrl = m_server.Root() + "/";
        std::string strError;
        CrawlNotifier* pRecorder = file.BeginCrawl(setup, strError);
        ASSERT_TRUE(pRecorder) << strError;
        EXPECT_FALSE(file.CanSave());
        EXPECT_FALSE(file.SaveAs(m_saved.Path("early.crawl"), strError));
        EXPECT_EQ(strError, "the crawl is still running");
        StopAfterFirstPage stopper;
        NotifierFanOut receivers;
        receivers.Add(&graph);
        receivers.Add(pRecorder);
        if (bStopEarly)
            receivers.Add(&stopper);
        CrawlSettings settings;
        settings.pageDelay = std::chrono::milliseconds(0);
        CSiteCrawler crawler(&receivers, settings);
        stopper.m_pCrawler = &crawler;
        crawler.Crawl(setup.strStartUrl);
        file.EndCrawl();
    }

    bool Open(const std::string& strPath, SiteLinkGraph& graph, OpenedCrawl& crawl)
    {
        std::string strError;
        const bool bOpened = ReplaySavedCrawlFile(strPath, graph, crawl, strError);
        EXPECT_TRUE(bOpened) << strError;
        return bOpened;
    }

    LoopbackServer m_server;
    TempFolder m_scratch;
    TempFolder m_saved;
};

}  // namespace

TEST_F(WindowCrawlFileTest, ASavedCrawlOpensAsTheCrawlItWas)
{
    WindowCrawlFile file(m_scratch.Path(""));
    EXPECT_FALSE(file.CanSave());
    SiteLinkGraph live;
    Crawl(file, live);
    ASSERT_TRUE(file.CanSave());
    std::string strError;
    const std::string strPath = m_saved.Path("site.crawl");
    ASSERT_TRUE(file.SaveAs(strPath, strError)) << strError;
    SiteLinkGraph reopened;
    OpenedCrawl crawl;
    ASSERT_TRUE(Open(strPath, reopened, crawl));
    EXPECT_TRUE(crawl.bFinished);
    EXPECT_EQ(crawl.setup.strStartUrl, m_server.Root() + "/");
    EXPECT_EQ(LinkGraphText(reopened, LinkLayout::GraphMl), LinkGraphText(live, LinkLayout::GraphMl));
    EXPECT_EQ(live.Rows(), reopened.Rows());
}

TEST_F(WindowCrawlFileTest, AStoppedCrawlIsSavedUnfinished)
{
    WindowCrawlFile file(m_scratch.Path(""));
    SiteLinkGraph live;
    Crawl(file, live, true);
    std::string strError;
    const std::string strPath = m_saved.Path("stopped.crawl");
    ASSERT_TRUE(file.SaveAs(strPath, strError)) << strError;
    SiteLinkGraph reopened;
    OpenedCrawl crawl;
    ASSERT_TRUE(Open(strPath, reopened, crawl));
    EXPECT_FALSE(crawl.bFinished);
    // The start page's links were saved; none of the pages after it.
    EXPECT_EQ(reopened.LinkCount(), 2u);
    EXPECT_EQ(live.LinkCount(), 2u);
}

TEST_F(WindowCrawlFileTest, TemporaryFilesGoWhenTheyAreNoLongerTheCrawl)
{
    {
        WindowCrawlFile file(m_scratch.Path(""));
        SiteLinkGraph first, second;
        Crawl(file, first);
        EXPECT_EQ(m_scratch.Names().size(), 1u);
        Crawl(file, second);  // the next crawl's file replaces the first one's
        EXPECT_EQ(m_scratch.Names().size(), 1u);
        // An opened crawl is its own file: the temporary one goes at once.
        std::string strError;
        ASSERT_TRUE(file.SaveAs(m_saved.Path("kept.crawl"), strError)) << strError;
        file.UseOpenedFile(m_saved.Path("kept.crawl"));
        EXPECT_TRUE(m_scratch.Names().empty());
        EXPECT_TRUE(file.CanSave());
        Crawl(file, first);
    }
    EXPECT_TRUE(m_scratch.Names().empty());
    EXPECT_EQ(m_saved.Names(), std::set<std::string>{"kept.crawl"});
}

TEST_F(WindowCrawlFileTest, AnOpenedCrawlIsSavedByteForByteAndLeftAlone)
{
    WindowCrawlFile recorded(m_scratch.Path(""));
    SiteLinkGraph live;
    Crawl(recorded, live);
    std::string strError;
    const std::string strOriginal = m_saved.Path("original.crawl");
    ASSERT_TRUE(recorded.SaveAs(strOriginal, strError)) << strError;
    const std::string bytes = ReadWholeFile(strOriginal);

    WindowCrawlFile opened(m_scratch.Path(""));
    opened.UseOpenedFile(strOriginal);
    const std::string strCopy = m_saved.Path("copy.crawl");
    plovik_test::WriteWholeFile(strCopy, std::string(100000, 'x'));  // replaced whole
    ASSERT_TRUE(opened.SaveAs(strCopy, strError)) << strError;
    EXPECT_EQ(ReadWholeFile(strCopy), bytes);
    EXPECT_TRUE(opened.SaveAs(strOriginal, strError)) << "saving onto itself changes nothing";
    EXPECT_EQ(ReadWholeFile(strOriginal), bytes);
}

TEST_F(WindowCrawlFileTest, NothingToSaveOrNowhereToSaveItIsRefused)
{
    std::string strError;
    WindowCrawlFile empty(m_scratch.Path(""));
    EXPECT_FALSE(empty.SaveAs(m_saved.Path("x.crawl"), strError));
    EXPECT_EQ(strError, "there is no crawl to save");

    WindowCrawlFile file(m_scratch.Path(""));
    SiteLinkGraph live;
    Crawl(file, live);
    const std::string strMissing = m_saved.Path("no/such/folder.crawl");
    EXPECT_FALSE(file.SaveAs(strMissing, strError));
    EXPECT_NE(strError.find(strMissing), std::string::npos) << strError;
    EXPECT_TRUE(m_saved.Names().empty());

    // A scratch folder that does not exist: the crawl cannot be recorded, and says why.
    WindowCrawlFile nowhere(m_scratch.Path("missing"));
    CrawlSetup setup;
    EXPECT_EQ(nowhere.BeginCrawl(setup, strError), nullptr);
    EXPECT_FALSE(strError.empty());
    EXPECT_FALSE(nowhere.CanSave());
}
