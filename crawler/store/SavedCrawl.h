#pragma once
// A saved crawl read back whole: its pages and links, given back to a crawler as the
// pages it already processed (RecordedPages), in the order it processed them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CrawlStore.h"
#include "PageRecord.h"
#include "ProcessedPage.h"

namespace plovik {

// The pages it gives back carry hrefs only when loaded with them: a crawl needs only
// where links lead, and the file keeps the hrefs of pages it already holds; the
// windows' link views show them.
class SavedCrawl : public RecordedPages {
public:
    // False on a read error.
    bool Load(CrawlStore& store, bool bHrefs = false);

    const std::vector<StoredPage>& Pages() const { return m_pages; }
    std::size_t LinkCount() const { return m_links.size(); }
    // The processed pages in the order the crawl processed them.
    std::vector<CrawlItem> VisitOrder() const;
    // The saved rank of an address; 1.0 for one the file does not hold.
    float RankOf(const std::string& strUrl) const;

    bool Recall(const std::string& strUrl, RecordedPage& page) override;

private:
    std::vector<StoredPage> m_pages;  // by id
    std::vector<StoredLink> m_links;  // by (from, position)
    // The index of a page by its id; -1 for an id the file does not hold.
    std::int64_t IndexOfId(std::int64_t nId) const;

    std::unordered_map<std::string, std::size_t> m_byUrl;
    bool m_bDenseIds = true;
    bool m_bHrefs = false;  // page i has id i, as a crawl numbers them
    std::unordered_map<std::int64_t, std::size_t> m_byId;
    std::vector<std::size_t> m_firstLink;  // per page: its first entry of m_links
};

// A crawl file opened and read whole into saved (with the hrefs when bHrefs).
// nullptr, with the reason as the command line words it, for a file that is
// missing, no crawl, of another version or damaged.
std::unique_ptr<CrawlStore> OpenSavedCrawl(const std::string& strPath, CrawlStore::Access access, SavedCrawl& saved,
                                           bool bHrefs, std::string& strError);

}  // namespace plovik
