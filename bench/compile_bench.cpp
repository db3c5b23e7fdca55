// A cached ParseExpression against a fresh compilation of the same expression.

#include <vantrel/RegularExpression.h>

#include <benchmark/benchmark.h>

using RegexClass::RegularExpression;

namespace {

const char kExpression[] = "<a\\s+([^>]*)>([^<]*)</a>";

void CachedParse(benchmark::State& state)
{
    RegularExpression re;
    re.SetLocaleModel(static_cast<RegularExpression::LocaleModels>(state.range(0)));
    re.SetExpression(kExpression);
    re.ParseExpression();
    for (auto _ : state)
        benchmark::DoNotOptimize(re.ParseExpression());
}
BENCHMARK(CachedParse)->Arg(0)->Arg(1)->Arg(2);

void FreshCompile(benchmark::State& state)
{
    RegularExpression re;
    re.SetLocaleModel(static_cast<RegularExpression::LocaleModels>(state.range(0)));
    bool toggle = false;
    for (auto _ : state) {
        // Alternating the text forces a compilation every time.
        re.SetExpression(toggle ? kExpression : "<A\\s+([^>]*)>([^<]*)</A>");
        toggle = !toggle;
        benchmark::DoNotOptimize(re.ParseExpression());
    }
}
BENCHMARK(FreshCompile)->Arg(0)->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
