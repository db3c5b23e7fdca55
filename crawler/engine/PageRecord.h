#pragma once
// One page known to a crawl, and the crawl queue's item.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plovik {

struct PageRecord {
    std::string strUrl;                // the address, exactly as keyed in the page table
    std::int32_t nOutLinks = 0;        // entries of the page's link list after its fetch
    std::int32_t nDepth = 0;           // link distance from the start page; never changed
    std::int32_t nStatus = 0;          // HTTP status; -1 failed before a status; 0 not fetched
    std::vector<PageRecord*> inLinks;  // one entry per link found here, in order; not owned
    // The rank calculation works on arrays of its own: it reads these two when it
    // starts and writes them when it ends, and fNewRank before each CP_RANK_CHANGED.
    float fRank = 1.0f;        // rank after the last finished iteration
    float fNewRank = 1.0f;     // rank of the running iteration (what the PR cell shows)
    bool bVisited = false;     // processed by the crawl, successfully or not
    std::uint32_t nIndex = 0;  // position in the crawler's rank arrays, given on entering the table
};

// The page table: records by address, in byte order of the address.
using PageTable = std::map<std::string, std::unique_ptr<PageRecord>>;

struct CrawlItem {
    std::string strUrl;
    std::int32_t nDepth = 0;
};

}  // namespace plovik
