// A main window's crawl document: a crawl handed to it as the window gets the
// messages, saved, opened again into a list of rows, and a refused file that changes
// nothing.

#include <gtest/gtest.h>

#include "CrawlDocument.h"
#include "LoopbackServer.h"
#include "NotifierFanOut.h"
#include "ProgramTexts.h"
#include "RowsReceiver.h"
#include "TableRowSink.h"
#include "TempFolder.h"

using namespace plovik;
using namespace plovik_test;

namespace {

// The window's side: each message handed to the document as the window's thread
// would hand it on.
class WindowSide : public CrawlNotifier {
public:
    explicit WindowSide(CrawlDocument& document) : m_document(document) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        m_document.OnProgress(nCode, pRecord, nNumber, nullptr);
    }
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override
    {
        m_document.OnProgress(CP_ITERATION_DONE, nullptr, 0, &ranks);
    }
    bool WantsProcessedPages() const override { return true; }
    void OnPageProcessed(const ProcessedPage& page) override { m_document.OnPageProcessed(page); }

private:
    CrawlDocument& m_document;
};

// A window's list: the shared row logic over a table, counting the messages it got.
class ListRows : public RowsReceiver {
public:
    ListRows() : RowsReceiver(m_rows), m_sink(3), m_rows(m_sink) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        ++m_nMessages;
        RowsReceiver::OnCrawlProgress(nCode, pRecord, nNumber);
    }
    void OnIterationDone(const RankIteration& ranks) override
    {
        ++m_nMessages;
        RowsReceiver::OnIterationDone(ranks);
    }
    TableRowSink m_sink;
    ProgressRows m_rows;
    int m_nMessages = 0;
};

class CrawlDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.Page("/", Html("<a href=\"a/\">a</a><a href=\"gone.html\">g</a>"));
        m_server.Page("/a/", Html("<a href=\"/\">home</a><a href=\"b.html\">b</a>"));
        m_server.Page("/a/b.html", Html("end"));
        m_server.Page("/gone.html", Html("gone"), 404);
    }

    // A crawl of the site in the document, with the list's rows beside it.
    void Crawl(CrawlDocument& document, ListRows& list)
    {
        CrawlSetup setup;
        setup.strStartUrl = m_server.Root() + "/";
        std::string strError;
        CrawlNotifier* pRecorder = document.BeginCrawl(setup, strError);
        ASSERT_TRUE(pRecorder) << strError;
        WindowSide window(document);
        NotifierFanOut receivers;
        receivers.Add(&list);
        receivers.Add(&window);
        receivers.Add(pRecorder);
        CrawlSettings settings;
        settings.pageDelay = std::chrono::milliseconds(0);
        CSiteCrawler crawler(&receivers, settings);
        crawler.Crawl(setup.strStartUrl);
        document.EndCrawl();
    }

    LoopbackServer m_server;
    TempFolder m_folder;
};

}  // namespace

TEST_F(CrawlDocumentTest, ASavedCrawlOpensIntoTheListAndTheViewsAsItWas)
{
    CrawlDocument crawled(m_folder.Path(""));
    EXPECT_EQ(crawled.SaveRefusal(), kNothingToSaveText);
    ListRows crawledList;
    Crawl(crawled, crawledList);
    EXPECT_EQ(crawled.SaveRefusal(), "");
    const std::string strPath = m_folder.Path("site.crawl");
    std::string strError;
    ASSERT_TRUE(crawled.CanSave());
    ASSERT_TRUE(crawled.SaveAs(strPath, strError)) << strError;

    CrawlDocument opened(m_folder.Path(""));
    ListRows openedList;
    OpenedCrawl crawl;
    int nCalls = 0;
    ASSERT_TRUE(opened.Open(strPath, openedList, crawl, strError, [&](const OpenedCrawl& about) {
        ++nCalls;
        EXPECT_EQ(openedList.m_nMessages, 0) << "before the first message";
        EXPECT_EQ(about.setup.strStartUrl, m_server.Root() + "/");
    })) << strError;
    EXPECT_EQ(nCalls, 1);
    EXPECT_EQ(openedList.m_sink.Rows(), crawledList.m_sink.Rows());
    EXPECT_EQ(LinkGraphText(opened.Graph(), LinkLayout::Edges), LinkGraphText(crawled.Graph(), LinkLayout::Edges));
    EXPECT_EQ(opened.Graph().BrokenLinks().RowCount(), 1u);
    // The opened file is what Save crawl… writes out again.
    ASSERT_TRUE(opened.SaveAs(m_folder.Path("again.crawl"), strError)) << strError;
    EXPECT_EQ(ReadWholeFile(m_folder.Path("again.crawl")), ReadWholeFile(strPath));
}

TEST_F(CrawlDocumentTest, ARefusedFileChangesNothing)
{
    CrawlDocument document(m_folder.Path(""));
    ListRows list;
    Crawl(document, list);
    const std::string strBefore = LinkGraphText(document.Graph(), LinkLayout::GraphMl);
    const std::string strText = m_folder.Path("notes.crawl");
    plovik_test::WriteWholeFile(strText, "Page,PR\n");

    ListRows other;
    OpenedCrawl crawl;
    std::string strError;
    bool bCalled = false;
    EXPECT_FALSE(document.Open(strText, other, crawl, strError, [&](const OpenedCrawl&) { bCalled = true; }));
    EXPECT_NE(strError.find("not a saved crawl"), std::string::npos) << strError;
    EXPECT_FALSE(bCalled);
    EXPECT_EQ(other.m_nMessages, 0);
    EXPECT_EQ(LinkGraphText(document.Graph(), LinkLayout::GraphMl), strBefore);
    // Still the crawl's own file behind Save crawl…, not the refused one.
    ASSERT_TRUE(document.SaveAs(m_folder.Path("kept.crawl"), strError)) << strError;
    ListRows reopened;
    CrawlDocument check(m_folder.Path(""));
    ASSERT_TRUE(check.Open(m_folder.Path("kept.crawl"), reopened, crawl, strError)) << strError;
    EXPECT_EQ(reopened.m_sink.Rows(), list.m_sink.Rows());
}

TEST_F(CrawlDocumentTest, ANewCrawlStartsFromNothing)
{
    CrawlDocument document(m_folder.Path(""));
    ListRows first;
    Crawl(document, first);
    const std::size_t nLinks = document.Graph().LinkCount();
    ASSERT_GT(nLinks, 0u);
    ListRows second;
    Crawl(document, second);
    EXPECT_EQ(document.Graph().LinkCount(), nLinks);
    EXPECT_EQ(document.Graph().Rows(), second.m_sink.Rows());
    std::string strError;
    const std::string strPath = m_folder.Path("links.graphml");
    ASSERT_TRUE(document.ExportLinks(strPath, LinkLayoutForPath(strPath), strError)) << strError;
    EXPECT_EQ(ReadWholeFile(strPath), LinkGraphText(document.Graph(), LinkLayout::GraphMl));
}

TEST_F(CrawlDocumentTest, ACrawlWithoutAFileSaysWhyItCannotBeSaved)
{
    CrawlDocument document(m_folder.Path("missing/"));
    CrawlSetup setup;
    setup.strStartUrl = m_server.Root() + "/";
    std::string strError;
    EXPECT_EQ(document.BeginCrawl(setup, strError), nullptr);
    EXPECT_FALSE(document.CanSave());
    EXPECT_EQ(document.SaveRefusal(), kCannotSaveText + strError);
    EXPECT_FALSE(strError.empty());
}
