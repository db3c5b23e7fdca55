#include "RankArrays.h"

#include <algorithm>

namespace plovik {

const float RankArrays::kBase = static_cast<float>(1.0 - static_cast<double>(RankArrays::kDamping));

void RankArrays::AddPage(PageRecord& record)
{
    record.nIndex = static_cast<std::uint32_t>(m_pages.size());
    m_pages.push_back(&record);
}

void RankArrays::AddLink(PageRecord& from, PageRecord& to)
{
    to.inLinks.push_back(&from);
    if (m_blocks.empty() || m_blocks.back().nSource != from.nIndex)
        m_blocks.push_back(LinkBlock{from.nIndex, 0});
    m_targets.push_back(to.nIndex);
    m_blocks.back().nEnd = static_cast<std::uint32_t>(m_targets.size());
}

void RankArrays::BeginCalculation(const PageTable& table)
{
    const std::size_t n = m_pages.size();
    m_order.clear();
    m_order.reserve(n);
    m_visited.clear();
    for (const auto& entry : table) {
        const std::uint32_t i = entry.second->nIndex;
        m_order.push_back(i);
        if (entry.second->bVisited)
            m_visited.push_back(i);
    }
    m_outLinks.resize(n);
    m_rank.resize(n);
    m_newRank.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        m_outLinks[i] = m_pages[i]->nOutLinks;
        m_rank[i] = m_pages[i]->fRank;
        m_newRank[i] = m_pages[i]->fNewRank;
    }
}

void RankArrays::ComputeNewRanks()
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
}

PageRecord& RankArrays::StoreNewRank(std::size_t k)
{
    const std::uint32_t i = m_order[k];
    m_pages[i]->fNewRank = m_newRank[i];
    return *m_pages[i];
}

float RankArrays::AdvanceRanks()
{
    m_rank = m_newRank;
    float fTotal = 0.0f;
    for (const std::uint32_t i : m_visited)
        fTotal = static_cast<float>(static_cast<double>(fTotal) + static_cast<double>(m_rank[i]));
    return fTotal;
}

void RankArrays::StoreRanks()
{
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->fRank = m_rank[i];
        m_pages[i]->fNewRank = m_newRank[i];
    }
}

}  // namespace plovik
