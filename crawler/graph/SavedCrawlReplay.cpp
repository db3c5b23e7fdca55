#include "SavedCrawlReplay.h"

#include "SavedPagesReplay.h"
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
    ReplaySavedPages(crawler, receiver, saved, setup, bFinished, false, setup.nIterations);
}

bool ReplaySavedCrawlFile(const std::string& strPath, CrawlNotifier& receiver, OpenedCrawl& opened,
                          std::string& strError, const BeforeReplay& beforeReplay)
{
    SavedCrawl saved;
    const std::unique_ptr<CrawlStore> pStore =
        OpenSavedCrawl(strPath, CrawlStore::Access::ReadOnly, saved, true, strError);
    if (!pStore)
        return false;
    opened.setup = pStore->Setup();
    opened.bFinished = pStore->Finished();
    if (beforeReplay)
        beforeReplay(opened);
    ReplaySavedCrawl(saved, opened.setup, opened.bFinished, receiver);
    return true;
}

}  // namespace plovik
