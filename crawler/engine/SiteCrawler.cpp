#include "SiteCrawler.h"

#include <cstdint>
#include <unordered_map>

namespace plovik {

const float CSiteCrawler::kBase = static_cast<float>(1.0 - static_cast<double>(CSiteCrawler::kDamping));

CSiteCrawler::CSiteCrawler(CrawlNotifier* pNotify, std::int32_t nIterations, std::int32_t nMaxPages)
    : m_nIterations(nIterations),
      m_nMaxPages(nMaxPages),
      m_pNotify(pNotify),
      m_pLinks(MakeLinkSource(LinkRules::Classic))
{
}

CSiteCrawler::CSiteCrawler(CrawlNotifier* pNotify, const CrawlSettings& settings)
    : CSiteCrawler(pNotify, settings.nIterations, settings.nMaxPages)
{
    m_pageDelay = settings.pageDelay;
    m_httpOptions = settings.http;
    SetLinkRules(settings.linkRules);
}

void CSiteCrawler::SetLinkRules(LinkRules rules)
{
    m_pLinks = MakeLinkSource(rules);
}

std::string CSiteCrawler::FailureReason(const std::string& strUrl) const
{
    const auto it = m_failures.find(strUrl);
    return it == m_failures.end() ? std::string() : it->second;
}

CSiteCrawler::~CSiteCrawler()
{
    for (auto& entry : m_pages)
        entry.second->inLinks.clear();
    m_pages.clear();
}

PageRecord& CSiteCrawler::AddPage(const std::string& strUrl, std::int32_t nDepth)
{
    auto& slot = m_pages[strUrl];
    if (!slot) {
        slot = std::make_unique<PageRecord>();
        slot->strUrl = strUrl;
        slot->nDepth = nDepth;
    }
    return *slot;
}

void CSiteCrawler::RequestStop()
{
    {
        std::lock_guard<std::mutex> lock(m_stopMutex);
        m_bStop.store(true);
    }
    m_stopSignal.notify_all();
}

void CSiteCrawler::Notify(int nCode, const PageRecord* pRecord, std::int32_t nNumber)
{
    if (m_pNotify && !m_bStop.load())
        m_pNotify->OnCrawlProgress(nCode, pRecord, nNumber);
}

void CSiteCrawler::ReportFailure(const std::string& strUrl, const std::string& strReason)
{
    m_failures[strUrl] = strReason;
    if (m_pNotify && !m_bStop.load())
        m_pNotify->OnPageFailed(strUrl, strReason);
}

void CSiteCrawler::ReportNote(const LinkNote& note)
{
    if (m_pNotify && !m_bStop.load() && !note.strText.empty())
        m_pNotify->OnPageNote(note.strUrl, note.strText);
}

bool CSiteCrawler::WaitBetweenPages()
{
    std::unique_lock<std::mutex> lock(m_stopMutex);
    return !m_stopSignal.wait_for(lock, m_pageDelay, [this] { return m_bStop.load(); });
}

void CSiteCrawler::Crawl(const std::string& strStart)
{
    ReportNote(m_pLinks->BeginCrawl(strStart, m_httpOptions, &m_bStop));
    std::queue<CrawlItem> queue;
    queue.push(CrawlItem{strStart, 0});
    std::int32_t nProcessed = 0;
    while (!queue.empty() && !m_bStop.load()) {
        CrawlItem item = std::move(queue.front());
        queue.pop();
        ProcessPage(item.strUrl, item.nDepth, queue);
        ++nProcessed;
        if (nProcessed >= m_nMaxPages)
            break;
        if (!WaitBetweenPages())
            break;
    }
    if (m_bStop.load())
        return;
    CalculateRank(m_nIterations);
}

void CSiteCrawler::ProcessPage(const std::string& strUrl, std::int32_t nDepth, std::queue<CrawlItem>& queue)
{
    std::vector<std::string> links;
    const std::int32_t nStatus = FetchPage(strUrl, links);
    const HttpAddress pageAddress{m_strScheme, m_strServer, m_nPort, m_strObject};
    const std::int32_t nOutLinks = static_cast<std::int32_t>(links.size());

    PageRecord* pCurrent = nullptr;
    auto it = m_pages.find(strUrl);
    if (it == m_pages.end()) {
        auto record = std::make_unique<PageRecord>();
        record->strUrl = strUrl;
        record->nDepth = nDepth;
        record->nStatus = nStatus;
        record->nOutLinks = nOutLinks;
        pCurrent = record.get();
        m_pages.emplace(strUrl, std::move(record));
        Notify(CP_PAGE_ADDED, pCurrent, 0);
    } else {
        pCurrent = it->second.get();
        pCurrent->nStatus = nStatus;
        pCurrent->nOutLinks = nOutLinks;
        Notify(CP_PAGE_FETCHED, pCurrent, 0);
    }
    pCurrent->bVisited = true;

    for (const std::string& strLink : links) {
        // Deciding on a link may cost (a big robots.txt): a stop ends the page here.
        if (m_bStop.load())
            break;
        std::string strVariant;
        if (!strLink.empty() && strLink.back() == '/')
            strVariant = strLink.substr(0, strLink.size() - 1);
        else
            strVariant = strLink + "/";
        auto found = m_pages.find(strLink);
        if (found == m_pages.end())
            found = m_pages.find(strVariant);
        if (found != m_pages.end()) {
            found->second->inLinks.push_back(pCurrent);
            Notify(CP_INLINKS_CHANGED, found->second.get(), 0);
            continue;
        }
        auto record = std::make_unique<PageRecord>();
        record->strUrl = strLink;
        record->nDepth = nDepth + 1;
        record->inLinks.push_back(pCurrent);
        PageRecord* pNew = record.get();
        m_pages.emplace(strLink, std::move(record));
        if (m_pLinks->Follows(strLink, pageAddress))
            queue.push(CrawlItem{strLink, nDepth + 1});
        Notify(CP_PAGE_ADDED, pNew, 0);
    }
    Notify(CP_PAGE_DONE, pCurrent, 0);
}

std::int32_t CSiteCrawler::FetchPage(const std::string& strUrl, std::vector<std::string>& links)
{
    HttpAddress address;
    if (!m_pLinks->ParseAddress(strUrl, address)) {
        ReportFailure(strUrl, "not an address the link rules fetch");
        return -1;
    }
    m_strServer = address.strHost;
    m_strObject = address.strObject;
    m_nPort = address.nPort;
    m_strScheme = address.strScheme;

    HttpResult result = HttpGet(strUrl, m_httpOptions, &m_bStop);
    if (!result.strError.empty())
        ReportFailure(strUrl, result.strError);
    // The page keeps its redirect's status; where it pointed is a link of the page.
    if (!result.strOffSiteTarget.empty()) {
        ReportNote(LinkNote{strUrl, "redirects to " + result.strOffSiteTarget + ", another site: not followed"});
        m_pLinks->AddRedirectTarget(result.strOffSiteTarget, links);
    }
    if (result.nStatus == 200 && result.bBodyRead)
        m_pLinks->AddLinks(FetchedPage{result.strText, address, result.strFinalUrl}, links);
    return result.nStatus;
}

namespace {

// The link graph of the page table as flat arrays in table order, so an iteration
// reads ranks and link counts from two dense arrays instead of chasing a pointer to
// a record per link.
struct RankGraph {
    std::vector<PageRecord*> pages;
    std::vector<std::uint32_t> start;  // in-links of page i: from[start[i] .. start[i+1])
    std::vector<std::uint32_t> from;
    std::vector<std::int32_t> outLinks;
    std::vector<float> rank;
    std::vector<float> newRank;
};

RankGraph BuildRankGraph(const CSiteCrawler::PageTable& table)
{
    RankGraph g;
    const std::size_t n = table.size();
    g.pages.reserve(n);
    for (const auto& entry : table)
        g.pages.push_back(entry.second.get());

    // A record's index is parked in its fNewRank while the arrays are built (exact
    // for up to 2^24 records); larger tables take a hash map.
    std::vector<float> saved(n);
    std::unordered_map<const PageRecord*, std::uint32_t> index;
    const bool bPark = n <= (std::size_t(1) << 24);
    for (std::size_t i = 0; i < n; ++i) {
        saved[i] = g.pages[i]->fNewRank;
        if (bPark)
            g.pages[i]->fNewRank = static_cast<float>(i);
        else
            index.emplace(g.pages[i], static_cast<std::uint32_t>(i));
    }
    g.start.reserve(n + 1);
    g.start.push_back(0);
    for (const PageRecord* p : g.pages) {
        for (const PageRecord* q : p->inLinks)
            g.from.push_back(bPark ? static_cast<std::uint32_t>(q->fNewRank) : index.at(q));
        g.start.push_back(static_cast<std::uint32_t>(g.from.size()));
    }
    g.outLinks.resize(n);
    g.rank.resize(n);
    g.newRank.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        g.pages[i]->fNewRank = saved[i];
        g.outLinks[i] = g.pages[i]->nOutLinks;
        g.rank[i] = g.pages[i]->fRank;
    }
    return g;
}

}  // namespace

void CSiteCrawler::CalculateRank(std::int32_t nIterations)
{
    const double d = static_cast<double>(kDamping);
    Notify(CP_CALC_START, nullptr, 0);
    float fTotal = 0.0f;
    RankGraph g;
    if (nIterations > 0)
        g = BuildRankGraph(m_pages);
    const std::size_t n = g.pages.size();
    for (std::int32_t nIteration = 0; nIteration < nIterations; ++nIteration) {
        if (m_bStop.load())
            return;
        for (std::size_t i = 0; i < n; ++i) {
            // Stored as single precision after each addition.
            float fNew = kBase;
            for (std::uint32_t k = g.start[i]; k < g.start[i + 1]; ++k) {
                const std::uint32_t q = g.from[k];
                if (g.outLinks[q] > 0)
                    fNew = static_cast<float>(static_cast<double>(fNew) +
                                              static_cast<double>(g.rank[q]) / g.outLinks[q] * d);
            }
            g.newRank[i] = fNew;
            g.pages[i]->fNewRank = fNew;
            Notify(CP_RANK_CHANGED, g.pages[i], 0);
        }
        fTotal = 0.0f;
        for (std::size_t i = 0; i < n; ++i) {
            g.rank[i] = g.newRank[i];
            g.pages[i]->fRank = g.newRank[i];
            if (g.pages[i]->bVisited)
                fTotal = static_cast<float>(static_cast<double>(fTotal) + static_cast<double>(g.rank[i]));
        }
        Notify(CP_ITERATION_DONE, nullptr, 0);
    }
    // Truncated toward zero; a total beyond the 32-bit range saturates.
    const double dScaled = static_cast<double>(fTotal) * static_cast<double>(1000.0f);
    std::int32_t nScaled = 0;
    if (dScaled >= 2147483647.0)
        nScaled = INT32_MAX;
    else if (dScaled <= -2147483648.0)
        nScaled = INT32_MIN;
    else
        nScaled = static_cast<std::int32_t>(dScaled);
    Notify(CP_CALC_DONE, nullptr, nScaled);
}

}  // namespace plovik
