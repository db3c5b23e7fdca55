#pragma once
// The link graph of one crawl as flat arrays, kept while the crawl finds the links,
// and the rank iterations over them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PageRecord.h"
#include "RankIteration.h"

namespace plovik {

// Pages are numbered in the order their records are created (PageRecord::nIndex).
// Links are kept in the order they are found, grouped by the page they stand on, so
// an iteration walks them once from front to back and adds each page's share to its
// targets in the order of every target's inLinks: the same sums, in the same order,
// as a walk over the records, without touching a record.
class RankArrays {
public:
    // d = 0.85f; b = (float)(1.0 - (double)d) = 0.14999998f.
    static constexpr float kDamping = 0.85f;
    static const float kBase;

    // ------------------------------------------------------------ while crawling
    // Numbers a record that has just entered the table; pNext is the record that
    // follows it in table order (null for the last one).
    void AddPage(PageRecord& record, const PageRecord* pNext);
    // A link on page `from` to page `to`: appended to to.inLinks and to the arrays.
    void AddLink(PageRecord& from, PageRecord& to);
    std::size_t PageCount() const { return m_pages.size(); }

    // ------------------------------------------------------------ the calculation
    // Takes every record's fRank, nOutLinks and bVisited.
    void BeginCalculation();
    // One iteration: the new rank of every page from the current ones, which it then
    // replaces. Returns the total rank of the visited pages, added in table order.
    float Iterate();
    // The ranks of the last iteration, in table order.
    RankIteration Ranks() const { return RankIteration(m_order, m_pages, m_rank); }
    // Sets fNewRank of the k-th record in table order to its rank and returns it.
    PageRecord& StoreNewRank(std::size_t k);
    // fRank and fNewRank of every record from the arrays.
    void StoreRanks();

private:
    // The links found on one page: m_targets[previous block's end .. nEnd).
    struct LinkBlock {
        std::uint32_t nSource;
        std::uint32_t nEnd;
    };

    static constexpr std::uint32_t kNone = UINT32_MAX;

    std::vector<PageRecord*> m_pages;  // by index; not owned
    // Table order as a list through the indices, kept as records enter the table, so
    // the calculation need not walk the table.
    std::vector<std::uint32_t> m_next;
    std::vector<std::uint32_t> m_previous;
    std::uint32_t m_nFirst = kNone;
    std::uint32_t m_nLast = kNone;
    std::vector<LinkBlock> m_blocks;
    std::vector<std::uint32_t> m_targets;

    // Made by BeginCalculation.
    std::vector<std::uint32_t> m_order;  // table order -> index
    std::vector<std::int32_t> m_outLinks;
    std::vector<std::uint32_t> m_visited;  // indices of visited pages, in table order
    std::vector<float> m_rank;
    std::vector<float> m_newRank;  // scratch of Iterate
};

}  // namespace plovik
