#include "SavedCrawlReplay.h"

#include <queue>

#include "SiteCrawler.h"

namespace plovik {

void ReplaySavedCrawl(SavedCrawl& saved, const CrawlSetup& setup, bool bFinished, CrawlNotifier& receiver)
{
    CrawlSettings settings;
    settings.nIterations = setup.nIterations;
    settings.nMaxPages = setup.nMaxPages;
    settings.linkRules = setup.linkRules;
    CSiteCrawler crawler(&receiver, settings);
    crawler.SetRecordedPages(&saved);
    // Only pages the file holds as processed are asked for, so none is fetched.
    std::queue<CrawlItem> notFollowed;
    for (const CrawlItem& item : saved.VisitOrder())
        crawler.ProcessPage(item.strUrl, item.nDepth, notFollowed);
    if (!bFinished) {
        crawler.CalculateRank(setup.nIterations);
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

bool ReplaySavedCrawlFile(const std::string& strPath, CrawlNotifier& receiver, OpenedCrawl& opened,
                          std::string& strError, const BeforeReplay& beforeReplay)
{
    const std::unique_ptr<CrawlStore> pStore = CrawlStore::Open(strPath, CrawlStore::Access::ReadOnly, strError);
    if (!pStore)
        return false;
    SavedCrawl saved;
    if (!saved.Load(*pStore, true)) {
        strError = strPath + ": the file is damaged (it cannot be read)";
        return false;
    }
    opened.setup = pStore->Setup();
    opened.bFinished = pStore->Finished();
    if (beforeReplay)
        beforeReplay(opened);
    ReplaySavedCrawl(saved, opened.setup, opened.bFinished, receiver);
    return true;
}

}  // namespace plovik
