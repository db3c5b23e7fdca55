// FindFiles and GrepFiles over a generated tree of 2,000 files and 200 MB,
// beside GNU grep over the same tree in the same run, and beside the engine
// over the same bytes already in memory (plus, separately, the time to read
// them).
//
// Targets: for a literal, GrepFiles and FindFiles within 3x of `grep -rc` /
// `grep -rl`, and no slower than BM_ReadTree + BM_EngineInMemory.
//
// The tree is generated once under $FILES_BENCH_DIR (default
// /tmp/vantrel-files-bench) and reused by later runs. After the benchmarks a
// summary prints the ratios from a best-of-three timing of each.

#include <vantrel/RegularExpression.h>

#include <benchmark/benchmark.h>
#include <boost/regex.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using RegexClass::RegularExpression;

constexpr int kDirectories = 20;
constexpr int kFilesPerDirectory = 100;
constexpr std::size_t kFileSize = 100 * 1024;  // 2,000 x 100 KB = 200 MB
constexpr std::int64_t kTreeBytes = std::int64_t{kDirectories} * kFilesPerDirectory * std::int64_t{kFileSize};
const char kLiteral[] = "needle";
const char kRegex[] = "ne+dle-[0-9]+";

std::string TreeRoot()
{
    const char* dir = std::getenv("FILES_BENCH_DIR");
    return dir && *dir ? dir : "/tmp/vantrel-files-bench";
}

std::string FileName(int d, int f)
{
    char name[64];
    std::snprintf(name, sizeof name, "/d%02d/f%04d.txt", d, f);
    return TreeRoot() + name;
}

// Lines of words; about every 40 lines a "needle-N".
std::string FileContent(std::mt19937& random)
{
    static const char* const kWords[] = {"alpha",  "bravo",  "charlie", "delta",  "echo",   "foxtrot",
                                         "golf",   "hotel",  "india",   "juliet", "kilo",   "lima",
                                         "mike",   "nettle", "oscar",   "papa",   "quebec", "romeo",
                                         "sierra", "tango",  "uniform", "victor", "whiskey"};
    std::string text;
    text.reserve(kFileSize + 64);
    std::uniform_int_distribution<int> word(0, sizeof(kWords) / sizeof(kWords[0]) - 1);
    std::uniform_int_distribution<int> lineLength(4, 14);
    std::uniform_int_distribution<int> planted(0, 39);
    while (text.size() < kFileSize) {
        int words = lineLength(random);
        for (int i = 0; i < words; ++i) {
            if (i)
                text += ' ';
            text += kWords[word(random)];
        }
        if (planted(random) == 0)
            text += " needle-" + std::to_string(random() % 1000);
        text += '\n';
    }
    text.resize(kFileSize);
    return text;
}

void EnsureTree()
{
    const std::string done = TreeRoot() + "/.complete";
    struct stat st;
    if (::stat(done.c_str(), &st) == 0)
        return;
    std::fprintf(stderr, "generating %s ...\n", TreeRoot().c_str());
    ::mkdir(TreeRoot().c_str(), 0755);
    std::mt19937 random(12345);
    for (int d = 0; d < kDirectories; ++d) {
        char dir[16];
        std::snprintf(dir, sizeof dir, "/d%02d", d);
        ::mkdir((TreeRoot() + dir).c_str(), 0755);
        for (int f = 0; f < kFilesPerDirectory; ++f) {
            std::ofstream out(FileName(d, f), std::ios::binary);
            out << FileContent(random);
        }
    }
    std::ofstream(done) << "ok\n";
}

// The whole tree in memory, read once for the in-memory engine run.
const std::vector<std::string>& TreeInMemory()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> all;
        for (int d = 0; d < kDirectories; ++d)
            for (int f = 0; f < kFilesPerDirectory; ++f) {
                std::ifstream in(FileName(d, f), std::ios::binary);
                std::ostringstream text;
                text << in.rdbuf();
                all.push_back(text.str());
            }
        return all;
    }();
    return files;
}

// ---------------------------------------------------------------- the runs

unsigned int GrepFiles(const char* expression)
{
    RegularExpression re;
    re.SetExpression(expression);
    re.SetFilesToMatch(TreeRoot() + "/*.txt");
    re.SetDirectoryRecursion(true);
    return re.GrepFiles();
}

unsigned int FindFiles(const char* expression)
{
    RegularExpression re;
    re.SetExpression(expression);
    re.SetFilesToMatch(TreeRoot() + "/*.txt");
    re.SetDirectoryRecursion(true);
    return re.FindFiles();
}

void SystemGrep(const char* options, const char* expression)
{
    std::string command =
        std::string("grep -E ") + options + " -r --include='*.txt' '" + expression + "' " + TreeRoot() + " > /dev/null";
    if (std::system(command.c_str()) == -1)
        std::abort();
}

// Reads every file with plain read() calls into one reused buffer.
std::size_t ReadTree()
{
    std::size_t total = 0;
    std::vector<char> buffer(kFileSize + 4096);
    for (int d = 0; d < kDirectories; ++d)
        for (int f = 0; f < kFilesPerDirectory; ++f) {
            int fd = ::open(FileName(d, f).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                std::abort();
            ssize_t n;
            while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
                total += static_cast<std::size_t>(n);
            ::close(fd);
        }
    return total;
}

unsigned int EngineInMemory(const char* expression)
{
    boost::regex re(expression);
    unsigned int count = 0;
    for (const std::string& file : TreeInMemory())
        count +=
            boost::regex_grep([](const boost::match_results<std::string::const_iterator>&) { return true; }, file, re);
    return count;
}

// ----------------------------------------------------------- benchmarks

void BM_GrepFiles(benchmark::State& state, const char* expression)
{
    unsigned int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(count = GrepFiles(expression));
    state.counters["matches"] = count;
    state.SetBytesProcessed(state.iterations() * kTreeBytes);
}

void BM_FindFiles(benchmark::State& state, const char* expression)
{
    unsigned int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(count = FindFiles(expression));
    state.counters["files"] = count;
    state.SetBytesProcessed(state.iterations() * kTreeBytes);
}

void BM_SystemGrep(benchmark::State& state, const char* options, const char* expression)
{
    for (auto _ : state)
        SystemGrep(options, expression);
    state.SetBytesProcessed(state.iterations() * kTreeBytes);
}

void BM_ReadTree(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTree());
    state.SetBytesProcessed(state.iterations() * kTreeBytes);
}

void BM_EngineInMemory(benchmark::State& state, const char* expression)
{
    TreeInMemory();
    unsigned int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(count = EngineInMemory(expression));
    state.counters["matches"] = count;
    state.SetBytesProcessed(state.iterations() * kTreeBytes);
}

double BestOfThree(const std::function<void()>& run)
{
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void Summary()
{
    std::printf("\nSummary (best of three, seconds; tree %s)\n", TreeRoot().c_str());
    for (const char* expression : {kLiteral, kRegex}) {
        double grepFiles = BestOfThree([&] { GrepFiles(expression); });
        double findFiles = BestOfThree([&] { FindFiles(expression); });
        double grepCount = BestOfThree([&] { SystemGrep("-c", expression); });
        double grepList = BestOfThree([&] { SystemGrep("-l", expression); });
        double read = BestOfThree([] { ReadTree(); });
        double engine = BestOfThree([&] { EngineInMemory(expression); });
        std::printf("  %-16s GrepFiles %.3f  grep -rc %.3f  ratio %.2f\n", expression, grepFiles, grepCount,
                    grepFiles / grepCount);
        std::printf("  %-16s FindFiles %.3f  grep -rl %.3f  ratio %.2f\n", expression, findFiles, grepList,
                    findFiles / grepList);
        std::printf("  %-16s GrepFiles %.3f  read %.3f + engine in memory %.3f = %.3f  ratio %.2f\n", expression,
                    grepFiles, read, engine, read + engine, grepFiles / (read + engine));
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_GrepFiles, literal, kLiteral)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_SystemGrep, grep_rc_literal, "-c", kLiteral)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_FindFiles, literal, kLiteral)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_SystemGrep, grep_rl_literal, "-l", kLiteral)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadTree)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_EngineInMemory, literal, kLiteral)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_GrepFiles, regex, kRegex)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_SystemGrep, grep_rc_regex, "-c", kRegex)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_EngineInMemory, regex, kRegex)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    EnsureTree();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
