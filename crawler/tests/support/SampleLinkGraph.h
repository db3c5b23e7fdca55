#pragma once
// A small crawl's link graph, handed to a SiteLinkGraph as the crawl would hand it
// (the same messages, in the same order), for the tests of the link views: no server
// needed. Five pages: the start page and a.html answer 200, gone.html 404, dead
// fails without a status, b.html is never fetched.

#include <memory>
#include <string>
#include <vector>

#include "PageRecord.h"
#include "ProcessedPage.h"
#include "SiteLinkGraph.h"

namespace plovik_test {

inline void FillSampleLinkGraph(plovik::SiteLinkGraph& graph)
{
    using namespace plovik;
    struct Visit {
        std::string strUrl;
        std::int32_t nStatus;
        std::string strFailure;
        std::vector<std::pair<std::string, std::string>> links;  // target, href
    };
    const std::vector<Visit> visits = {
        {"http://site/",
         200,
         "",
         {{"http://site/a.html", "a.html"}, {"http://site/gone.html", "gone.html"}, {"http://site/dead", "/dead"}}},
        {"http://site/a.html",
         200,
         "",
         {{"http://site/", "/"}, {"http://site/gone.html", "./gone.html"}, {"http://site/b.html", "b.html"}}},
        {"http://site/gone.html", 404, "", {}},
        {"http://site/dead", -1, "connection refused", {}},
    };
    std::vector<std::unique_ptr<PageRecord>> records;
    auto record = [&](const std::string& strUrl) -> PageRecord& {
        for (auto& p : records)
            if (p->strUrl == strUrl)
                return *p;
        records.push_back(std::make_unique<PageRecord>());
        records.back()->strUrl = strUrl;
        records.back()->nIndex = static_cast<std::uint32_t>(records.size() - 1);
        graph.OnCrawlProgress(CP_PAGE_ADDED, records.back().get(), 0);
        return *records.back();
    };
    record(visits[0].strUrl);
    for (const Visit& visit : visits) {
        PageRecord& page = record(visit.strUrl);
        page.nStatus = visit.nStatus;
        page.nOutLinks = static_cast<std::int32_t>(visit.links.size());
        page.bVisited = true;
        std::vector<const PageRecord*> targets;
        std::vector<std::string> hrefs;
        for (const auto& link : visit.links) {
            PageRecord& target = record(link.first);
            target.inLinks.push_back(&page);
            graph.OnCrawlProgress(CP_INLINKS_CHANGED, &target, 0);
            targets.push_back(&target);
            hrefs.push_back(link.second);
        }
        graph.OnCrawlProgress(CP_PAGE_FETCHED, &page, 0);
        const std::string strFinal = visit.nStatus > 0 ? visit.strUrl : std::string();
        graph.OnPageProcessed(ProcessedPage{page, strFinal, visit.strFailure, targets, hrefs, false});
        graph.OnCrawlProgress(CP_PAGE_DONE, &page, 0);
    }
    graph.OnCrawlProgress(CP_CALC_START, nullptr, 0);
    graph.OnCrawlProgress(CP_CALC_DONE, nullptr, 0);
}

}  // namespace plovik_test
