#include "RankArrays.h"

#include <algorithm>
#include <utility>

namespace plovik {

const float RankArrays::kBase = static_cast<float>(1.0 - static_cast<double>(RankArrays::kDamping));

void RankArrays::AddPage(PageRecord& record, const PageRecord* pNext)
{
    const auto i = static_cast<std::uint32_t>(m_pages.size());
    record.nIndex = i;
    m_pages.push_back(&record);
    const std::uint32_t nNext = pNext ? pNext->nIndex : kNone;
    const std::uint32_t nPrevious = pNext ? m_previous[nNext] : m_nLast;
    m_next.push_back(nNext);
    m_previous.push_back(nPrevious);
    (nPrevious == kNone ? m_nFirst : m_next[nPrevious]) = i;
    (nNext == kNone ? m_nLast : m_previous[nNext]) = i;
}

void RankArrays::AddLink(PageRecord& from, PageRecord& to)
{
    to.inLinks.push_back(&from);
    if (m_blocks.empty() || m_blocks.back().nSource != from.nIndex)
        m_blocks.push_back(LinkBlock{from.nIndex, 0});
    m_targets.push_back(to.nIndex);
    m_blocks.back().nEnd = static_cast<std::uint32_t>(m_targets.size());
}

void RankArrays::BeginCalculation()
{
    const std::size_t n = m_pages.size();
    m_outLinks.resize(n);
    m_rank.resize(n);
    m_newRank.resize(n);
    std::vector<bool> visited(n);
    for (std::size_t i = 0; i < n; ++i) {
        const PageRecord& record = *m_pages[i];
        m_outLinks[i] = record.nOutLinks;
        m_rank[i] = record.fRank;
        visited[i] = record.bVisited;
    }
    m_order.clear();
    m_order.reserve(n);
    m_visited.clear();
    for (std::uint32_t i = m_nFirst; i != kNone; i = m_next[i]) {
        m_order.push_back(i);
        if (visited[i])
            m_visited.push_back(i);
    }
}

float RankArrays::Iterate()
{
    const double d = static_cast<double>(kDamping);
    std::fill(m_newRank.begin(), m_newRank.end(), kBase);
    std::uint32_t nBegin = 0;
    for (const LinkBlock& block : m_blocks) {
        const std::int32_t nOut = m_outLinks[block.nSource];
        if (nOut > 0) {
            const float fRank = m_rank[block.nSource];
            for (std::uint32_t k = nBegin; k < block.nEnd; ++k) {
                // Stored as single precision after each addition.
                float& fNew = m_newRank[m_targets[k]];
                fNew = static_cast<float>(static_cast<double>(fNew) + static_cast<double>(fRank) / nOut * d);
            }
        }
        nBegin = block.nEnd;
    }
    std::swap(m_rank, m_newRank);
    float fTotal = 0.0f;
    for (const std::uint32_t i : m_visited)
        fTotal = static_cast<float>(static_cast<double>(fTotal) + static_cast<double>(m_rank[i]));
    return fTotal;
}

PageRecord& RankArrays::StoreNewRank(std::size_t k)
{
    const std::uint32_t i = m_order[k];
    m_pages[i]->fNewRank = m_rank[i];
    return *m_pages[i];
}

void RankArrays::StoreRanks()
{
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->fRank = m_pages[i]->fNewRank = m_rank[i];
}

}  // namespace plovik
