#include "HeadlessCrawl.h"

#include <unistd.h>

#include <iostream>

#include "LinkGraph.h"
#include "NotifierFanOut.h"
#include "ProgressPrinter.h"
#include "RankChangeReporter.h"
#include "ResultsOutput.h"
#include "SavedCrawlRun.h"
#include "SiteCrawler.h"
#include "StartAddress.h"
#include "TableRowSink.h"

namespace plovik {

namespace {

// Delivers the engine's messages to the shared row logic, and failed pages to the
// progress printer when they are wanted.
class RowsNotifier : public CrawlNotifier {
public:
    RowsNotifier(ResultRowSink& sink, ProgressPrinter* pFailures) : m_rows(sink), m_pFailures(pFailures) {}
    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override
    {
        m_rows.OnCrawlProgress(nCode, pRecord, nNumber);
        if (nCode == CP_CALC_DONE)
            m_nTotal = nNumber;
    }
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override
    {
        m_rows.OnCrawlProgress(CP_ITERATION_DONE, nullptr, 0, &ranks);
    }
    void OnPageFailed(const std::string& strUrl, const std::string& strReason) override
    {
        if (m_pFailures)
            m_pFailures->Note("plovik: cannot read " + strUrl + ": " + strReason);
    }
    void OnPageNote(const std::string& strUrl, const std::string& strText) override
    {
        if (m_pFailures)
            m_pFailures->Note("plovik: " + strUrl + " " + strText);
    }
    ProgressRows& Rows() { return m_rows; }
    std::int32_t Total() const { return m_nTotal; }

private:
    ProgressRows m_rows;
    ProgressPrinter* m_pFailures;
    std::int32_t m_nTotal = 0;
};

}  // namespace

int RunHeadlessCrawl(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool bLiveProgress)
{
    if (options.command == HeadlessCommand::Open)
        return RunOpenedCrawl(options, out, err);
    if (options.command == HeadlessCommand::Resume)
        return RunResumedCrawl(options, out, err, bLiveProgress);

    const std::string strUrl = NormaliseStartAddress(options.strUrl, options.crawl.linkRules);
    const std::string strRefusal = StartAddressMessage(CheckStartAddress(strUrl, options.crawl.linkRules));
    if (!strRefusal.empty()) {
        err << strRefusal << '\n';
        return EXIT_USAGE;
    }
    if (!options.strSavePath.empty())
        return RunSavedCrawl(options, strUrl, out, err, bLiveProgress);
    return RunHeadlessEngine(options, strUrl, EngineHooks(), out, err, bLiveProgress);
}

int RunHeadlessEngine(const HeadlessOptions& options, const std::string& strUrl, const EngineHooks& hooks,
                      std::ostream& out, std::ostream& err, bool bLiveProgress)
{
    const auto nIterations = static_cast<std::uint32_t>(options.crawl.nIterations);
    TableRowSink sink(nIterations);
    ProgressPrinter progress(err, bLiveProgress);
    RowsNotifier notifier(sink, options.bVerbose ? &progress : nullptr);
    notifier.Rows().ResetProgress(static_cast<std::uint32_t>(options.crawl.nMaxPages));

    NotifierFanOut receivers;
    receivers.Add(&notifier);
    LinkGraphCollector graph;
    if (PrintsLinkGraph(options.format))
        receivers.Add(&graph);
    RankChangeReporter rankChanges([&progress](const std::string& s) { progress.Note(s); });
    if (options.bVerbose && hooks.bReportRankChanges)
        receivers.Add(&rankChanges);
    receivers.Add(hooks.pStore);

    std::int32_t nStartStatus = 0;
    std::vector<RowLink> links;
    if (hooks.bShowProgress) {
        sink.SetStatusListener([&progress](const std::string& s) { progress.Show(s); });
        sink.SetStatusText(ProgressRows::ScanningText(strUrl));
    }
    {
        CSiteCrawler crawler(&receivers, options.crawl);
        crawler.SetRecordedPages(hooks.pRecorded);
        if (hooks.replay)
            hooks.replay(crawler, receivers);
        else
            crawler.Crawl(strUrl);
        const auto it = crawler.Pages().find(strUrl);
        if (it != crawler.Pages().end())
            nStartStatus = it->second->nStatus;
        if (PrintsLinkGraph(options.format))
            links = graph.RowLinks(crawler.Pages(), notifier.Rows());
    }
    sink.SetStatusListener(nullptr);
    progress.End();

    WriteResults(out, options.format, sink.Rows(), ProgressRows::TotalText(notifier.Total()), links);
    out.flush();
    return nStartStatus == 200 ? EXIT_CRAWLED : EXIT_START_PAGE_FAILED;
}

int RunHeadlessMain(const std::vector<std::string>& args)
{
    HttpGlobalInit();
    HeadlessOptions options;
    std::string strError;
    switch (ParseHeadlessArgs(args, options, strError)) {
    case HeadlessArgs::Help:
        std::cout << HeadlessUsage();
        return EXIT_CRAWLED;
    case HeadlessArgs::Version:
        std::cout << "plovik " << PLOVIK_VERSION << '\n';
        return EXIT_CRAWLED;
    case HeadlessArgs::UsageError:
        std::cerr << "plovik: " << strError << "\n\n" << HeadlessUsage();
        return EXIT_USAGE;
    case HeadlessArgs::Run:
        break;
    }
    return RunHeadlessCrawl(options, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}

}  // namespace plovik
