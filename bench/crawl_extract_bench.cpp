// Link extraction over large pages, and how much of it is the copying of the rest of
// the page that every match hands to the callback; the standard rules against the
// classic ones on the same page; plus the worst hostile pages.

#include <benchmark/benchmark.h>

#include <boost/regex.hpp>

#include <string>
#include <vector>

#include <vantrel/RegularExpression.h>

#include "LinkExtraction.h"
#include "PageHrefs.h"
#include "StandardLinks.h"
#include "UrlNormalise.h"

namespace {

// About 1 MB with 10,000 anchors among ordinary markup.
const std::string& MegabytePage()
{
    static const std::string page = [] {
        std::string s = "<html><body>\n";
        for (int i = 0; i < 10000; ++i) {
            s += "<p class=\"item\">Paragraph " + std::to_string(i) + " with some words around its link: ";
            s += "<a class=\"l\" href=\"page" + std::to_string(i) + ".html\" title=\"Page " + std::to_string(i) +
                "\">link</a>";
            s += std::string(i % 2 ? 20 : 0, ' ') + "</p>\n";
        }
        while (s.size() < 1024 * 1024)
            s += "<p>padding text without links, padding text without links, padding text.</p>\n";
        s += "</body></html>\n";
        return s;
    }();
    return page;
}

const plovik::LinkBase kBase{"host", "/dir/", 80};

void BM_AnchorPass_1MB_10000Anchors(benchmark::State& state)
{
    const std::string& page = MegabytePage();
    std::size_t nLinks = 0;
    for (auto _ : state) {
        std::vector<std::string> links;
        plovik::RunAnchorPass(page, kBase, links);
        nLinks = links.size();
    }
    state.counters["links"] = static_cast<double>(nLinks);
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_AnchorPass_1MB_10000Anchors)->Unit(benchmark::kMillisecond);

// The same page under the standard link rules: HTML parse, resolution, normal form.
void BM_StandardLinks_1MB_10000Anchors(benchmark::State& state)
{
    const std::string& page = MegabytePage();
    std::size_t nLinks = 0;
    for (auto _ : state) {
        std::vector<std::string> links;
        plovik::AddStandardLinks(page, "http://host/dir/", links);
        nLinks = links.size();
    }
    state.counters["links"] = static_cast<double>(nLinks);
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_StandardLinks_1MB_10000Anchors)->Unit(benchmark::kMillisecond);

// Its parts: reading the hrefs from the token stream, and resolving them.
void BM_StandardHrefsOnly_1MB(benchmark::State& state)
{
    const std::string& page = MegabytePage();
    for (auto _ : state)
        benchmark::DoNotOptimize(plovik::ReadPageHrefs(page).hrefs.size());
}
BENCHMARK(BM_StandardHrefsOnly_1MB)->Unit(benchmark::kMillisecond);

void BM_StandardResolveOnly_10000Hrefs(benchmark::State& state)
{
    const std::vector<std::string> hrefs = plovik::ReadPageHrefs(MegabytePage()).hrefs;
    for (auto _ : state) {
        const plovik::LinkResolver resolver("http://host/dir/");
        plovik::WebAddress address;
        std::size_t nResolved = 0;
        for (const std::string& strHref : hrefs)
            nResolved += resolver.Resolve(strHref, address) ? 1u : 0u;
        benchmark::DoNotOptimize(nResolved);
    }
}
BENCHMARK(BM_StandardResolveOnly_10000Hrefs)->Unit(benchmark::kMillisecond);

// Hostile pages for the standard rules: every one is read, in time linear in its
// size, whatever it would make a tree builder do.
std::string Repeated(const char* pPiece, int nCount)
{
    std::string page;
    for (int i = 0; i < nCount; ++i)
        page += pPiece;
    return page + "<a href=\"x\">x</a>";
}

void HostileStandardPage(benchmark::State& state, const std::string& page)
{
    std::size_t nLinks = 0;
    for (auto _ : state) {
        std::vector<std::string> links;
        plovik::AddStandardLinks(page, "http://host/", links);
        nLinks = links.size();
    }
    state.counters["links"] = static_cast<double>(nLinks);
    state.counters["page_bytes"] = static_cast<double>(page.size());
}

void BM_Hostile_Standard_NestedDivs200000(benchmark::State& state)
{
    HostileStandardPage(state, Repeated("<div>", 200000));
}
BENCHMARK(BM_Hostile_Standard_NestedDivs200000)->Unit(benchmark::kMillisecond);

void BM_Hostile_Standard_SelfClosingSpans300000(benchmark::State& state)
{
    HostileStandardPage(state, Repeated("<span/>", 300000));
}
BENCHMARK(BM_Hostile_Standard_SelfClosingSpans300000)->Unit(benchmark::kMillisecond);

void BM_Hostile_Standard_DivsAndStrayEnds100000(benchmark::State& state)
{
    HostileStandardPage(state, Repeated("<div></p>", 100000));
}
BENCHMARK(BM_Hostile_Standard_DivsAndStrayEnds100000)->Unit(benchmark::kMillisecond);

void BM_Hostile_Standard_NestedSvg300000(benchmark::State& state)
{
    HostileStandardPage(state, "<svg>" + Repeated("<g><path>", 300000));
}
BENCHMARK(BM_Hostile_Standard_NestedSvg300000)->Unit(benchmark::kMillisecond);

// One tag with 200,000 distinct attributes (the tokenizer's duplicate check).
void BM_Hostile_Standard_Attributes200000(benchmark::State& state)
{
    std::string page = "<a";
    for (int i = 0; i < 200000; ++i)
        page += " x" + std::to_string(i);
    HostileStandardPage(state, page + " href=\"y\">");
}
BENCHMARK(BM_Hostile_Standard_Attributes200000)->Unit(benchmark::kMillisecond);

void VANTREL_CALLBACK Ignore(RegexClass::RegularExpression*, const std::vector<RegexClass::REMatch>&, unsigned,
                             unsigned, bool&)
{
}

// The component's grep alone, with a callback that does nothing.
void BM_ComponentGrepOnly(benchmark::State& state)
{
    const std::string& page = MegabytePage();
    for (auto _ : state) {
        RegexClass::RegularExpression re;
        re.SetOnGrepping(&Ignore);
        re.AddExpressionOption(RegexClass::RegularExpression::IgnoreCase);
        re.SetExpression(plovik::kAnchorExpression);
        re.SetStringToMatch(page);
        benchmark::DoNotOptimize(re.Grep());
    }
}
BENCHMARK(BM_ComponentGrepOnly)->Unit(benchmark::kMillisecond);

// The engine's grep with no copies at all.
void BM_EngineGrepDirect(benchmark::State& state)
{
    const std::string& page = MegabytePage();
    const boost::regex re(plovik::kAnchorExpression, boost::regex::perl | boost::regex::icase);
    for (auto _ : state) {
        unsigned n = boost::regex_grep([](const boost::smatch&) { return true; }, page.begin(), page.end(), re);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_EngineGrepDirect)->Unit(benchmark::kMillisecond);

// Only the copies of each match's suffix (the rest of the page) into a reused string.
void BM_SuffixCopiesOnly(benchmark::State& state)
{
    const std::string& page = MegabytePage();
    const boost::regex re(plovik::kAnchorExpression, boost::regex::perl | boost::regex::icase);
    std::vector<std::size_t> ends;
    boost::regex_grep(
        [&](const boost::smatch& m) {
            ends.push_back(static_cast<std::size_t>(m[0].second - page.begin()));
            return true;
        },
        page.begin(), page.end(), re);
    std::string suffix;
    for (auto _ : state) {
        for (std::size_t e : ends) {
            suffix.assign(page, e, std::string::npos);
            benchmark::DoNotOptimize(suffix.data());
        }
    }
    state.counters["matches"] = static_cast<double>(ends.size());
}
BENCHMARK(BM_SuffixCopiesOnly)->Unit(benchmark::kMillisecond);

// Hostile pages: how long the worst of them holds up the crawl.
void BM_Hostile_UnclosedAnchors100000(benchmark::State& state)
{
    std::string page;
    for (int i = 0; i < 100000; ++i)
        page += "<a href=\"x\">";
    for (auto _ : state) {
        std::vector<std::string> links;
        benchmark::DoNotOptimize(plovik::RunAnchorPass(page, kBase, links));
    }
}
BENCHMARK(BM_Hostile_UnclosedAnchors100000)->Unit(benchmark::kMillisecond);

void BM_Hostile_OpeningsWithoutEnd200000(benchmark::State& state)
{
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += "<a";
    page += "</a>";
    for (auto _ : state) {
        std::vector<std::string> links;
        benchmark::DoNotOptimize(plovik::RunAnchorPass(page, kBase, links));
    }
}
BENCHMARK(BM_Hostile_OpeningsWithoutEnd200000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Hostile_AnchorsBeyondTheBudget300000(benchmark::State& state)
{
    std::string page;
    for (int i = 0; i < 300000; ++i)
        page += "<a href=\"q\">.</a>";
    for (auto _ : state) {
        std::vector<std::string> links;
        benchmark::DoNotOptimize(plovik::RunAnchorPass(page, kBase, links));
    }
}
BENCHMARK(BM_Hostile_AnchorsBeyondTheBudget300000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Hostile_50000Anchors(benchmark::State& state)
{
    std::string page;
    for (int i = 0; i < 50000; ++i)
        page += "<a href=\"p" + std::to_string(i) + "\">.</a>";
    for (auto _ : state) {
        std::vector<std::string> links;
        plovik::RunAnchorPass(page, kBase, links);
        benchmark::DoNotOptimize(links.size());
    }
}
BENCHMARK(BM_Hostile_50000Anchors)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Hostile_20MBPage(benchmark::State& state)
{
    std::string page(20u * 1024u * 1024u, 'x');
    page.replace(10, 22, "<a href=\"a.html\">a</a>");
    for (auto _ : state) {
        std::vector<std::string> links;
        plovik::RunAnchorPass(page, kBase, links);
        benchmark::DoNotOptimize(links.size());
    }
}
BENCHMARK(BM_Hostile_20MBPage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
