// The rank calculation over a large page table (100,000 records, 1,000,000 links)
// beside a plain array loop over the same graph with the same arithmetic.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SiteCrawler.h"

namespace {

constexpr int kPages = 100000;
constexpr int kLinks = 1000000;

struct Graph {
    std::vector<int> from, to;
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
        for (int i = 0; i < kLinks; ++i) {
            graph.from.push_back(static_cast<int>(next() % kPages));
            graph.to.push_back(static_cast<int>(next() % kPages));
        }
        return graph;
    }();
    return g;
}

std::string Address(int i)
{
    return "http://host/page" + std::to_string(i) + ".html";
}

class SilentNotifier : public plovik::CrawlNotifier {
public:
    void OnCrawlProgress(int, const plovik::PageRecord*, std::int32_t) override {}
};

void BM_CalculateRank(benchmark::State& state)
{
    SilentNotifier notifier;
    plovik::CSiteCrawler crawler(&notifier, 1, 1);
    std::vector<plovik::PageRecord*> records;
    for (int i = 0; i < kPages; ++i) {
        plovik::PageRecord& r = crawler.AddPage(Address(i), 1);
        r.bVisited = (i % 2) == 0;
        records.push_back(&r);
    }
    const Graph& g = TheGraph();
    for (int i = 0; i < kLinks; ++i) {
        records[g.to[i]]->inLinks.push_back(records[g.from[i]]);
        ++records[g.from[i]]->nOutLinks;
    }
    const auto nIterations = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state)
        crawler.CalculateRank(nIterations);
    // Time per rank iteration, the flat copy of the graph included.
    state.SetItemsProcessed(state.iterations() * nIterations);
}
BENCHMARK(BM_CalculateRank)->Arg(1)->Arg(3)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

// The same calculation over plain arrays: in-links as index lists by target.
void BM_PlainArrayRank(benchmark::State& state)
{
    const Graph& g = TheGraph();
    std::vector<int> start(kPages + 1, 0), in(kLinks), outLinks(kPages, 0);
    for (int i = 0; i < kLinks; ++i) {
        ++start[g.to[i] + 1];
        ++outLinks[g.from[i]];
    }
    for (int i = 0; i < kPages; ++i)
        start[i + 1] += start[i];
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (int i = 0; i < kLinks; ++i)
        in[fill[g.to[i]]++] = g.from[i];
    std::vector<float> rank(kPages, 1.0f), newRank(kPages, 1.0f);
    std::vector<char> visited(kPages);
    for (int i = 0; i < kPages; ++i)
        visited[i] = (i % 2) == 0;
    const double d = static_cast<double>(0.85f);
    const float b = static_cast<float>(1.0 - d);
    for (auto _ : state) {
        for (int p = 0; p < kPages; ++p) {
            float r = b;
            for (int k = start[p]; k < start[p + 1]; ++k) {
                const int q = in[k];
                if (outLinks[q] > 0)
                    r = static_cast<float>(r + static_cast<double>(rank[q]) / outLinks[q] * d);
            }
            newRank[p] = r;
        }
        float total = 0.0f;
        for (int p = 0; p < kPages; ++p) {
            rank[p] = newRank[p];
            if (visited[p])
                total = static_cast<float>(total + static_cast<double>(rank[p]));
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_PlainArrayRank)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
