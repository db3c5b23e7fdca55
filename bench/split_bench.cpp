// Split of a 16 MB text at white space (the default separator), beside the
// engine's regex_split called directly on the same text.

#include <vantrel/RegularExpression.h>

#include <benchmark/benchmark.h>
#include <boost/regex.hpp>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// Words of 1 to 10 letters separated by runs of 1 to 3 blanks, tabs or line breaks.
const std::string& Text()
{
    static const std::string text = [] {
        constexpr std::size_t kSize = 16u << 20;
        std::mt19937 random(42);
        std::string t;
        t.reserve(kSize + 16);
        while (t.size() < kSize) {
            const int letters = 1 + static_cast<int>(random() % 10);
            for (int i = 0; i < letters; ++i)
                t += static_cast<char>('a' + random() % 26);
            const int blanks = 1 + static_cast<int>(random() % 3);
            for (int i = 0; i < blanks; ++i)
                t += " \t\n "[random() % 4];
        }
        return t;
    }();
    return text;
}

void BM_SplitDefaultSeparator(benchmark::State& state)
{
    RegexClass::RegularExpression re;
    re.SetStringToMatch(Text());
    std::vector<std::string> pieces;
    for (auto _ : state) {
        benchmark::DoNotOptimize(re.Split(pieces));
    }
    state.counters["pieces"] = static_cast<double>(pieces.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_SplitDefaultSeparator)->Unit(benchmark::kMillisecond);

void BM_RegexSplitDirect(benchmark::State& state)
{
    const boost::regex separator("\\s+");
    std::vector<std::string> pieces;
    for (auto _ : state) {
        // regex_split consumes its input; the copy is not part of the split.
        state.PauseTiming();
        std::string subject = Text();
        pieces.clear();
        state.ResumeTiming();
        benchmark::DoNotOptimize(boost::regex_split(std::back_inserter(pieces), subject, separator));
    }
    state.counters["pieces"] = static_cast<double>(pieces.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_RegexSplitDirect)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
