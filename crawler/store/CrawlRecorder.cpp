#include "CrawlRecorder.h"

#include <algorithm>

namespace plovik {

CrawlRecorder::CrawlRecorder(CrawlStore& store) : m_store(store)
{
}

CrawlRecorder::CrawlRecorder(CrawlStore& store, const std::vector<StoredPage>& saved) : m_store(store)
{
    for (const StoredPage& page : saved) {
        m_savedIds.emplace(page.strUrl, page.nId);
        m_nNextId = std::max(m_nNextId, page.nId + 1);
        m_nNextVisit = std::max(m_nNextVisit, page.nVisitOrder + 1);
    }
}

std::int64_t CrawlRecorder::IdOf(const PageRecord& record)
{
    if (record.nIndex >= m_ids.size())
        m_ids.resize(record.nIndex + 1, -1);
    std::int64_t& nId = m_ids[record.nIndex];
    if (nId >= 0)
        return nId;
    const auto saved = m_savedIds.find(record.strUrl);
    if (saved != m_savedIds.end())
        return nId = saved->second;
    nId = m_nNextId++;
    m_newPages.push_back({nId, &record.strUrl, record.nDepth});
    return nId;
}

void CrawlRecorder::OnPageProcessed(const ProcessedPage& page)
{
    m_store.BeginPage();
    m_newPages.clear();
    m_targets.clear();
    const std::int64_t nFrom = IdOf(page.page);
    for (const PageRecord* pTarget : page.targets)
        m_targets.push_back(IdOf(*pTarget));
    m_store.InsertPages(m_newPages);
    if (!page.bRecalled) {
        StoredPage visited;
        visited.nId = nFrom;
        visited.nStatus = page.page.nStatus;
        visited.nOutLinks = page.page.nOutLinks;
        visited.nVisitOrder = m_nNextVisit++;
        visited.strFinalUrl = page.strFinalUrl;
        visited.strFailure = page.strFailure;
        m_store.UpdateVisited(visited);
        m_store.InsertLinks(nFrom, m_targets, page.hrefs);
    }
    m_store.CommitPage();
}

void CrawlRecorder::OnIterationDone(const RankIteration& ranks)
{
    for (std::size_t k = 0; k < ranks.Count(); ++k) {
        const std::uint32_t i = ranks.Page(k).nIndex;
        if (i >= m_ranks.size())
            m_ranks.resize(i + 1, 1.0f);
        m_ranks[i] = ranks.Rank(k);
    }
}

void CrawlRecorder::OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber)
{
    // Beside a receiver that takes the ranks one record at a time.
    if (nCode == CP_RANK_CHANGED && pRecord) {
        if (pRecord->nIndex >= m_ranks.size())
            m_ranks.resize(pRecord->nIndex + 1, 1.0f);
        m_ranks[pRecord->nIndex] = pRecord->fNewRank;
        return;
    }
    if (nCode != CP_CALC_DONE)
        return;
    std::vector<std::pair<std::int64_t, float>> ranks;
    for (std::size_t i = 0; i < m_ranks.size() && i < m_ids.size(); ++i)
        if (m_ids[i] >= 0)
            ranks.emplace_back(m_ids[i], m_ranks[i]);
    m_store.Finish(ranks, nNumber);
}

}  // namespace plovik
