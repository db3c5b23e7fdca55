#include "SavedCrawl.h"

#include <algorithm>

namespace plovik {

bool SavedCrawl::Load(CrawlStore& store)
{
    m_pages.clear();
    m_links.clear();
    if (!store.ReadPages(m_pages) || !store.ReadLinks(m_links))
        return false;
    m_byUrl.reserve(m_pages.size());
    m_byId.reserve(m_pages.size());
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_byUrl.emplace(m_pages[i].strUrl, i);
        m_byId.emplace(m_pages[i].nId, i);
    }
    // Links come sorted by their page: each page's run starts where the previous ends.
    m_firstLink.assign(m_pages.size() + 1, m_links.size());
    for (std::size_t k = m_links.size(); k-- > 0;) {
        const auto it = m_byId.find(m_links[k].nFrom);
        if (it != m_byId.end())
            m_firstLink[it->second] = k;
    }
    return true;
}

std::vector<CrawlItem> SavedCrawl::VisitOrder() const
{
    std::vector<const StoredPage*> visited;
    for (const StoredPage& page : m_pages)
        if (page.nVisitOrder >= 0)
            visited.push_back(&page);
    std::sort(visited.begin(), visited.end(),
              [](const StoredPage* a, const StoredPage* b) { return a->nVisitOrder < b->nVisitOrder; });
    std::vector<CrawlItem> items;
    items.reserve(visited.size());
    for (const StoredPage* p : visited)
        items.push_back(CrawlItem{p->strUrl, p->nDepth});
    return items;
}

float SavedCrawl::RankOf(const std::string& strUrl) const
{
    const auto it = m_byUrl.find(strUrl);
    return it == m_byUrl.end() ? 1.0f : m_pages[it->second].fRank;
}

bool SavedCrawl::Recall(const std::string& strUrl, RecordedPage& page)
{
    const auto it = m_byUrl.find(strUrl);
    if (it == m_byUrl.end() || m_pages[it->second].nVisitOrder < 0)
        return false;
    const StoredPage& saved = m_pages[it->second];
    page.nStatus = saved.nStatus;
    page.strFinalUrl = saved.strFinalUrl;
    page.strFailure = saved.strFailure;
    page.links.clear();
    page.hrefs.clear();
    for (std::size_t k = m_firstLink[it->second]; k < m_links.size() && m_links[k].nFrom == saved.nId; ++k) {
        const auto target = m_byId.find(m_links[k].nTo);
        if (target == m_byId.end())
            continue;
        page.links.push_back(m_pages[target->second].strUrl);
        page.hrefs.push_back(m_links[k].strHref);
    }
    return true;
}

}  // namespace plovik
