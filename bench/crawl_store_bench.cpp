// What saving a crawl costs, and how fast a big saved crawl opens.
//
// Targets: a crawl of a generated 2,000-page site on a loopback server (no pause
// between pages) saved with --save costs at most 10% more CPU on the crawling thread
// than the same crawl without saving; --open of a saved crawl of 100,000 pages and
// 1,000,000 links prints its rows in under 5 s. After the benchmarks a summary prints
// both, from the medians of several runs.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "CrawlRecorder.h"
#include "CrawlStore.h"
#include "HeadlessCrawl.h"
#include "LoopbackServer.h"
#include "Median.h"
#include "TempFolder.h"

namespace {

constexpr int kSitePages = 2000;
constexpr int kLinksPerPage = 10;
constexpr int kFilePages = 100000;
constexpr int kFileLinks = 1000000;

// Page i links to the next ten pages of a breadth-first numbering, or back into the
// site once those run out: every page is reached, each has ten links. Page 0 is the
// site's root: a start address names a folder.
int LinkTarget(int nPage, int k, int nPages)
{
    const long long nNext = static_cast<long long>(nPage) * kLinksPerPage + k + 1;
    return nNext < nPages ? static_cast<int>(nNext) : (nPage * 7 + k) % nPages;
}

std::string PagePath(int nPage)
{
    return nPage == 0 ? "/" : "/p" + std::to_string(nPage) + ".html";
}

class GeneratedSite {
public:
    GeneratedSite()
    {
        m_server.Raw().Get(R"(/(p(\d+)\.html)?)", [](const httplib::Request& req, httplib::Response& res) {
            const int nPage = req.matches[2].length() ? std::stoi(req.matches[2]) : 0;
            std::string strBody = "<html><body><h1>Page</h1>\n";
            for (int k = 0; k < kLinksPerPage; ++k)
                strBody +=
                    "<p>Text <a href=\"" + PagePath(LinkTarget(nPage, k, kSitePages)) + "\">link</a> more text.</p>\n";
            res.set_content(strBody + "</body></html>\n", "text/html");
        });
    }
    std::string Start() const { return m_server.Url("/"); }

private:
    plovik_test::LoopbackServer m_server;
};

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

plovik::HeadlessOptions SiteCrawl(const std::string& strStart, const std::string& strSave)
{
    plovik::HeadlessOptions o;
    o.strUrl = strStart;
    o.format = plovik::OutputFormat::Csv;
    o.crawl.nMaxPages = kSitePages;
    o.crawl.nIterations = 3;
    o.crawl.pageDelay = std::chrono::milliseconds(0);
    o.crawl.http = plovik_test::TestHttpOptions();
    o.strSavePath = strSave;
    return o;
}

// CPU seconds of the crawling thread for one whole crawl.
double CrawlCpu(const GeneratedSite& site, const std::string& strSave)
{
    std::ostringstream out, err;
    const double dStart = ThreadCpuSeconds();
    plovik::RunHeadlessCrawl(SiteCrawl(site.Start(), strSave), out, err, false);
    const double dCpu = ThreadCpuSeconds() - dStart;
    if (!strSave.empty())
        std::remove(strSave.c_str());
    return dCpu;
}

void BM_CrawlGeneratedSite(benchmark::State& state)
{
    GeneratedSite site;
    plovik_test::TempFolder folder;
    const bool bSave = state.range(0) != 0;
    for (auto _ : state)
        CrawlCpu(site, bSave ? folder.Path("bench.crawl") : std::string());
    state.SetItemsProcessed(state.iterations() * kSitePages);
}
BENCHMARK(BM_CrawlGeneratedSite)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

// The recorder and the store alone, fed the generated site's pages as the crawl hands
// them over: what saving costs without the fetching around it.
struct SitePages {
    std::vector<plovik::PageRecord> records;
    std::vector<std::vector<const plovik::PageRecord*>> targets;
    std::vector<std::vector<std::string>> hrefs;
    SitePages()
    {
        records.resize(kSitePages);
        targets.resize(kSitePages);
        hrefs.resize(kSitePages);
        for (int i = 0; i < kSitePages; ++i) {
            auto& r = records[static_cast<std::size_t>(i)];
            r.strUrl = "http://127.0.0.1:40000" + PagePath(i);
            r.nIndex = static_cast<std::uint32_t>(i);
            r.nStatus = 200;
            r.nOutLinks = kLinksPerPage;
            for (int k = 0; k < kLinksPerPage; ++k) {
                const int nTo = LinkTarget(i, k, kSitePages);
                targets[static_cast<std::size_t>(i)].push_back(&records[static_cast<std::size_t>(nTo)]);
                hrefs[static_cast<std::size_t>(i)].push_back(PagePath(nTo));
            }
        }
    }
};

double RecordCpu(const SitePages& site, const std::string& strPath)
{
    const double dStart = ThreadCpuSeconds();
    {
        plovik::CrawlSetup setup;
        setup.strStartUrl = site.records[0].strUrl;
        setup.nMaxPages = kSitePages;
        std::string strError;
        const auto pStore = plovik::CrawlStore::Create(strPath, setup, strError);
        plovik::CrawlRecorder recorder(*pStore);
        const std::string strNone;
        for (std::size_t i = 0; i < site.records.size(); ++i)
            recorder.OnPageProcessed(plovik::ProcessedPage{site.records[i], site.records[i].strUrl, strNone,
                                                           site.targets[i], site.hrefs[i], false});
        recorder.OnCrawlProgress(plovik::CP_CALC_DONE, nullptr, 1000);
    }
    const double dCpu = ThreadCpuSeconds() - dStart;
    std::remove(strPath.c_str());
    return dCpu;
}

void BM_RecordGeneratedSite(benchmark::State& state)
{
    const SitePages site;
    plovik_test::TempFolder folder;
    for (auto _ : state)
        state.SetIterationTime(RecordCpu(site, folder.Path("record.crawl")));
    state.SetItemsProcessed(state.iterations() * kSitePages);
}
BENCHMARK(BM_RecordGeneratedSite)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// A finished crawl of kFilePages pages, every one visited in breadth-first order with
// ten links, written straight through the store.
void WriteBigCrawl(const std::string& strPath)
{
    plovik::CrawlSetup setup;
    setup.strStartUrl = "http://host/p0.html";
    setup.nMaxPages = kFilePages;
    setup.nIterations = 3;
    std::string strError;
    const auto pStore = plovik::CrawlStore::Create(strPath, setup, strError);
    if (!pStore) {
        std::fprintf(stderr, "%s\n", strError.c_str());
        return;
    }
    pStore->BeginPage();
    pStore->InsertPage(0, setup.strStartUrl, 0);
    std::vector<std::int32_t> depth(kFilePages, 0);
    std::vector<std::pair<std::int64_t, float>> ranks;
    for (int i = 0; i < kFilePages; ++i) {
        plovik::StoredPage page;
        page.nId = i;
        page.nStatus = 200;
        page.nOutLinks = kLinksPerPage;
        page.nVisitOrder = i;
        page.strFinalUrl = "http://host/p" + std::to_string(i) + ".html";
        pStore->UpdateVisited(page);
        for (int k = 0; k < kLinksPerPage; ++k) {
            const int nTo = LinkTarget(i, k, kFilePages);
            if (nTo > i && nTo == i * kLinksPerPage + k + 1) {
                depth[static_cast<std::size_t>(nTo)] = depth[static_cast<std::size_t>(i)] + 1;
                pStore->InsertPage(nTo, "http://host/p" + std::to_string(nTo) + ".html",
                                   depth[static_cast<std::size_t>(nTo)]);
            }
            pStore->InsertLink({i, k, nTo, "/p" + std::to_string(nTo) + ".html"});
        }
        ranks.emplace_back(i, 0.15f + static_cast<float>(i % 100) / 100.0f);
    }
    pStore->CommitPage();
    pStore->Finish(ranks, 123456);
    if (!pStore->WriteError().empty())
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), pStore->WriteError().c_str());
}

const std::string& BigCrawlFile()
{
    static plovik_test::TempFolder folder;
    static const std::string strPath = [] {
        const std::string p = folder.Path("big.crawl");
        WriteBigCrawl(p);
        return p;
    }();
    return strPath;
}

// Wall seconds; pCpu, when set, gets the thread's CPU seconds.
double OpenSeconds(plovik::OutputFormat format, double* pCpu = nullptr)
{
    plovik::HeadlessOptions o;
    o.command = plovik::HeadlessCommand::Open;
    o.strCrawlFile = BigCrawlFile();
    o.format = format;
    std::ofstream out("/dev/null");
    std::ostringstream err;
    const auto start = std::chrono::steady_clock::now();
    const double dCpu = ThreadCpuSeconds();
    plovik::RunHeadlessCrawl(o, out, err, false);
    if (pCpu)
        *pCpu = ThreadCpuSeconds() - dCpu;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_OpenBigCrawl(benchmark::State& state)
{
    const auto format = static_cast<plovik::OutputFormat>(state.range(0));
    BigCrawlFile();
    for (auto _ : state)
        state.SetIterationTime(OpenSeconds(format));
    state.SetItemsProcessed(state.iterations() * kFilePages);
}
BENCHMARK(BM_OpenBigCrawl)
    ->Arg(static_cast<int>(plovik::OutputFormat::Csv))
    ->Arg(static_cast<int>(plovik::OutputFormat::Edges))
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------------ summary

void Summary()
{
    // Other work on the machine only ever adds CPU time: the least of several runs is
    // the crawl's own cost.
    constexpr int kRuns = 7;
    GeneratedSite site;
    plovik_test::TempFolder folder;
    std::vector<double> plain, saved;
    // Each goes first in turn, so neither gains from coming second.
    for (int run = 0; run < kRuns; ++run) {
        if (run % 2 == 0)
            plain.push_back(CrawlCpu(site, std::string()));
        saved.push_back(CrawlCpu(site, folder.Path("summary.crawl")));
        if (run % 2 != 0)
            plain.push_back(CrawlCpu(site, std::string()));
    }
    const double p = *std::min_element(plain.begin(), plain.end());
    const double s = *std::min_element(saved.begin(), saved.end());
    std::printf("\nSummary\n");
    std::printf("  crawl of %d pages, least CPU of %d runs: %.3f s without saving, %.3f s saved: %+.1f%% "
                "(target: at most +10%%; medians %+.1f%%)\n",
                kSitePages, kRuns, p, s, (s / p - 1.0) * 100.0, (Median(saved) / Median(plain) - 1.0) * 100.0);
    std::vector<double> open, openCpu;
    for (int run = 0; run < 3; ++run) {
        double dCpu = 0.0;
        open.push_back(OpenSeconds(plovik::OutputFormat::Csv, &dCpu));
        openCpu.push_back(dCpu);
    }
    std::printf("  --open of %d pages, %d links, csv rows, median of 3: %.2f s (%.2f s CPU) (target: under 5 s)\n",
                kFilePages, kFileLinks, Median(open), Median(openCpu));
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // CRAWL_STORE_BENCH_NO_SUMMARY: the benchmarks alone (for a profiler).
    if (!std::getenv("CRAWL_STORE_BENCH_NO_SUMMARY"))
        Summary();
    return 0;
}
