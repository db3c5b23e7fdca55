// The Crawl command below both windows: one crawl at a time, its own copy of the
// settings, its worker joined, and a stop when the window goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CrawlControl.h"
#include "LoopbackServer.h"

using namespace plovik;
using namespace plovik_test;

namespace {

// A window's message queue: the worker posts, the test's thread serves.
class FakeWindowQueue {
public:
    CrawlJob::Poster Poster()
    {
        return [this](std::function<void()> fn) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_calls.push_back(std::move(fn));
            return true;
        };
    }
    // Serves posted calls until pred holds or the time is up.
    template <class Pred>
    bool ServeUntil(Pred pred, std::chrono::seconds limit = std::chrono::seconds(30))
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (!pred()) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::function<void()> fn;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_calls.empty()) {
                    fn = std::move(m_calls.front());
                    m_calls.pop_front();
                }
            }
            if (fn)
                fn();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
};

CrawlInputs Inputs(const std::string& strUrl, std::int32_t nPages)
{
    CrawlInputs inputs;
    inputs.strUrl = strUrl;
    inputs.settings.nMaxPages = nPages;
    inputs.settings.nIterations = 1;
    inputs.settings.pageDelay = std::chrono::milliseconds(0);
    inputs.settings.http = TestHttpOptions();
    return inputs;
}

TEST(CrawlControl, SecondCrawlIsRefusedWhileOneRuns)
{
    LoopbackServer server;
    server.SlowPage("/", Html("<a href=\"a.html\">a</a>"), std::chrono::milliseconds(500));
    server.Page("/a.html", Html(""));
    FakeWindowQueue queue;
    std::vector<int> codes;
    bool bFinished = false;
    CrawlControl control(
        queue.Poster(),
        [&](int nCode, const PageRecord*, std::int32_t, const RankIteration*) { codes.push_back(nCode); },
        [&] { bFinished = true; });
    CrawlInputs inputs = Inputs(server.Url("/"), 10);
    ASSERT_EQ(control.Start(inputs), CrawlControl::StartResult::Started);
    EXPECT_EQ(control.Start(inputs), CrawlControl::StartResult::AlreadyRunning);
    ASSERT_TRUE(queue.ServeUntil([&] { return bFinished; }));
    EXPECT_FALSE(control.IsRunning());
    EXPECT_EQ(codes.back(), CP_CALC_DONE);
    // Once the first has ended (and been joined), the next one starts.
    bFinished = false;
    EXPECT_EQ(control.Start(inputs), CrawlControl::StartResult::Started);
    ASSERT_TRUE(queue.ServeUntil([&] { return bFinished; }));
}

TEST(CrawlControl, TheWindowGetsEachRankIterationInOneCall)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a><a href=\"c.html\">c</a>"));
    server.Page("/b.html", Html("<a href=\"/\">a</a>"));
    FakeWindowQueue queue;
    std::vector<int> codes;
    std::vector<std::vector<std::pair<std::string, float>>> iterations;
    bool bFinished = false;
    CrawlControl control(
        queue.Poster(),
        [&](int nCode, const PageRecord*, std::int32_t, const RankIteration* pRanks) {
            codes.push_back(nCode);
            if (!pRanks)
                return;
            iterations.emplace_back();
            for (std::size_t k = 0; k < pRanks->Count(); ++k)
                iterations.back().emplace_back(pRanks->Page(k).strUrl, pRanks->Rank(k));
        },
        [&] { bFinished = true; });
    CrawlInputs inputs = Inputs(server.Url("/"), 10);
    inputs.settings.nIterations = 2;
    ASSERT_EQ(control.Start(inputs), CrawlControl::StartResult::Started);
    ASSERT_TRUE(queue.ServeUntil([&] { return bFinished; }));

    const auto firstCalc = std::find(codes.begin(), codes.end(), CP_CALC_START);
    EXPECT_EQ(std::vector<int>(firstCalc, codes.end()),
              (std::vector<int>{CP_CALC_START, CP_ITERATION_DONE, CP_ITERATION_DONE, CP_CALC_DONE}));
    // Root has two links, b one, c none: after the first iteration from all 1.0, root
    // gets b's whole share (exactly 1), b and c half of root's.
    const double d = static_cast<double>(0.85f);
    const float base = static_cast<float>(1.0 - d);
    const float fHalf = static_cast<float>(base + 1.0 / 2 * d);
    ASSERT_EQ(iterations.size(), 2u);
    EXPECT_EQ(iterations[0],
              (std::vector<std::pair<std::string, float>>{
                  {server.Url("/"), 1.0f}, {server.Url("/b.html"), fHalf}, {server.Url("/c.html"), fHalf}}));
    EXPECT_EQ(iterations[1][0].second, static_cast<float>(base + static_cast<double>(fHalf) / 1 * d));
}

// A receiver on the worker's thread, as the window's crawl file is.
class WorkerSide : public CrawlNotifier {
public:
    void OnCrawlProgress(int nCode, const PageRecord*, std::int32_t) override
    {
        codes.push_back(nCode);
        threads.push_back(std::this_thread::get_id());
    }
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration&) override { codes.push_back(CP_ITERATION_DONE); }
    std::vector<int> codes;
    std::vector<std::thread::id> threads;
};

// The worker's receiver (the crawl file) has each message before the window shows
// it: when the window shows "Completed", the file is complete.
TEST(CrawlControl, ProcessedPagesReachTheWindowAndTheWorkerReceiverGetsEveryMessageFirst)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"b.html\">b</a><a href=\"c.html\">c</a>"));
    server.Page("/b.html", Html("<a href=\"/\">a</a>"));
    FakeWindowQueue queue;
    std::vector<std::string> events;  // the window's thread, in order
    bool bFinished = false;
    WorkerSide worker;
    bool bWorkerHadTheEnd = false;
    CrawlControl control(
        queue.Poster(),
        [&](int nCode, const PageRecord* pRecord, std::int32_t, const RankIteration*) {
            if (nCode == CP_PAGE_DONE)
                events.push_back("done " + pRecord->strUrl);
            // The worker waits while the window handles a message: its receiver's
            // messages so far can be read here.
            if (nCode == CP_CALC_DONE)
                bWorkerHadTheEnd = !worker.codes.empty() && worker.codes.back() == CP_CALC_DONE;
        },
        [&] { bFinished = true; },
        [&](const ProcessedPage& page) {
            events.push_back("page " + page.page.strUrl + " " + std::to_string(page.hrefs.size()));
        });
    CrawlInputs inputs = Inputs(server.Url("/"), 10);
    inputs.pWorkerReceiver = &worker;
    ASSERT_EQ(control.Start(inputs), CrawlControl::StartResult::Started);
    ASSERT_TRUE(queue.ServeUntil([&] { return bFinished; }));

    const std::string a = server.Url("/"), b = server.Url("/b.html"), c = server.Url("/c.html");
    EXPECT_EQ(events,
              (std::vector<std::string>{"page " + a + " 2", "done " + a, "page " + b + " 1", "done " + b,
                                        "page " + c + " 0", "done " + c}));
    ASSERT_FALSE(worker.codes.empty());
    EXPECT_EQ(worker.codes.back(), CP_CALC_DONE);
    EXPECT_TRUE(bWorkerHadTheEnd);
    EXPECT_EQ(std::count(worker.codes.begin(), worker.codes.end(), CP_PAGE_DONE), 3);
    EXPECT_EQ(std::count(worker.codes.begin(), worker.codes.end(), CP_ITERATION_DONE), 1);
    EXPECT_TRUE(std::none_of(worker.threads.begin(), worker.threads.end(),
                             [](std::thread::id id) { return id == std::this_thread::get_id(); }));
}

TEST(CrawlControl, DestroyingItStopsAndJoinsTheWorker)
{
    LoopbackServer server;
    server.SlowPage("/", Html(""), std::chrono::seconds(20));
    FakeWindowQueue queue;
    int nCalls = 0;
    const auto start = std::chrono::steady_clock::now();
    {
        CrawlControl control(queue.Poster(),
                             [&](int, const PageRecord*, std::int32_t, const RankIteration*) { ++nCalls; });
        ASSERT_EQ(control.Start(Inputs(server.Url("/"), 10)), CrawlControl::StartResult::Started);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(nCalls, 0);
}

}  // namespace
