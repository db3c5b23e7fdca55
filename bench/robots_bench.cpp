// robots.txt under a hostile site: a file of 100,000 rules full of stars (of which
// the first 512 KiB are read) against the 300 new links of one page with 1 KB paths.
// Target: well under a second for the whole page, so that a stop request between two
// links is answered at once; matching with backtracking took about 25 s.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "RobotsRules.h"

namespace {

const std::string& HostileFile()
{
    static const std::string file = [] {
        std::string s = "User-agent: *\n";
        for (int i = 0; i < 100000; ++i)
            s += "Disallow: /*a*a*a*a*a*a*a*a*a*a*b" + std::to_string(i) + "\n";
        return s;
    }();
    return file;
}

// 300 paths of about 1 KB made of the given unit, each ended by its number.
std::vector<std::string> Paths(const std::string& strUnit)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i) {
        std::string p = "/";
        while (p.size() < 1024)
            p += strUnit;
        paths.push_back(p + "x" + std::to_string(i));
    }
    return paths;
}

void BM_RobotsParseHostileFile(benchmark::State& state)
{
    for (auto _ : state) {
        plovik::RobotsRules rules(HostileFile(), "Plovik");
        benchmark::DoNotOptimize(rules.RuleCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(plovik::kMaxRobotsBytes));
}
BENCHMARK(BM_RobotsParseHostileFile)->Unit(benchmark::kMillisecond);

// One page's links against the rules: "a" paths lack the rules' "b" (rejected at a
// glance); "ab" paths hold every byte, so every rule is searched to the path's end.
void RunPage(benchmark::State& state, const std::string& strUnit)
{
    const plovik::RobotsRules rules(HostileFile(), "Plovik");
    const std::vector<std::string> paths = Paths(strUnit);
    for (auto _ : state) {
        int nAllowed = 0;
        for (const std::string& p : paths)
            nAllowed += rules.Allows(p) ? 1 : 0;
        benchmark::DoNotOptimize(nAllowed);
    }
    state.counters["rules"] = static_cast<double>(rules.RuleCount());
}

void BM_RobotsPageOf300Links_PathsWithoutTheRulesBytes(benchmark::State& state)
{
    RunPage(state, "a");
}
BENCHMARK(BM_RobotsPageOf300Links_PathsWithoutTheRulesBytes)->Unit(benchmark::kMillisecond);

void BM_RobotsPageOf300Links_PathsWithEveryByte(benchmark::State& state)
{
    RunPage(state, "ab987654321");
}
BENCHMARK(BM_RobotsPageOf300Links_PathsWithEveryByte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
