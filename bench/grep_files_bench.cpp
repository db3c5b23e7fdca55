// GrepFiles with three expressions that start with no literal, beside GNU
// `grep -rcE` over the same tree, run from this program as a child.
//
// Measured: CPU time (user + system), GrepFiles from getrusage(RUSAGE_SELF)
// and grep from getrusage(RUSAGE_CHILDREN); each pair three times, medians
// printed with their ratio. Target: GrepFiles at most 3x grep for each.
//
// The tree: GREP_FILES_BENCH_MB megabytes (default 20) in ten 100 KB files
// per megabyte, twenty directories, generated once under
// GREP_FILES_BENCH_DIR (default /tmp/vantrel-grep-files-bench-<MB>) and
// reused. Lines of lower-case words; about one line in 40 each gets a date,
// a capitalised word ending in "ing", or a "needle-N" / "neeedle-N"; one in
// 20 a lower-case word with "ing" (which the second expression must reject).
// The first run reads the tree into the page cache; it is not counted.

#include <vantrel/RegularExpression.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include "Median.h"

namespace {

using RegexClass::RegularExpression;

const char* const kExpressions[] = {"[0-9]{4}-[0-9]{2}-[0-9]{2}", "[A-Z][a-z]+ing\\b", "ne+dle-[0-9]+"};
constexpr std::size_t kFileSize = 100 * 1024;
constexpr int kDirectories = 20;

int Megabytes()
{
    const char* mb = std::getenv("GREP_FILES_BENCH_MB");
    int value = mb ? std::atoi(mb) : 20;
    return value > 0 ? value : 20;
}

std::string TreeRoot()
{
    const char* dir = std::getenv("GREP_FILES_BENCH_DIR");
    return dir && *dir ? dir : "/tmp/vantrel-grep-files-bench-" + std::to_string(Megabytes());
}

std::string FileContent(std::mt19937& random)
{
    static const char* const kWords[] = {"alpha",  "bravo",  "charlie", "delta",  "echo",   "foxtrot",
                                         "golf",   "hotel",  "india",   "juliet", "kilo",   "lima",
                                         "mike",   "nettle", "oscar",   "papa",   "quebec", "romeo",
                                         "sierra", "tango",  "uniform", "victor", "whiskey"};
    static const char* const kCapitalised[] = {"Walking", "Morning", "Reading", "Building", "Evening"};
    static const char* const kLowerIng[] = {"string", "nothing", "ring", "kingdom", "singing"};
    std::string text;
    text.reserve(kFileSize + 128);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    while (text.size() < kFileSize) {
        const int words = 4 + pick(11);
        for (int i = 0; i < words; ++i) {
            if (i)
                text += ' ';
            text += kWords[pick(23)];
        }
        if (pick(40) == 0)
            text += " on 20" + std::to_string(10 + pick(15)) + "-0" + std::to_string(1 + pick(9)) + "-1" +
                std::to_string(pick(10));
        if (pick(40) == 0)
            text += std::string(" ") + kCapitalised[pick(5)];
        if (pick(40) == 0)
            text += (pick(2) ? " needle-" : " neeedle-") + std::to_string(pick(1000));
        if (pick(20) == 0)
            text += std::string(" ") + kLowerIng[pick(5)];
        text += '\n';
    }
    text.resize(kFileSize);
    return text;
}

void EnsureTree()
{
    const std::string root = TreeRoot();
    struct stat st;
    if (::stat((root + "/.complete").c_str(), &st) == 0)
        return;
    std::fprintf(stderr, "generating %s ...\n", root.c_str());
    ::mkdir(root.c_str(), 0755);
    std::mt19937 random(20240517);
    const int files = Megabytes() * 10;
    for (int f = 0; f < files; ++f) {
        char name[64];
        std::snprintf(name, sizeof name, "/d%02d", f % kDirectories);
        ::mkdir((root + name).c_str(), 0755);
        std::snprintf(name, sizeof name, "/d%02d/f%05d.txt", f % kDirectories, f);
        std::ofstream(root + name, std::ios::binary) << FileContent(random);
    }
    std::ofstream(root + "/.complete") << "ok\n";
}

double Seconds(const struct rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuSeconds(int who)
{
    struct rusage usage;
    ::getrusage(who, &usage);
    return Seconds(usage);
}

unsigned int GrepFiles(const char* expression)
{
    RegularExpression re;
    re.SetExpression(expression);
    re.SetFilesToMatch(TreeRoot() + "/*.txt");
    re.SetDirectoryRecursion(true);
    return re.GrepFiles();
}

void SystemGrep(const char* expression)
{
    const std::string command =
        std::string("grep -rcE --include='*.txt' '") + expression + "' " + TreeRoot() + " > /dev/null";
    if (std::system(command.c_str()) == -1)
        std::abort();
}

}  // namespace

int main()
{
    EnsureTree();
    std::printf("GrepFiles against grep -rcE, CPU seconds, median of three (%d MB, %s)\n", Megabytes(),
                TreeRoot().c_str());
    GrepFiles(kExpressions[0]);  // the page cache
    for (const char* expression : kExpressions) {
        std::vector<double> ours, theirs;
        unsigned int matches = 0;
        for (int run = 0; run < 3; ++run) {
            double start = CpuSeconds(RUSAGE_SELF);
            matches = GrepFiles(expression);
            ours.push_back(CpuSeconds(RUSAGE_SELF) - start);
            start = CpuSeconds(RUSAGE_CHILDREN);
            SystemGrep(expression);
            theirs.push_back(CpuSeconds(RUSAGE_CHILDREN) - start);
        }
        const double a = Median(ours), b = Median(theirs);
        std::printf("  %-28s matches %8u  GrepFiles %.3f  grep %.3f  ratio %.2f\n", expression, matches, a, b,
                    b > 0 ? a / b : 0.0);
    }
    return 0;
}
