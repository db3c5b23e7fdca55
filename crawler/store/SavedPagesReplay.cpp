#include "SavedPagesReplay.h"

#include <queue>
#include <vector>

namespace plovik {

void ReplaySavedPages(CSiteCrawler& crawler, CrawlNotifier& receiver, const SavedCrawl& saved, const CrawlSetup& setup,
                      bool bFinished, bool bRecalculate, std::int32_t nIterations)
{
    // Only pages the file holds as processed are asked for, so none is fetched.
    std::queue<CrawlItem> notFollowed;
    for (const CrawlItem& item : saved.VisitOrder())
        crawler.ProcessPage(item.strUrl, item.nDepth, notFollowed);
    if (bRecalculate || !bFinished) {
        crawler.CalculateRank(nIterations);
        return;
    }
    receiver.OnCrawlProgress(CP_CALC_START, nullptr, 0);
    if (setup.nIterations > 0) {
        std::vector<PageRecord*> pages;
        std::vector<std::uint32_t> order;
        std::vector<float> ranks;
        for (const auto& entry : crawler.Pages()) {
            order.push_back(static_cast<std::uint32_t>(pages.size()));
            pages.push_back(entry.second.get());
            ranks.push_back(saved.RankOf(entry.first));
        }
        const RankIteration iteration(order, pages, ranks);
        if (receiver.TakesWholeIterations()) {
            receiver.OnIterationDone(iteration);
        } else {
            // A receiver of single messages sees each saved rank as a new one.
            for (std::size_t k = 0; k < iteration.Count(); ++k) {
                PageRecord& record = *pages[order[k]];
                record.fNewRank = iteration.Rank(k);
                receiver.OnCrawlProgress(CP_RANK_CHANGED, &record, 0);
            }
            receiver.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0);
        }
    }
    receiver.OnCrawlProgress(CP_CALC_DONE, nullptr, setup.nTotal);
}

}  // namespace plovik
