#include "SavedCrawlRun.h"

#include <ostream>
#include <queue>

#include "CrawlRecorder.h"
#include "CrawlStore.h"
#include "HeadlessCrawl.h"
#include "SavedCrawl.h"
#include "SavedPagesReplay.h"
#include "SiteCrawler.h"

namespace plovik {

namespace {

// One line on standard error and the exit status of a file that cannot be used.
int Refuse(std::ostream& err, const std::string& strWhy)
{
    err << "plovik: " << strWhy << '\n';
    return EXIT_USAGE;
}

int ReportWriteError(const CrawlStore& store, const std::string& strPath, std::ostream& err, int nStatus)
{
    if (store.WriteError().empty())
        return nStatus;
    return Refuse(err, strPath + ": the crawl could not be saved: " + store.WriteError());
}

// The saved crawl's settings in place of the command line's; the layout and
// --verbose stay the user's.
HeadlessOptions WithSavedSettings(const HeadlessOptions& options, const CrawlSetup& setup)
{
    HeadlessOptions run = options;
    run.strUrl = setup.strStartUrl;
    run.crawl.nMaxPages = setup.nMaxPages;
    run.crawl.linkRules = setup.linkRules;
    if (!options.bIterationsGiven)
        run.crawl.nIterations = setup.nIterations;
    return run;
}

}  // namespace

CrawlSetup NewCrawlSetup(const std::string& strUrl, const CrawlSettings& settings)
{
    CrawlSetup setup;
    setup.strStartUrl = strUrl;
    setup.linkRules = settings.linkRules;
    setup.nMaxPages = settings.nMaxPages;
    setup.nIterations = settings.nIterations;
    setup.strProgramVersion = PLOVIK_VERSION;
    return setup;
}

int RunSavedCrawl(const HeadlessOptions& options, const std::string& strUrl, std::ostream& out, std::ostream& err,
                  bool bLiveProgress)
{
    std::string strError;
    const std::unique_ptr<CrawlStore> pStore =
        CrawlStore::Create(options.strSavePath, NewCrawlSetup(strUrl, options.crawl), strError);
    if (!pStore)
        return Refuse(err, strError);
    CrawlRecorder recorder(*pStore);
    EngineHooks hooks;
    hooks.pStore = &recorder;
    const int nStatus = RunHeadlessEngine(options, strUrl, hooks, out, err, bLiveProgress);
    return ReportWriteError(*pStore, options.strSavePath, err, nStatus);
}

int RunOpenedCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    std::string strError;
    SavedCrawl saved;
    const std::unique_ptr<CrawlStore> pStore =
        OpenSavedCrawl(options.strCrawlFile, CrawlStore::Access::ReadOnly, saved, false, strError);
    if (!pStore)
        return Refuse(err, strError);
    const CrawlSetup setup = pStore->Setup();
    const bool bFinished = pStore->Finished();
    if (!bFinished)
        err << "plovik: " << options.strCrawlFile
            << ": the crawl did not finish (plovik --resume continues it); ranks of the pages it saved\n";
    const HeadlessOptions run = WithSavedSettings(options, setup);
    EngineHooks hooks;
    hooks.pRecorded = &saved;
    hooks.bShowProgress = false;
    const bool bRecalculate = options.bIterationsGiven;
    hooks.bReportRankChanges = bRecalculate || !bFinished;
    hooks.replay = [&](CSiteCrawler& crawler, CrawlNotifier& receivers) {
        ReplaySavedPages(crawler, receivers, saved, setup, bFinished, bRecalculate, run.crawl.nIterations);
    };
    return RunHeadlessEngine(run, setup.strStartUrl, hooks, out, err, false);
}

int RunResumedCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress)
{
    std::string strError;
    {
        // A finished crawl has nothing left to do: it is shown as saved, unchanged.
        const std::unique_ptr<CrawlStore> pCheck =
            CrawlStore::Open(options.strCrawlFile, CrawlStore::Access::ReadOnly, strError);
        if (!pCheck)
            return Refuse(err, strError);
        if (pCheck->Finished()) {
            err << "plovik: " << options.strCrawlFile << ": the crawl is complete; nothing to resume\n";
            HeadlessOptions open = options;
            open.command = HeadlessCommand::Open;
            return RunOpenedCrawl(open, out, err);
        }
    }
    SavedCrawl saved;
    const std::unique_ptr<CrawlStore> pStore =
        OpenSavedCrawl(options.strCrawlFile, CrawlStore::Access::ReadWrite, saved, false, strError);
    if (!pStore)
        return Refuse(err, strError);
    const CrawlSetup setup = pStore->Setup();
    const HeadlessOptions run = WithSavedSettings(options, setup);
    CrawlRecorder recorder(*pStore, saved.Pages());
    EngineHooks hooks;
    hooks.pStore = &recorder;
    hooks.pRecorded = &saved;
    const int nStatus = RunHeadlessEngine(run, setup.strStartUrl, hooks, out, err, bLiveProgress);
    return ReportWriteError(*pStore, options.strCrawlFile, err, nStatus);
}

}  // namespace plovik
