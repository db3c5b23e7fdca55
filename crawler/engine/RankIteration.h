#pragma once
// The ranks of one finished iteration, handed to a receiver in one call instead of
// one message per record.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PageRecord.h"

namespace plovik {

// A view of the crawler's rank arrays in table order (ascending address), the order
// of the per-record messages it stands for. Valid only during the call that passes it.
class RankIteration {
public:
    // order[k] is the index of the k-th record of the table into pages and ranks.
    RankIteration(const std::vector<std::uint32_t>& order, const std::vector<PageRecord*>& pages,
                  const std::vector<float>& ranks)
        : m_order(order), m_pages(pages), m_ranks(ranks)
    {
    }

    std::size_t Count() const { return m_order.size(); }
    const PageRecord& Page(std::size_t k) const { return *m_pages[m_order[k]]; }
    // What a per-record message would have shown as the record's fNewRank.
    float Rank(std::size_t k) const { return m_ranks[m_order[k]]; }

private:
    const std::vector<std::uint32_t>& m_order;
    const std::vector<PageRecord*>& m_pages;
    const std::vector<float>& m_ranks;
};

}  // namespace plovik
