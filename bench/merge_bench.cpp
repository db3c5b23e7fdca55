// Merge over 16 MB of prose, with merge copy, beside the engine's
// regex_replace called directly with the same expression and flags; and the
// callback merge with a callback that always continues.
//
// Target: without a callback within 10% of BM_DirectReplace.

#include "ProseText.h"

#include "DirectEngine.h"

#include <vantrel/RegularExpression.h>

#include <benchmark/benchmark.h>
#include <boost/regex.hpp>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

using RegexClass::RegularExpression;
using RegexClass::REMatch;

// 0 matches a few hundred times (the rare markers); 1 and 2 all over the text.
const char* const kPatterns[] = {
    "(zephyr)-([0-9]+)",
    "the",
    "([a-z]+), ([a-z]+)",
};
const char kFormat[] = "<$2:$1>";

boost::regex Direct(const char* pattern)
{
    return DirectEngineExpression(pattern);
}

void Configure(RegularExpression& re, benchmark::State& state)
{
    re.SetExpression(kPatterns[state.range(0)]);
    re.SetStringToMatch(prose::Text());
    re.SetFormatString(kFormat);
    re.SetMergeCopy(true);
    state.SetLabel(kPatterns[state.range(0)]);
}

void Finish(benchmark::State& state, const std::string& out)
{
    state.counters["out_bytes"] = static_cast<double>(out.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(prose::Text().size()));
}

void BM_Merge(benchmark::State& state)
{
    RegularExpression re;
    Configure(re, state);
    std::string out;
    for (auto _ : state) {
        re.Merge(out);
        benchmark::DoNotOptimize(out.data());
    }
    Finish(state, out);
}

void BM_DirectReplace(benchmark::State& state)
{
    const boost::regex expression = Direct(kPatterns[state.range(0)]);
    const std::string& text = prose::Text();
    state.SetLabel(kPatterns[state.range(0)]);
    std::string out;
    for (auto _ : state) {
        out = boost::regex_replace(text, expression, std::string(kFormat), boost::format_all);
        benchmark::DoNotOptimize(out.data());
    }
    Finish(state, out);
}

void BM_MergeCallback(benchmark::State& state)
{
    RegularExpression re;
    Configure(re, state);
    std::uint64_t seen = 0;
    re.SetOnMergingClosure([&seen](RegularExpression*, const std::vector<REMatch>& list, unsigned int line,
                                   unsigned int, bool&) { seen += line + list.back().text.size(); });
    std::string out;
    for (auto _ : state) {
        re.Merge(out);
        benchmark::DoNotOptimize(out.data());
    }
    benchmark::DoNotOptimize(seen);
    Finish(state, out);
}

BENCHMARK(BM_Merge)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectReplace)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
// Each report carries the rest of the text: only the rare pattern is meaningful here.
BENCHMARK(BM_MergeCallback)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
