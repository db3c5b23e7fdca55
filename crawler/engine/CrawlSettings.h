#pragma once
// What a front end hands to one crawl: the two settings of the window (or the command
// line) and the engine settings that neither shows.

#include <chrono>
#include <cstdint>

#include "HttpClient.h"
#include "LinkSource.h"

namespace plovik {

struct CrawlSettings {
    std::int32_t nIterations = 3;               // rank iterations
    std::int32_t nMaxPages = 10;                // pages to fetch at most
    std::chrono::milliseconds pageDelay{1000};  // pause between pages (tests shorten it)
    HttpOptions http;
    LinkRules linkRules = LinkRules::Classic;  // how a page's links are read
};

}  // namespace plovik
