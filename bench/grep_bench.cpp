// Grep over 16 MB of prose: the component without and with a Grepping
// callback, beside the engine's regex_grep called directly with the same
// expression and flags, and beside a direct pass that also copies the bytes a
// REMatch list holds (groups, prefix, suffix) at every match.
//
// Targets: without a callback at most 10% over BM_DirectGrep; with a callback
// at most 1.5x BM_DirectGrepCopying.

#include "ProseText.h"

#include "DirectEngine.h"

#include <vantrel/RegularExpression.h>

#include <benchmark/benchmark.h>
#include <boost/regex.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using RegexClass::RegularExpression;
using RegexClass::REMatch;

// 0-2 match a few hundred times (the rare markers); 3-5 match all over the text.
const char* const kPatterns[] = {
    "zephyr",
    "[[:digit:]]{4}-[[:digit:]]{2}-[[:digit:]]{2}",
    "(zephyr)-([0-9]+) on ([0-9-]+)",
    "the",
    "[[:alpha:]]+ing\\b",
    "([a-z]+), ([a-z]+)",
};

boost::regex Direct(const char* pattern)
{
    return DirectEngineExpression(pattern);
}

void Configure(RegularExpression& re, benchmark::State& state)
{
    re.SetExpression(kPatterns[state.range(0)]);
    re.SetStringToMatch(prose::Text());
    state.SetLabel(kPatterns[state.range(0)]);
}

void Finish(benchmark::State& state, unsigned int matches)
{
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(prose::Text().size()));
}

std::uint64_t g_sink = 0;

void OnGrepping(RegularExpression*, const std::vector<REMatch>& list, unsigned int line, unsigned int, bool&)
{
    g_sink += static_cast<std::uint64_t>(list[0].position) + line + list.back().text.size();
}

void BM_Grep(benchmark::State& state)
{
    RegularExpression re;
    Configure(re, state);
    unsigned int matches = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(matches = re.Grep());
    Finish(state, matches);
}

void BM_DirectGrep(benchmark::State& state)
{
    const boost::regex expression = Direct(kPatterns[state.range(0)]);
    const std::string& text = prose::Text();
    state.SetLabel(kPatterns[state.range(0)]);
    unsigned int matches = 0;
    for (auto _ : state) {
        matches = boost::regex_grep([](const boost::match_results<std::string::const_iterator>&) { return true; },
                                    text.begin(), text.end(), expression, boost::match_default);
        benchmark::DoNotOptimize(matches);
    }
    Finish(state, matches);
}

void BM_GrepCallback(benchmark::State& state)
{
    RegularExpression re;
    Configure(re, state);
    re.SetOnGrepping(&OnGrepping);
    unsigned int matches = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(matches = re.Grep());
    Finish(state, matches);
}

// What any caller of the engine pays to hand out the same texts: every group,
// the prefix and the suffix copied into strings reused across matches.
struct CopyingStep {
    std::vector<std::string>* texts;
    std::string::const_iterator base;
    bool operator()(const boost::match_results<std::string::const_iterator>& m) const
    {
        const std::size_t groups = m.size();
        texts->resize(groups + 2);
        for (std::size_t i = 0; i < groups; ++i) {
            const auto& sub = m[static_cast<int>(i)];
            if (sub.matched)
                (*texts)[i].assign(sub.first, sub.second);
            else
                (*texts)[i].clear();
        }
        (*texts)[groups].assign(m.prefix().first, m.prefix().second);
        (*texts)[groups + 1].assign(m.suffix().first, m.suffix().second);
        g_sink += static_cast<std::uint64_t>(m[0].first - base) + (*texts)[groups + 1].size();
        return true;
    }
};

void BM_DirectGrepCopying(benchmark::State& state)
{
    const boost::regex expression = Direct(kPatterns[state.range(0)]);
    const std::string& text = prose::Text();
    state.SetLabel(kPatterns[state.range(0)]);
    std::vector<std::string> texts;
    unsigned int matches = 0;
    for (auto _ : state) {
        matches = boost::regex_grep(CopyingStep{&texts, text.begin()}, text.begin(), text.end(), expression,
                                    boost::match_default);
        benchmark::DoNotOptimize(matches);
    }
    Finish(state, matches);
}

BENCHMARK(BM_Grep)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectGrep)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepCallback)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectGrepCopying)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
