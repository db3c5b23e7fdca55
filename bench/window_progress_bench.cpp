// The window under load: a big crawl's messages through the real blocking call from a
// worker thread, and sorting a big results list by each column.
//
// Targets on this machine: the rank phase (20,000 pages x 40 iterations = 800,000
// PR cells, one call per iteration) under 20 s; each column's sort of 20,000 rows
// under 200 ms.

#include "CCrawlerDlg.h"
#include "CSortListCtrl.h"
#include "RunWindow.h"
#include "TextFormat.h"

#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kPages = 20000;
constexpr int kIterations = 40;

std::vector<std::unique_ptr<plovik::PageRecord>> MakePages()
{
    std::vector<std::unique_ptr<plovik::PageRecord>> pages;
    pages.reserve(kPages);
    for (int i = 0; i < kPages; ++i) {
        auto p = std::make_unique<plovik::PageRecord>();
        p->strUrl = "http://www.site.example/section" + std::to_string(i % 97) + "/page" + std::to_string(i) + ".html";
        p->nDepth = i == 0 ? 0 : 1 + i % 5;
        p->nOutLinks = i % 31;
        p->nStatus = i % 53 == 0 ? 404 : 200;
        pages.push_back(std::move(p));
    }
    return pages;
}

std::unique_ptr<plovik::CCrawlerDlg> MakeWindow()
{
    auto pDlg = std::make_unique<plovik::CCrawlerDlg>();
    pDlg->SetMessageBox([](const QString&) {});
    pDlg->OnInitDialog();
    return pDlg;
}

// Runs fnWorker on a worker thread with the window's thread serving its messages.
void RunWorker(const std::function<void()>& fnWorker)
{
    QEventLoop loop;
    std::thread worker([&] {
        fnWorker();
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

void BM_WindowCrawlMessages(benchmark::State& state)
{
    for (auto _ : state) {
        auto pDlg = MakeWindow();
        auto pages = MakePages();
        auto pJob = pDlg->MakeCrawlJob(plovik::CrawlInputs());

        const auto t0 = std::chrono::steady_clock::now();
        RunWorker([&] {
            for (auto& p : pages)
                pJob->Send(plovik::CP_PAGE_ADDED, p.get(), 0);
        });
        const auto t1 = std::chrono::steady_clock::now();
        // As the crawl sends the rank phase: each iteration's ranks in one call.
        std::vector<plovik::PageRecord*> records;
        std::vector<std::uint32_t> order;
        for (auto& p : pages) {
            order.push_back(static_cast<std::uint32_t>(records.size()));
            records.push_back(p.get());
        }
        std::vector<float> ranks(pages.size());
        RunWorker([&] {
            pJob->Send(plovik::CP_CALC_START, nullptr, 0);
            for (int it = 0; it < kIterations; ++it) {
                std::fill(ranks.begin(), ranks.end(), 0.15f + static_cast<float>(it) * 0.01f);
                const plovik::RankIteration iteration(order, records, ranks);
                pJob->Send(plovik::CP_ITERATION_DONE, nullptr, 0, &iteration);
            }
            pJob->Send(plovik::CP_CALC_DONE, nullptr, 123456);
        });
        const auto t2 = std::chrono::steady_clock::now();
        pJob->Stop();

        const double dPages = std::chrono::duration<double>(t1 - t0).count();
        const double dRank = std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(dPages + dRank);
        state.counters["pages_s"] = dPages;
        state.counters["rank_phase_s"] = dRank;
        state.counters["rank_cells_per_s"] = (kPages * kIterations) / dRank;
        state.counters["page_msgs_per_s"] = kPages / dPages;
        if (pDlg->Results()->GetItemCount() != kPages)
            state.SkipWithError("rows missing");
    }
}
BENCHMARK(BM_WindowCrawlMessages)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The handler alone, called on the window's thread: what the rank phase costs
// without the handoff between the threads.
void BM_WindowRankHandlerOnly(benchmark::State& state)
{
    auto pDlg = MakeWindow();
    auto pages = MakePages();
    for (auto& p : pages)
        pDlg->OnCrawlProgress(plovik::CP_PAGE_ADDED, p.get(), 0);
    for (auto _ : state) {
        for (auto& p : pages) {
            p->fNewRank += 0.01f;
            pDlg->OnCrawlProgress(plovik::CP_RANK_CHANGED, p.get(), 0);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPages);
}
BENCHMARK(BM_WindowRankHandlerOnly)->Unit(benchmark::kMillisecond);

void BM_WindowSortColumn(benchmark::State& state)
{
    const int nColumn = static_cast<int>(state.range(0));
    auto pDlg = MakeWindow();
    plovik::CSortListCtrl* pList = pDlg->Results();
    unsigned nSeed = 12345;
    for (int i = 0; i < kPages; ++i) {
        nSeed = nSeed * 1103515245u + 12345u;
        const unsigned r = nSeed >> 8;
        pList->AddItem(QString("www.site.example/section%1/page%2.html").arg(r % 97).arg(r % 100000),
                       QString::fromStdString(plovik::FormatFixed3((r % 5000) / 1000.0)), QString::number(r % 300),
                       QString::number(r % 31), QString::number(r % 6), r % 53 == 0 ? QString("404") : QString("200"));
    }
    bool bAscending = true;
    for (auto _ : state) {
        // Alternate the direction, so no pass starts from sorted rows.
        pList->SortColumn(nColumn, bAscending);
        bAscending = !bAscending;
    }
    state.SetLabel(pList->GetColumnName(nColumn).toStdString());
}
BENCHMARK(BM_WindowSortColumn)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    plovik::InitUiResources();
    QApplication app(argc, argv);
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
