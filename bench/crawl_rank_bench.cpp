// The rank calculation over a large page table (100,000 records, 1,000,000 links)
// beside a plain array loop over the same graph with the same arithmetic.
//
// Target: CalculateRank with 3 iterations, its receiver taking whole iterations as
// the windows do, within 2x of the plain loop's 3 iterations over arrays it already
// has. After the benchmarks a summary prints that ratio and the one against the plain
// loop that builds its arrays too, each from the median of several timings.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Median.h"
#include "SiteCrawler.h"

namespace {

constexpr std::size_t kPages = 100000;
constexpr std::size_t kLinks = 1000000;
constexpr std::int32_t kSummaryIterations = 3;

// The links as a crawl finds them: page after page, each page's links together, each
// to a random page (every page stands for a fetched one with ten links).
struct Graph {
    std::vector<std::size_t> from, to;
};

const Graph& TheGraph()
{
    static const Graph g = [] {
        Graph graph;
        std::uint32_t seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        for (std::size_t i = 0; i < kLinks; ++i) {
            graph.from.push_back(static_cast<std::size_t>(std::uint64_t{i} * kPages / kLinks));
            graph.to.push_back(next() % kPages);
        }
        return graph;
    }();
    return g;
}

bool Visited(std::size_t i)
{
    return (i % 2) == 0;
}

std::string Address(std::size_t i)
{
    return "http://host/page" + std::to_string(i) + ".html";
}

// Takes each iteration whole, as the windows and the headless printer do.
class IterationNotifier : public plovik::CrawlNotifier {
public:
    void OnCrawlProgress(int, const plovik::PageRecord*, std::int32_t) override {}
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const plovik::RankIteration& ranks) override
    {
        benchmark::DoNotOptimize(ranks.Rank(ranks.Count() - 1));
    }
};

// The table as a crawl leaves it.
std::unique_ptr<plovik::CSiteCrawler> MakeCrawledTable(plovik::CrawlNotifier& notifier)
{
    auto pCrawler = std::make_unique<plovik::CSiteCrawler>(&notifier, 1, 1);
    std::vector<plovik::PageRecord*> records;
    for (std::size_t i = 0; i < kPages; ++i) {
        plovik::PageRecord& r = pCrawler->AddPage(Address(i), 1);
        r.bVisited = Visited(i);
        records.push_back(&r);
    }
    const Graph& g = TheGraph();
    for (std::size_t i = 0; i < kLinks; ++i) {
        pCrawler->AddLink(*records[g.from[i]], *records[g.to[i]]);
        ++records[g.from[i]]->nOutLinks;
    }
    return pCrawler;
}

// ------------------------------------------------------------------ the plain loop

// In-links as index lists by target, in the order the links were found.
struct PlainArrays {
    std::vector<std::size_t> start, in;
    std::vector<int> outLinks;
    std::vector<float> rank, newRank;
    std::vector<char> visited;
};

PlainArrays BuildPlainArrays()
{
    const Graph& g = TheGraph();
    PlainArrays a;
    a.start.assign(kPages + 1, 0);
    a.in.resize(kLinks);
    a.outLinks.assign(kPages, 0);
    for (std::size_t i = 0; i < kLinks; ++i) {
        ++a.start[g.to[i] + 1];
        ++a.outLinks[g.from[i]];
    }
    for (std::size_t i = 0; i < kPages; ++i)
        a.start[i + 1] += a.start[i];
    std::vector<std::size_t> fill(a.start.begin(), a.start.end() - 1);
    for (std::size_t i = 0; i < kLinks; ++i)
        a.in[fill[g.to[i]]++] = g.from[i];
    a.rank.assign(kPages, 1.0f);
    a.newRank.assign(kPages, 1.0f);
    a.visited.resize(kPages);
    for (std::size_t i = 0; i < kPages; ++i)
        a.visited[i] = Visited(i);
    return a;
}

float PlainIteration(PlainArrays& a)
{
    const double d = static_cast<double>(0.85f);
    const float b = static_cast<float>(1.0 - d);
    for (std::size_t p = 0; p < kPages; ++p) {
        float r = b;
        for (std::size_t k = a.start[p]; k < a.start[p + 1]; ++k) {
            const std::size_t q = a.in[k];
            if (a.outLinks[q] > 0)
                r = static_cast<float>(r + static_cast<double>(a.rank[q]) / a.outLinks[q] * d);
        }
        a.newRank[p] = r;
    }
    float total = 0.0f;
    for (std::size_t p = 0; p < kPages; ++p) {
        a.rank[p] = a.newRank[p];
        if (a.visited[p])
            total = static_cast<float>(total + static_cast<double>(a.rank[p]));
    }
    return total;
}

// ------------------------------------------------------------------ benchmarks

void BM_CalculateRank(benchmark::State& state)
{
    IterationNotifier notifier;
    auto pCrawler = MakeCrawledTable(notifier);
    const auto nIterations = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state)
        pCrawler->CalculateRank(nIterations);
    state.SetItemsProcessed(state.iterations() * nIterations);
}
BENCHMARK(BM_CalculateRank)->Arg(1)->Arg(3)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

// The same with a receiver that wants one message per record.
void BM_CalculateRankPerRecordMessages(benchmark::State& state)
{
    class Silent : public plovik::CrawlNotifier {
    public:
        void OnCrawlProgress(int, const plovik::PageRecord*, std::int32_t) override {}
    } notifier;
    auto pCrawler = MakeCrawledTable(notifier);
    for (auto _ : state)
        pCrawler->CalculateRank(kSummaryIterations);
}
BENCHMARK(BM_CalculateRankPerRecordMessages)->Unit(benchmark::kMillisecond);

// One iteration of the plain loop over arrays it already has.
void BM_PlainArrayRank(benchmark::State& state)
{
    PlainArrays a = BuildPlainArrays();
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainIteration(a));
}
BENCHMARK(BM_PlainArrayRank)->Unit(benchmark::kMillisecond);

void BM_PlainArrayBuild(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildPlainArrays());
}
BENCHMARK(BM_PlainArrayBuild)->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------------ summary

double Seconds(const std::function<void()>& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Summary()
{
    constexpr int kRuns = 9;
    IterationNotifier notifier;
    auto pCrawler = MakeCrawledTable(notifier);
    PlainArrays a = BuildPlainArrays();
    std::vector<double> engine, plain, plainBuilt;
    for (int run = 0; run < kRuns; ++run) {
        engine.push_back(Seconds([&] { pCrawler->CalculateRank(kSummaryIterations); }));
        plain.push_back(Seconds([&] {
            for (int i = 0; i < kSummaryIterations; ++i)
                benchmark::DoNotOptimize(PlainIteration(a));
        }));
        plainBuilt.push_back(Seconds([&] {
            PlainArrays built = BuildPlainArrays();
            for (int i = 0; i < kSummaryIterations; ++i)
                benchmark::DoNotOptimize(PlainIteration(built));
        }));
    }
    const double e = Median(engine), p = Median(plain), pb = Median(plainBuilt);
    std::printf("\nSummary (median of %d, %d iterations, %zu pages, %zu links)\n", kRuns, kSummaryIterations, kPages,
                kLinks);
    std::printf("  CalculateRank %.2f ms; plain loop %.2f ms: ratio %.2f\n", e * 1e3, p * 1e3, e / p);
    std::printf("  CalculateRank %.2f ms; plain loop building its arrays %.2f ms: ratio %.2f\n", e * 1e3, pb * 1e3,
                e / pb);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
