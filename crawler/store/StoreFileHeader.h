#pragma once
// The first check of a file that should hold a saved crawl: its 100-byte SQLite
// header, read as plain bytes, so that nothing of SQLite's (no journal, no shared
// memory file) touches a file that turns out to be something else.

#include <cstdint>
#include <string>

namespace plovik {

// Written into every crawl file's header (PRAGMA application_id): "Plvk".
extern const std::uint32_t kCrawlApplicationId;

enum class HeaderVerdict { Crawl, Missing, NotACrawl, OtherVersion, Truncated };

struct HeaderCheck {
    HeaderVerdict verdict = HeaderVerdict::NotACrawl;
    std::int32_t nVersion = 0;  // the schema version the header names (PRAGMA user_version)
};

HeaderCheck CheckStoreFileHeader(const std::string& strPath, std::int32_t nExpectedVersion);

}  // namespace plovik
