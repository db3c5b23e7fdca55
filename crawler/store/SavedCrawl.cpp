#include "SavedCrawl.h"

#include <algorithm>

namespace plovik {

bool SavedCrawl::Load(CrawlStore& store, bool bHrefs)
{
    m_pages.clear();
    m_links.clear();
    m_bHrefs = bHrefs;
    if (!store.ReadPages(m_pages) || !store.ReadLinks(m_links, bHrefs))
        return false;
    m_byUrl.reserve(m_pages.size());
    m_bDenseIds = true;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_byUrl.emplace(m_pages[i].strUrl, i);
        m_bDenseIds = m_bDenseIds && m_pages[i].nId == static_cast<std::int64_t>(i);
    }
    m_byId.clear();
    if (!m_bDenseIds)
        for (std::size_t i = 0; i < m_pages.size(); ++i)
            m_byId.emplace(m_pages[i].nId, i);
    // Links come sorted by their page: each page's run starts where the previous ends.
    m_firstLink.assign(m_pages.size() + 1, m_links.size());
    for (std::size_t k = m_links.size(); k-- > 0;) {
        const std::int64_t nIndex = IndexOfId(m_links[k].nFrom);
        if (nIndex >= 0)
            m_firstLink[static_cast<std::size_t>(nIndex)] = k;
    }
    return true;
}

std::int64_t SavedCrawl::IndexOfId(std::int64_t nId) const
{
    if (m_bDenseIds)
        return nId >= 0 && nId < static_cast<std::int64_t>(m_pages.size()) ? nId : -1;
    const auto it = m_byId.find(nId);
    return it == m_byId.end() ? -1 : static_cast<std::int64_t>(it->second);
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
        const std::int64_t nTarget = IndexOfId(m_links[k].nTo);
        if (nTarget < 0)
            continue;
        page.links.push_back(m_pages[static_cast<std::size_t>(nTarget)].strUrl);
        if (m_bHrefs)
            page.hrefs.push_back(m_links[k].strHref);
    }
    return true;
}

std::unique_ptr<CrawlStore> OpenSavedCrawl(const std::string& strPath, CrawlStore::Access access, SavedCrawl& saved,
                                           bool bHrefs, std::string& strError)
{
    std::unique_ptr<CrawlStore> pStore = CrawlStore::Open(strPath, access, strError);
    if (pStore && !saved.Load(*pStore, bHrefs)) {
        strError = strPath + ": the file is damaged (it cannot be read)";
        pStore.reset();
    }
    return pStore;
}

}  // namespace plovik
