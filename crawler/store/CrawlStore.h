#pragma once
// A crawl kept in one SQLite file while it runs: its settings, every page and every
// link, one processed page per transaction, so that a killed process loses at most
// the page it was on. The same file is read back by --open and continued by --resume.
//
//   std::string strError;
//   auto store = CrawlStore::Create("site.crawl", setup, strError);   // refuses an existing file
//   auto saved = CrawlStore::Open("site.crawl", CrawlStore::Access::ReadOnly, strError);
//
// The tables and their columns are described in README.md ("Saved crawls").

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "LinkSource.h"

namespace plovik {

// ------------------------------------------------------------ what the file holds
struct CrawlSetup {
    std::string strStartUrl;  // the start address as the crawl used it
    LinkRules linkRules = LinkRules::Classic;
    std::int32_t nMaxPages = 10;
    std::int32_t nIterations = 3;
    std::string strProgramVersion;
    std::string strStarted;   // UTC, ISO 8601
    std::string strFinished;  // UTC, ISO 8601; empty until the ranks are stored
    std::int32_t nTotal = 0;  // CP_CALC_DONE's number, once finished
};

struct StoredPage {
    std::int64_t nId = 0;  // the order the crawl met the page in, from 0 (the start page)
    std::string strUrl;    // as keyed in the page table
    std::int32_t nDepth = 0;
    std::int32_t nStatus = 0;
    std::int32_t nOutLinks = 0;
    float fRank = 1.0f;
    bool bVisited = false;
    std::int64_t nVisitOrder = -1;  // the crawl processed it as its n-th page (from 0); -1 never
    std::string strFinalUrl;
    std::string strFailure;
};

struct StoredLink {
    std::int64_t nFrom = 0;
    std::int32_t nPosition = 0;  // index in the page's link list, from 0
    std::int64_t nTo = 0;
    std::string strHref;
};

class CrawlStore {
public:
    static const int kSchemaVersion;
    static const char* const kApplication;  // the meta row "application"

    enum class Access { ReadOnly, ReadWrite };

    // A new file with the settings; refuses a path that exists. Null on failure,
    // with the reason in strError.
    static std::unique_ptr<CrawlStore> Create(const std::string& strPath, const CrawlSetup& setup,
                                              std::string& strError);
    // An existing crawl file, checked without changing it before anything else:
    // a file that is missing, not a crawl, damaged or of another schema version gives
    // null and the reason. Never creates a file.
    static std::unique_ptr<CrawlStore> Open(const std::string& strPath, Access access, std::string& strError);

    ~CrawlStore();
    CrawlStore(const CrawlStore&) = delete;
    CrawlStore& operator=(const CrawlStore&) = delete;

    const CrawlSetup& Setup() const;
    bool Finished() const { return !Setup().strFinished.empty(); }

    // ------------------------------------------------------------ reading
    // Pages in id order, links in (from, position) order. False on a read error.
    bool ReadPages(std::vector<StoredPage>& pages);
    // bHrefs false leaves every strHref empty (a replay does not need them).
    bool ReadLinks(std::vector<StoredLink>& links, bool bHrefs = true);

    // ------------------------------------------------------------ writing
    // One processed page: Begin, the new pages, the visited page, its links, Commit.
    void BeginPage();
    void InsertPage(std::int64_t nId, const std::string& strUrl, std::int32_t nDepth);
    // New pages as InsertPage would write them, several in one statement. The
    // addresses must stay put until the call returns.
    struct NewPage {
        std::int64_t nId;
        const std::string* pUrl;
        std::int32_t nDepth;
    };
    void InsertPages(const std::vector<NewPage>& pages);
    void UpdateVisited(const StoredPage& page);
    void InsertLink(const StoredLink& link);
    // All links of one page, positions from 0, as InsertLink would write them; an href
    // missing at the end of hrefs is written empty. Several rows go in one statement.
    void InsertLinks(std::int64_t nFrom, const std::vector<std::int64_t>& targets,
                     const std::vector<std::string>& hrefs);
    void CommitPage();
    // The end of the crawl: every page's rank and the total, the finishing time. The
    // file is then one self-contained file again (no write-ahead log beside it).
    void Finish(const std::vector<std::pair<std::int64_t, float>>& ranks, std::int32_t nTotal);

    // The first write that failed, as SQLite said it; empty while all went well. After
    // a failure nothing more is written.
    const std::string& WriteError() const;

private:
    struct Impl;
    explicit CrawlStore(std::unique_ptr<Impl> pImpl);
    std::unique_ptr<Impl> m_pImpl;
};

// "classic" or "standard", as the file and the command line name them.
const char* LinkRulesName(LinkRules rules);

}  // namespace plovik
