#include "SiteCrawler.h"

#include <cstdint>

namespace plovik {

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
    const auto it = m_pages.find(strUrl);
    return it != m_pages.end() ? *it->second : NewPage(strUrl, nDepth);
}

PageRecord& CSiteCrawler::NewPage(const std::string& strUrl, std::int32_t nDepth)
{
    auto record = std::make_unique<PageRecord>();
    record->strUrl = strUrl;
    record->nDepth = nDepth;
    PageRecord& added = *record;
    const auto next = std::next(m_pages.emplace(strUrl, std::move(record)).first);
    m_ranks.AddPage(added, next == m_pages.end() ? nullptr : next->second.get());
    return added;
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
    m_strFailure = strReason;
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
        // A page taken from an earlier run was not fetched: nothing to pace.
        if (!m_bRecalled && !WaitBetweenPages())
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

    const bool bKeepGraph = WantsProcessedPages();
    std::vector<const PageRecord*> targets;
    if (bKeepGraph)
        targets.reserve(links.size());

    PageRecord* pCurrent = nullptr;
    auto it = m_pages.find(strUrl);
    if (it == m_pages.end()) {
        pCurrent = &NewPage(strUrl, nDepth);
        pCurrent->nStatus = nStatus;
        pCurrent->nOutLinks = nOutLinks;
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
            m_ranks.AddLink(*pCurrent, *found->second);
            if (bKeepGraph)
                targets.push_back(found->second.get());
            Notify(CP_INLINKS_CHANGED, found->second.get(), 0);
            continue;
        }
        PageRecord* pNew = &NewPage(strLink, nDepth + 1);
        m_ranks.AddLink(*pCurrent, *pNew);
        if (bKeepGraph)
            targets.push_back(pNew);
        if (m_pLinks->Follows(strLink, pageAddress))
            queue.push(CrawlItem{strLink, nDepth + 1});
        Notify(CP_PAGE_ADDED, pNew, 0);
    }
    // A page that a stop cut short is not handed on whole.
    if (bKeepGraph && !m_bStop.load())
        m_pNotify->OnPageProcessed(ProcessedPage{*pCurrent, m_strFinalUrl, m_strFailure, targets, m_hrefs, m_bRecalled});
    Notify(CP_PAGE_DONE, pCurrent, 0);
}

std::int32_t CSiteCrawler::FetchPage(const std::string& strUrl, std::vector<std::string>& links)
{
    m_bRecalled = false;
    m_strFinalUrl.clear();
    m_strFailure.clear();
    m_hrefs.clear();
    RecordedPage recorded;
    if (m_pRecorded && m_pRecorded->Recall(strUrl, recorded))
        return Recall(strUrl, recorded, links);

    HttpAddress address;
    if (!m_pLinks->ParseAddress(strUrl, address)) {
        ReportFailure(strUrl, "not an address the link rules fetch");
        return -1;
    }
    m_strServer = address.strHost;
    m_strObject = address.strObject;
    m_nPort = address.nPort;
    m_strScheme = address.strScheme;

    HttpOptions options = m_httpOptions;
    options.bWholeBody = m_pLinks->ReadsWholeBody();
    HttpResult result = HttpGet(strUrl, options, &m_bStop);
    if (!result.strError.empty())
        ReportFailure(strUrl, result.strError);
    if (result.nStatus >= 0)
        m_strFinalUrl = result.strFinalUrl;
    std::vector<std::string>* pHrefs = WantsProcessedPages() ? &m_hrefs : nullptr;
    // The page keeps its redirect's status; where it pointed is a link of the page.
    if (!result.strOffSiteTarget.empty()) {
        ReportNote(LinkNote{strUrl, "redirects to " + result.strOffSiteTarget + ", another site: not followed"});
        const std::size_t nBefore = links.size();
        m_pLinks->AddRedirectTarget(result.strOffSiteTarget, links);
        if (pHrefs && links.size() != nBefore)
            pHrefs->push_back(result.strOffSiteTarget);
    }
    if (result.nStatus == 200 && result.bBodyRead)
        m_pLinks->AddLinks(FetchedPage{result.strText, address, result.strFinalUrl, pHrefs}, links);
    return result.nStatus;
}

// The page as the earlier run saw it; the address still sets the base that decides
// which of its new links are queued.
std::int32_t CSiteCrawler::Recall(const std::string& strUrl, const RecordedPage& page, std::vector<std::string>& links)
{
    m_bRecalled = true;
    HttpAddress address;
    if (m_pLinks->ParseAddress(strUrl, address)) {
        m_strServer = address.strHost;
        m_strObject = address.strObject;
        m_nPort = address.nPort;
        m_strScheme = address.strScheme;
    }
    if (!page.strFailure.empty())
        ReportFailure(strUrl, page.strFailure);
    m_strFinalUrl = page.strFinalUrl;
    links = page.links;
    if (WantsProcessedPages())
        m_hrefs = page.hrefs;
    return page.nStatus;
}

void CSiteCrawler::CalculateRank(std::int32_t nIterations)
{
    Notify(CP_CALC_START, nullptr, 0);
    float fTotal = 0.0f;
    if (nIterations > 0)
        m_ranks.BeginCalculation();
    for (std::int32_t nIteration = 0; nIteration < nIterations; ++nIteration) {
        if (m_bStop.load())
            break;
        fTotal = m_ranks.Iterate();
        ReportIteration();
    }
    if (nIterations > 0)
        m_ranks.StoreRanks();
    if (m_bStop.load())
        return;
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

void CSiteCrawler::ReportIteration()
{
    if (!m_pNotify || m_bStop.load())
        return;
    if (m_pNotify->TakesWholeIterations()) {
        m_pNotify->OnIterationDone(m_ranks.Ranks());
        return;
    }
    const std::size_t n = m_ranks.PageCount();
    for (std::size_t k = 0; k < n; ++k)
        Notify(CP_RANK_CHANGED, &m_ranks.StoreNewRank(k), 0);
    Notify(CP_ITERATION_DONE, nullptr, 0);
}

}  // namespace plovik
