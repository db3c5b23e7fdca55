#pragma once
// The crawl engine of one crawl: breadth-first fetches from a start page, the page
// table, and the rank calculation over it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <queue>
#include <string>
#include <vector>

#include "CrawlNotifier.h"
#include "CrawlSettings.h"
#include "HttpClient.h"
#include "LinkSource.h"
#include "PageRecord.h"
#include "RankArrays.h"

namespace plovik {

class CSiteCrawler {
public:
    using PageTable = plovik::PageTable;

    // The notifier receives every progress message synchronously; it may be null.
    CSiteCrawler(CrawlNotifier* pNotify, std::int32_t nIterations, std::int32_t nMaxPages);
    // The same, with every setting of a front end applied.
    CSiteCrawler(CrawlNotifier* pNotify, const CrawlSettings& settings);
    virtual ~CSiteCrawler();
    CSiteCrawler(const CSiteCrawler&) = delete;
    CSiteCrawler& operator=(const CSiteCrawler&) = delete;

    // Crawls from the start address, then calculates the ranks. Called once.
    void Crawl(const std::string& strStart);
    void ProcessPage(const std::string& strUrl, std::int32_t nDepth, std::queue<CrawlItem>& queue);
    // Fetches one page and appends its links; returns the status (-1: no status).
    std::int32_t FetchPage(const std::string& strUrl, std::vector<std::string>& links);
    void CalculateRank(std::int32_t nIterations);

    // ------------------------------------------------------------ beyond the crawl
    // Pause between pages; 1000 ms unless changed (tests shorten it).
    void SetPageDelay(std::chrono::milliseconds delay) { m_pageDelay = delay; }
    void SetHttpOptions(const HttpOptions& options) { m_httpOptions = options; }
    // Which rules read the links of a page; classic unless changed. Before Crawl.
    void SetLinkRules(LinkRules rules);
    // Why the fetch of an address gave status -1 (libcurl's words); empty when it
    // did not, or when the address was never requested.
    std::string FailureReason(const std::string& strUrl) const;
    // Pages to take from an earlier run instead of fetching them (no pause after
    // them); null fetches every page. Before Crawl; not owned.
    void SetRecordedPages(RecordedPages* pRecorded) { m_pRecorded = pRecorded; }

    // May be called from any thread. Interrupts a fetch or the pause; no further page
    // is started, no calculation runs and no further message is sent.
    void RequestStop();
    bool StopRequested() const { return m_bStop.load(); }

    const PageTable& Pages() const { return m_pages; }
    // Enters a record without fetching it (for building a table in benchmarks and
    // tests); returns the existing record when the address is known.
    PageRecord& AddPage(const std::string& strUrl, std::int32_t nDepth);
    // A link found on `from` to `to`, as the crawl enters it (to.inLinks and the rank
    // arrays); both records must be in this crawler's table.
    void AddLink(PageRecord& from, PageRecord& to) { m_ranks.AddLink(from, to); }

private:
    void Notify(int nCode, const PageRecord* pRecord, std::int32_t nNumber);
    // A record for an address that is not in the table yet.
    PageRecord& NewPage(const std::string& strUrl, std::int32_t nDepth);
    // One finished iteration's messages: CP_RANK_CHANGED per record, or the whole
    // iteration at once to a receiver that takes it so.
    void ReportIteration();
    void ReportFailure(const std::string& strUrl, const std::string& strReason);
    void ReportNote(const LinkNote& note);
    bool WaitBetweenPages();
    std::int32_t Recall(const std::string& strUrl, const RecordedPage& page, std::vector<std::string>& links);
    bool WantsProcessedPages() const { return m_pNotify && m_pNotify->WantsProcessedPages(); }

    std::string m_strServer;
    std::string m_strObject;
    long m_nPort = 80;
    std::string m_strScheme = "http";
    std::int32_t m_nIterations;
    std::int32_t m_nMaxPages;
    PageTable m_pages;
    RankArrays m_ranks;
    CrawlNotifier* m_pNotify;

    std::chrono::milliseconds m_pageDelay{1000};
    HttpOptions m_httpOptions;
    std::unique_ptr<LinkSource> m_pLinks;
    std::map<std::string, std::string> m_failures;  // address -> reason of a -1
    RecordedPages* m_pRecorded = nullptr;
    // The page being processed, beyond its status and links.
    bool m_bRecalled = false;
    std::string m_strFinalUrl;
    std::string m_strFailure;
    std::vector<std::string> m_hrefs;  // filled only for a receiver of processed pages
    std::atomic<bool> m_bStop{false};
    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
};

}  // namespace plovik
