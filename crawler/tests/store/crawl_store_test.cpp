// The crawl file itself: what goes in comes out, one page per transaction, and a file
// that is not a sound crawl of this version is refused without being touched.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "BrokenCrawlFiles.h"
#include "CrawlStore.h"
#include "StoreFileHeader.h"
#include "TempFolder.h"

using namespace plovik;
using namespace plovik_test;

namespace {

CrawlSetup SampleSetup()
{
    CrawlSetup setup;
    setup.strStartUrl = "http://h/";
    setup.linkRules = LinkRules::Standard;
    setup.nMaxPages = 7;
    setup.nIterations = 2;
    setup.strProgramVersion = "9.8.7";
    return setup;
}

// Addresses as a page can write them: quotes, commas, markup, line breaks, bytes that
// are no UTF-8, a zero byte.
std::vector<StoredPage> HostilePages()
{
    std::vector<StoredPage> pages(4);
    const char* const urls[] = {"http://h/", "http://h/a \"quoted\", <&> too", "http://h/line\nbreak\r\n",
                                "http://h/\xff\xfe"};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i].nId = static_cast<std::int64_t>(i);
        pages[i].strUrl = urls[i];
        pages[i].nDepth = i == 0 ? 0 : 1;
    }
    pages[3].strUrl += std::string("\0zero", 5);
    pages[0].nStatus = 200;
    pages[0].nOutLinks = 4;
    pages[0].bVisited = true;
    pages[0].nVisitOrder = 0;
    pages[0].strFinalUrl = "http://h/index, \"final\"";
    pages[0].fRank = 0.14999998f;
    pages[1].nStatus = -1;
    pages[1].bVisited = true;
    pages[1].nVisitOrder = 1;
    pages[1].strFailure = "Failed to connect: <refused> & \"gone\"";
    pages[1].fRank = 1.2345678f;
    return pages;
}

std::vector<StoredLink> HostileLinks()
{
    return {{0, 0, 1, "a \"quoted\", <&> too"},
            {0, 1, 2, "line\nbreak\r\n"},
            {0, 2, 3, std::string("\xff\xfe\0zero", 7)},
            {0, 3, 1, "http://h/a \"quoted\", <&> too"}};
}

// A finished file with the hostile pages; pages 0 and 1 visited.
void WriteHostileCrawl(const std::string& strPath)
{
    std::string strError;
    const auto pStore = CrawlStore::Create(strPath, SampleSetup(), strError);
    ASSERT_TRUE(pStore) << strError;
    const std::vector<StoredPage> pages = HostilePages();
    pStore->BeginPage();
    for (const StoredPage& page : pages)
        pStore->InsertPage(page.nId, page.strUrl, page.nDepth);
    pStore->UpdateVisited(pages[0]);
    for (const StoredLink& link : HostileLinks())
        pStore->InsertLink(link);
    pStore->CommitPage();
    pStore->BeginPage();
    pStore->UpdateVisited(pages[1]);
    pStore->CommitPage();
    std::vector<std::pair<std::int64_t, float>> ranks;
    for (const StoredPage& page : pages)
        ranks.emplace_back(page.nId, page.fRank);
    pStore->Finish(ranks, 1384);
    EXPECT_EQ(pStore->WriteError(), "");
}

std::string QueryText(const std::string& strPath, const char* pSql)
{
    sqlite3* pDb = nullptr;
    sqlite3_open_v2(strPath.c_str(), &pDb, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* pStatement = nullptr;
    std::string strResult;
    if (sqlite3_prepare_v2(pDb, pSql, -1, &pStatement, nullptr) == SQLITE_OK && sqlite3_step(pStatement) == SQLITE_ROW)
        strResult = reinterpret_cast<const char*>(sqlite3_column_text(pStatement, 0));
    sqlite3_finalize(pStatement);
    sqlite3_close(pDb);
    return strResult;
}

TEST(CrawlStore, EveryColumnComesBackAsWritten)
{
    TempFolder folder;
    const std::string strPath = folder.Path("hostile.crawl");
    WriteHostileCrawl(strPath);
    // A finished crawl is one file, readable with nothing beside it.
    EXPECT_EQ(folder.Names(), std::set<std::string>{"hostile.crawl"});

    std::string strError;
    const auto pStore = CrawlStore::Open(strPath, CrawlStore::Access::ReadOnly, strError);
    ASSERT_TRUE(pStore) << strError;
    const CrawlSetup& setup = pStore->Setup();
    EXPECT_EQ(setup.strStartUrl, "http://h/");
    EXPECT_EQ(setup.linkRules, LinkRules::Standard);
    EXPECT_EQ(setup.nMaxPages, 7);
    EXPECT_EQ(setup.nIterations, 2);
    EXPECT_EQ(setup.strProgramVersion, "9.8.7");
    EXPECT_EQ(setup.nTotal, 1384);
    EXPECT_EQ(setup.strStarted.size(), 20u) << setup.strStarted;  // 2026-12-07T22:15:03Z
    EXPECT_EQ(setup.strFinished.size(), 20u) << setup.strFinished;
    EXPECT_TRUE(pStore->Finished());

    std::vector<StoredPage> pages;
    ASSERT_TRUE(pStore->ReadPages(pages));
    const std::vector<StoredPage> expected = HostilePages();
    ASSERT_EQ(pages.size(), expected.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].nId, expected[i].nId) << i;
        EXPECT_EQ(pages[i].strUrl, expected[i].strUrl) << i;
        EXPECT_EQ(pages[i].nDepth, expected[i].nDepth) << i;
        EXPECT_EQ(pages[i].nStatus, expected[i].nStatus) << i;
        EXPECT_EQ(pages[i].nOutLinks, expected[i].nOutLinks) << i;
        EXPECT_EQ(pages[i].fRank, expected[i].fRank) << i;  // single precision survives exactly
        EXPECT_EQ(pages[i].bVisited, expected[i].bVisited) << i;
        EXPECT_EQ(pages[i].nVisitOrder, expected[i].nVisitOrder) << i;
        EXPECT_EQ(pages[i].strFinalUrl, expected[i].strFinalUrl) << i;
        EXPECT_EQ(pages[i].strFailure, expected[i].strFailure) << i;
    }
    std::vector<StoredLink> links;
    ASSERT_TRUE(pStore->ReadLinks(links));
    const std::vector<StoredLink> expectedLinks = HostileLinks();
    ASSERT_EQ(links.size(), expectedLinks.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(links[i].nFrom, expectedLinks[i].nFrom) << i;
        EXPECT_EQ(links[i].nPosition, expectedLinks[i].nPosition) << i;
        EXPECT_EQ(links[i].nTo, expectedLinks[i].nTo) << i;
        EXPECT_EQ(links[i].strHref, expectedLinks[i].strHref) << i;
    }
}

TEST(CrawlStore, FileNamesItsApplicationAndSchemaVersion)
{
    TempFolder folder;
    const std::string strPath = folder.Path("a.crawl");
    WriteHostileCrawl(strPath);
    EXPECT_EQ(QueryText(strPath, "PRAGMA user_version"), std::to_string(CrawlStore::kSchemaVersion));
    EXPECT_EQ(QueryText(strPath, "PRAGMA application_id"), std::to_string(kCrawlApplicationId));
    EXPECT_EQ(QueryText(strPath, "SELECT value FROM meta WHERE key='application'"), CrawlStore::kApplication);
    EXPECT_EQ(QueryText(strPath, "SELECT value FROM meta WHERE key='link_rules'"), "standard");
    EXPECT_EQ(QueryText(strPath, "PRAGMA journal_mode"), "delete");
    // What a reader of the file gets with plain SQL.
    EXPECT_EQ(QueryText(strPath, "SELECT group_concat(to_page) FROM link WHERE from_page=0 ORDER BY position"),
              "1,2,3,1");
    EXPECT_EQ(QueryText(strPath, "SELECT count(*) FROM page WHERE visited=1"), "2");
}

TEST(CrawlStore, APageLeftHalfWrittenIsNotInTheFile)
{
    TempFolder folder;
    const std::string strPath = folder.Path("half.crawl");
    {
        std::string strError;
        const auto pStore = CrawlStore::Create(strPath, SampleSetup(), strError);
        ASSERT_TRUE(pStore) << strError;
        pStore->BeginPage();
        pStore->InsertPage(0, "http://h/", 0);
        pStore->CommitPage();
        pStore->BeginPage();
        pStore->InsertPage(1, "http://h/a", 1);
        pStore->InsertLink({0, 0, 1, "a"});
        // The crawl ends here, without a commit and without its ranks.
    }
    std::string strError;
    const auto pStore = CrawlStore::Open(strPath, CrawlStore::Access::ReadOnly, strError);
    ASSERT_TRUE(pStore) << strError;
    EXPECT_FALSE(pStore->Finished());
    std::vector<StoredPage> pages;
    std::vector<StoredLink> links;
    ASSERT_TRUE(pStore->ReadPages(pages));
    ASSERT_TRUE(pStore->ReadLinks(links));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].strUrl, "http://h/");
    EXPECT_TRUE(links.empty());
}

// Rows go in several to a statement: every row lands once, in its place, whatever the
// count (here two full statements and a short one).
TEST(CrawlStore, PagesAndLinksWrittenTogetherComeBackOneByOne)
{
    TempFolder folder;
    const std::string strPath = folder.Path("rows.crawl");
    std::string strError;
    const auto pStore = CrawlStore::Create(strPath, SampleSetup(), strError);
    ASSERT_TRUE(pStore) << strError;
    const int nRows = 37;
    std::vector<std::string> urls, hrefs;
    std::vector<CrawlStore::NewPage> newPages;
    std::vector<std::int64_t> targets;
    for (int i = 0; i < nRows; ++i)
        urls.push_back("http://h/" + std::to_string(i));
    for (int i = 0; i < nRows; ++i) {
        newPages.push_back({i, &urls[static_cast<std::size_t>(i)], i % 3});
        targets.push_back((i * 7) % nRows);
        if (i < 20)  // the rest come without their hrefs
            hrefs.push_back("h" + std::to_string(i));
    }
    pStore->BeginPage();
    pStore->InsertPages(newPages);
    pStore->InsertLinks(5, targets, hrefs);
    pStore->CommitPage();
    ASSERT_EQ(pStore->WriteError(), "");

    std::vector<StoredPage> pages;
    std::vector<StoredLink> links;
    ASSERT_TRUE(pStore->ReadPages(pages));
    ASSERT_TRUE(pStore->ReadLinks(links));
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(nRows));
    ASSERT_EQ(links.size(), static_cast<std::size_t>(nRows));
    for (int i = 0; i < nRows; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_EQ(pages[k].nId, i);
        EXPECT_EQ(pages[k].strUrl, urls[k]);
        EXPECT_EQ(pages[k].nDepth, i % 3);
        EXPECT_FALSE(pages[k].bVisited);
        EXPECT_EQ(links[k].nFrom, 5);
        EXPECT_EQ(links[k].nPosition, i);
        EXPECT_EQ(links[k].nTo, targets[k]);
        EXPECT_EQ(links[k].strHref, i < 20 ? hrefs[k] : "");
    }

    // A row that cannot go in fails its page as a single row would.
    pStore->BeginPage();
    pStore->InsertPages({{40, &urls[0], 1}, {3, &urls[1], 1}});
    pStore->CommitPage();
    EXPECT_NE(pStore->WriteError().find("UNIQUE"), std::string::npos) << pStore->WriteError();
    pages.clear();
    ASSERT_TRUE(pStore->ReadPages(pages));
    EXPECT_EQ(pages.size(), static_cast<std::size_t>(nRows));
}

// What a process killed right after a commit leaves: the file and its log as they are
// on disk at that moment, with no close to finish them.
TEST(CrawlStore, EachCommittedPageIsOnDiskAtOnce)
{
    TempFolder folder;
    const std::string strPath = folder.Path("live.crawl");
    std::string strError;
    const auto pStore = CrawlStore::Create(strPath, SampleSetup(), strError);
    ASSERT_TRUE(pStore) << strError;
    for (int i = 0; i < 3; ++i) {
        pStore->BeginPage();
        pStore->InsertPage(i, "http://h/" + std::to_string(i), i);
        StoredPage visited;
        visited.nId = i;
        visited.nStatus = 200;
        visited.nOutLinks = 1;
        visited.nVisitOrder = i;
        visited.strFinalUrl = "http://h/" + std::to_string(i);
        pStore->UpdateVisited(visited);
        // The last page's commit spans many frames of the log.
        const int nLinks = i == 2 ? 3000 : 1;
        for (int k = 0; k < nLinks; ++k)
            pStore->InsertLink({i, k, i, "self" + std::string(static_cast<std::size_t>(k % 200), '.')});
        pStore->CommitPage();
        ASSERT_EQ(pStore->WriteError(), "");

        TempFolder copy;
        const std::string strCopy = copy.Path("killed.crawl");
        WriteWholeFile(strCopy, ReadWholeFile(strPath));
        WriteWholeFile(strCopy + "-wal", ReadWholeFile(strPath + "-wal"));
        const auto pKilled = CrawlStore::Open(strCopy, CrawlStore::Access::ReadOnly, strError);
        ASSERT_TRUE(pKilled) << strError;
        std::vector<StoredPage> pages;
        std::vector<StoredLink> links;
        ASSERT_TRUE(pKilled->ReadPages(pages));
        ASSERT_TRUE(pKilled->ReadLinks(links));
        ASSERT_EQ(pages.size(), static_cast<std::size_t>(i + 1));
        EXPECT_EQ(pages.back().nVisitOrder, i);
        EXPECT_EQ(pages.back().strFinalUrl, "http://h/" + std::to_string(i));
        ASSERT_EQ(links.size(), static_cast<std::size_t>(i == 2 ? 3002 : i + 1));
        EXPECT_EQ(links.back().strHref, "self" + std::string(i == 2 ? 2999 % 200 : 0, '.'));
    }
}

TEST(CrawlStore, AFailedWriteIsKeptAndStopsFurtherWrites)
{
    TempFolder folder;
    const std::string strPath = folder.Path("dup.crawl");
    std::string strError;
    const auto pStore = CrawlStore::Create(strPath, SampleSetup(), strError);
    ASSERT_TRUE(pStore) << strError;
    pStore->BeginPage();
    pStore->InsertPage(0, "http://h/", 0);
    pStore->InsertPage(0, "http://h/b", 1);  // the same number twice
    pStore->CommitPage();
    EXPECT_NE(pStore->WriteError().find("UNIQUE"), std::string::npos) << pStore->WriteError();
    pStore->BeginPage();
    pStore->InsertPage(2, "http://h/b", 1);
    pStore->CommitPage();
    std::vector<StoredPage> pages;
    ASSERT_TRUE(pStore->ReadPages(pages));
    EXPECT_TRUE(pages.empty());
}

TEST(CrawlStore, CreateRefusesAFileThatExists)
{
    TempFolder folder;
    const std::string strPath = folder.Path("taken");
    WriteWholeFile(strPath, "keep me");
    std::string strError;
    EXPECT_FALSE(CrawlStore::Create(strPath, SampleSetup(), strError));
    EXPECT_NE(strError.find("exists"), std::string::npos) << strError;
    EXPECT_EQ(ReadWholeFile(strPath), "keep me");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"taken"});
}

TEST(CrawlStore, FilesThatAreNoSoundCrawlAreRefusedUntouched)
{
    TempFolder folder;
    const std::string strSoundPath = folder.Path("sound.crawl");
    WriteHostileCrawl(strSoundPath);
    const std::string strSound = ReadWholeFile(strSoundPath);
    for (const BrokenCrawlFile& broken : BrokenCrawlFiles(folder, strSound)) {
        TempFolder own;
        const std::string strPath = own.Path("file");
        WriteWholeFile(strPath, broken.strBytes);
        for (const auto access : {CrawlStore::Access::ReadOnly, CrawlStore::Access::ReadWrite}) {
            std::string strError;
            EXPECT_FALSE(CrawlStore::Open(strPath, access, strError)) << broken.strName;
            EXPECT_NE(strError.find(broken.strWhy), std::string::npos) << broken.strName << ": " << strError;
            EXPECT_EQ(strError.find('\n'), std::string::npos) << broken.strName << ": " << strError;
            EXPECT_TRUE(ReadWholeFile(strPath) == broken.strBytes) << broken.strName;
            EXPECT_EQ(own.Names(), std::set<std::string>{"file"}) << broken.strName;
        }
    }
}

TEST(CrawlStore, OpeningAMissingFileCreatesNothing)
{
    TempFolder folder;
    std::string strError;
    for (const auto access : {CrawlStore::Access::ReadOnly, CrawlStore::Access::ReadWrite})
        EXPECT_FALSE(CrawlStore::Open(folder.Path("none.crawl"), access, strError));
    EXPECT_NE(strError.find("no such file"), std::string::npos) << strError;
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
