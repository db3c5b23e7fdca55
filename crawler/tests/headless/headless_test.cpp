// The headless front end: its command line, and whole crawls with the three layouts.

#include <gtest/gtest.h>

#include <sstream>

#include "CsvWriter.h"
#include "HeadlessCrawl.h"
#include "JsonWriter.h"
#include "LoopbackServer.h"
#include "StartAddress.h"
#include "TableWriter.h"

using namespace plovik;
using namespace plovik_test;

namespace {

struct ArgsCase {
    std::vector<std::string> args;
    HeadlessArgs outcome;
    std::int32_t nPages;
    std::int32_t nIterations;
    OutputFormat format;
};

TEST(HeadlessArgs, FollowTheWindowsFieldRules)
{
    const ArgsCase cases[] = {
        {{"--crawl", "http://h/"}, HeadlessArgs::Run, 10, 3, OutputFormat::Table},
        {{"--crawl=http://h/", "--pages=5", "--iterations", "7", "--format", "csv"},
         HeadlessArgs::Run,
         5,
         7,
         OutputFormat::Csv},
        {{"--crawl", "http://h/", "--iterations", "41"}, HeadlessArgs::Run, 10, 40, OutputFormat::Table},
        {{"--crawl", "http://h/", "--iterations", "-2"}, HeadlessArgs::Run, 10, 40, OutputFormat::Table},
        {{"--crawl", "http://h/", "--iterations", "0"}, HeadlessArgs::Run, 10, 0, OutputFormat::Table},
        {{"--crawl", "http://h/", "--pages", "99999999999"}, HeadlessArgs::Run, 2147483647, 3, OutputFormat::Table},
        {{"--crawl", "http://h/", "--pages", "+12"}, HeadlessArgs::Run, 12, 3, OutputFormat::Table},
        {{"--crawl", "http://h/", "--verbose"}, HeadlessArgs::Run, 10, 3, OutputFormat::Table},
        {{"--crawl", "http://h/", "--format", "json"}, HeadlessArgs::Run, 10, 3, OutputFormat::Json},
        {{"--help"}, HeadlessArgs::Help, 10, 3, OutputFormat::Table},
        {{"--crawl", "http://h/", "-h"}, HeadlessArgs::Help, 10, 3, OutputFormat::Table},
        {{"--version"}, HeadlessArgs::Version, 10, 3, OutputFormat::Table},
        {{}, HeadlessArgs::UsageError, 10, 3, OutputFormat::Table},
        {{"--pages", "3"}, HeadlessArgs::UsageError, 10, 3, OutputFormat::Table},
        {{"--crawl"}, HeadlessArgs::UsageError, 10, 3, OutputFormat::Table},
        {{"--crawl", "http://h/", "--format", "xml"}, HeadlessArgs::UsageError, 10, 3, OutputFormat::Table},
        {{"http://h/"}, HeadlessArgs::UsageError, 10, 3, OutputFormat::Table},
        {{"--craw", "http://h/"}, HeadlessArgs::UsageError, 10, 3, OutputFormat::Table},
    };
    for (const ArgsCase& c : cases) {
        std::string strArgs;
        for (const std::string& a : c.args)
            strArgs += a + " ";
        HeadlessOptions o;
        std::string strError;
        ASSERT_EQ(ParseHeadlessArgs(c.args, o, strError), c.outcome) << strArgs;
        if (c.outcome == HeadlessArgs::UsageError) {
            EXPECT_FALSE(strError.empty()) << strArgs;
            continue;
        }
        if (c.outcome != HeadlessArgs::Run)
            continue;
        EXPECT_EQ(o.crawl.nMaxPages, c.nPages) << strArgs;
        EXPECT_EQ(o.crawl.nIterations, c.nIterations) << strArgs;
        EXPECT_EQ(o.format, c.format) << strArgs;
    }
}

struct SavedArgsCase {
    std::vector<std::string> args;
    HeadlessArgs outcome;
    HeadlessCommand command;
    const char* pFile;  // --open or --resume
    const char* pSave;
    OutputFormat format;
    bool bIterationsGiven;
};

TEST(HeadlessArgs, SavedCrawlsAndGraphLayouts)
{
    const auto Run = HeadlessArgs::Run;
    const auto Error = HeadlessArgs::UsageError;
    const SavedArgsCase cases[] = {
        {{"--crawl", "http://h/", "--save", "a.crawl"}, Run, HeadlessCommand::Crawl, "", "a.crawl", OutputFormat::Table, false},
        {{"--crawl", "http://h/", "--save=a.crawl", "--format", "edges"}, Run, HeadlessCommand::Crawl, "", "a.crawl", OutputFormat::Edges, false},
        {{"--open", "a.crawl"}, Run, HeadlessCommand::Open, "a.crawl", "", OutputFormat::Table, false},
        {{"--open=a.crawl", "--format", "graphml", "--iterations", "5"}, Run, HeadlessCommand::Open, "a.crawl", "", OutputFormat::GraphMl, true},
        {{"--resume", "a.crawl", "--format", "dot", "--verbose"}, Run, HeadlessCommand::Resume, "a.crawl", "", OutputFormat::Dot, false},
        {{"--crawl", "http://h/", "--iterations", "2"}, Run, HeadlessCommand::Crawl, "", "", OutputFormat::Table, true},
        {{"--open"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--save", "a.crawl"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--crawl", "http://h/", "--open", "a.crawl"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--open", "a.crawl", "--resume", "a.crawl"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--open", "a.crawl", "--save", "b.crawl"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--resume", "a.crawl", "--save", "b.crawl"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--open", "a.crawl", "--pages", "3"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--resume", "a.crawl", "--links", "standard"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--resume", "a.crawl", "--iterations", "4"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
        {{"--open", "a.crawl", "--format", "svg"}, Error, HeadlessCommand::Crawl, "", "", OutputFormat::Table, false},
    };
    for (const SavedArgsCase& c : cases) {
        std::string strArgs;
        for (const std::string& a : c.args)
            strArgs += a + " ";
        HeadlessOptions o;
        std::string strError;
        ASSERT_EQ(ParseHeadlessArgs(c.args, o, strError), c.outcome) << strArgs;
        if (c.outcome == Error) {
            EXPECT_FALSE(strError.empty()) << strArgs;
            continue;
        }
        EXPECT_EQ(o.command, c.command) << strArgs;
        EXPECT_EQ(o.strCrawlFile, c.pFile) << strArgs;
        EXPECT_EQ(o.strSavePath, c.pSave) << strArgs;
        EXPECT_EQ(o.format, c.format) << strArgs;
        EXPECT_EQ(o.bIterationsGiven, c.bIterationsGiven) << strArgs;
    }
}

TEST(HeadlessArgs, PagesAndIterationsTakeDecimalIntegersOnly)
{
    for (const char* pValue : {"abc", "0x10", "1e3", "", " 7", "7 ", "12abc", "-", "+"}) {
        for (const std::string strOption : {"--pages", "--iterations"}) {
            HeadlessOptions o;
            std::string strError;
            EXPECT_EQ(ParseHeadlessArgs({"--crawl", "http://h/", strOption, pValue}, o, strError),
                      HeadlessArgs::UsageError)
                << strOption << " '" << pValue << "'";
            EXPECT_NE(strError.find(strOption), std::string::npos) << strError;
        }
    }
}

TEST(HeadlessArgs, OnlyTheWindowSystemsOptionsOpenTheWindow)
{
    EXPECT_TRUE(WantsWindow({}));
    EXPECT_TRUE(WantsWindow({"-platform", "offscreen"}));
    EXPECT_TRUE(WantsWindow({"-style=fusion", "-reverse"}));
    EXPECT_FALSE(WantsWindow({"-platform"}));
    EXPECT_FALSE(WantsWindow({"--crawl", "http://h/"}));
    EXPECT_FALSE(WantsWindow({"http://h/"}));
    EXPECT_FALSE(WantsWindow({"--craw", "http://h/"}));
    EXPECT_FALSE(WantsWindow({"--version"}));
    EXPECT_FALSE(WantsWindow({"-platform", "offscreen", "--pages=3"}));
}

struct CrawlRun {
    int nExit = 0;
    std::string strOut;
    std::string strErr;
};

CrawlRun Crawl(const std::string& strUrl, OutputFormat format, std::int32_t nPages = 10, std::int32_t nIterations = 3,
               bool bVerbose = false)
{
    HeadlessOptions o;
    o.strUrl = strUrl;
    o.format = format;
    o.bVerbose = bVerbose;
    o.crawl.nMaxPages = nPages;
    o.crawl.nIterations = nIterations;
    o.crawl.pageDelay = std::chrono::milliseconds(0);
    o.crawl.http = TestHttpOptions();
    std::ostringstream out, err;
    CrawlRun r;
    r.nExit = RunHeadlessCrawl(o, out, err, false);
    r.strOut = out.str();
    r.strErr = err.str();
    return r;
}

TEST(HeadlessCrawl, RefusedAndInvalidAddressesExitWithTwo)
{
    const std::pair<const char*, std::string> cases[] = {
        {"http://www.CORVANE.com/", kRefusedAddressText},
        {"https://example.com/", InvalidAddressText()},
        {"example.com", InvalidAddressText()},
        {"", InvalidAddressText()},
    };
    for (const auto& c : cases) {
        const CrawlRun r = Crawl(c.first, OutputFormat::Table);
        EXPECT_EQ(r.nExit, 2) << c.first;
        EXPECT_EQ(r.strErr, c.second + "\n") << c.first;
        EXPECT_EQ(r.strOut, "") << c.first;
    }
}

// The start page links to a.html, to A.HTML (another page, but the same row of the
// list) and to another site. One iteration: the start page gets b + d (a.html's one
// link), every page linked from the start page b + d/3.
class HeadlessSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Page("/",
                    Html("<a href=\"a.html\">a</a><a href=\"A.HTML\">same row</a>"
                         "<a href='http://other.invalid/x,\"y\"'>x</a>"));
        server.Page("/a.html", Html("<a href=\"/\">home</a>"));
        host = server.Root().substr(7);
    }
    LoopbackServer server;
    std::string host;
};

TEST_F(HeadlessSite, CsvHoldsTheRowsOfTheWindow)
{
    // The typed address is folded to lower case and gets its "/".
    const CrawlRun r = Crawl("HTTP://" + host, OutputFormat::Csv, 10, 1);
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    // A.HTML was fetched after a.html and its 404 went to the shared row.
    const std::string expected = "Page,PR,In,Out,Depth,Status\n" + host + "/,1.000,1,3,0,200\n" + host +
        "/a.html,0.433,1,0,1,404\n"
        "\"other.invalid/x,\"\"y\"\"\",0.433,1,0,1,0\n";
    EXPECT_EQ(r.strOut, expected);
    const std::string progress = "Scanning http://" + host + "/\nScanning http://" + host +
        "/a.html\nScanning http://" + host +
        "/A.HTML\n"
        "Completing calculation iteration 1 of 1\nCompleted. Total PR = 1.866\n";
    EXPECT_EQ(r.strErr, progress);
}

TEST_F(HeadlessSite, JsonHoldsTheCellTextsAndTheTotal)
{
    const CrawlRun r = Crawl(server.Url("/"), OutputFormat::Json, 1, 0);
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    const std::string expected = "{\"rows\": [\n"
                                 "  {\"Page\": \"" +
        host +
        "/\", \"PR\": \"-\", \"In\": \"0\", \"Out\": \"3\", \"Depth\": \"0\", \"Status\": \"200\"},\n"
        "  {\"Page\": \"" +
        host +
        "/a.html\", \"PR\": \"-\", \"In\": \"1\", \"Out\": \"0\", \"Depth\": \"1\", \"Status\": \"0\"},\n"
        "  {\"Page\": \"other.invalid/x,\\\"y\\\"\", \"PR\": \"-\", \"In\": \"1\", \"Out\": \"0\", \"Depth\": \"1\", "
        "\"Status\": \"0\"}\n"
        "], \"total\": 0.000}\n";
    EXPECT_EQ(r.strOut, expected);
}

TEST_F(HeadlessSite, TableIsAligned)
{
    const CrawlRun r = Crawl(server.Url("/"), OutputFormat::Table, 1, 1);
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    std::istringstream lines(r.strOut);
    std::vector<std::string> got;
    for (std::string s; std::getline(lines, s);)
        got.push_back(s);
    ASSERT_EQ(got.size(), 4u) << r.strOut;
    EXPECT_EQ(got[0].substr(0, 4), "Page");
    // Every line ends with its Status column, right-aligned under the heading.
    for (const std::string& s : got)
        EXPECT_EQ(s.size(), got[0].size()) << s;
    EXPECT_EQ(got[1].substr(got[1].size() - 3), "200");
}

TEST(HeadlessOutput, CsvAndJsonQuoteHostileTexts)
{
    const std::vector<ResultRow> rows = {{"h/a\r\nb", "-", "0", "0", "1", "0"},
                                         {std::string("h/\xff\x01\xc3\xa9"), "-", "0", "0", "1", "0"}};
    std::ostringstream csv, json, table;
    WriteCsv(csv, rows);
    WriteJson(json, rows, "0.000");
    WriteTable(table, rows);
    EXPECT_EQ(csv.str(), "Page,PR,In,Out,Depth,Status\n\"h/a\r\nb\",-,0,0,1,0\nh/\xff\x01\xc3\xa9,-,0,0,1,0\n");
    EXPECT_NE(json.str().find("\"h/a\\r\\nb\""), std::string::npos) << json.str();
    // Bytes that are not UTF-8 keep their value as code points; valid UTF-8 passes.
    EXPECT_NE(json.str().find("\"h/\\u00FF\\u0001\xc3\xa9\""), std::string::npos) << json.str();
    EXPECT_NE(table.str().find("h/a\\r\\nb"), std::string::npos) << table.str();
}

}  // namespace
