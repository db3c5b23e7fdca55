// The program as a user starts it: arguments, messages and exit statuses, with no
// display to open a window on.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "BrokenCrawlFiles.h"
#include "LoopbackServer.h"
#include "TempFolder.h"

extern char** environ;

using namespace plovik_test;

namespace {

struct Outcome {
    int nStatus = -1;  // exit status, or 128 + signal as a shell reports it
    std::string strOut;
    std::string strErr;
};

std::string ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The program's environment without a display, and without a proxy for loopback.
std::vector<std::string> NoDisplayEnvironment()
{
    std::vector<std::string> env;
    for (char** p = environ; *p; ++p) {
        const std::string s = *p;
        const std::string strName = s.substr(0, s.find('='));
        if (strName != "DISPLAY" && strName != "WAYLAND_DISPLAY" && strName != "QT_QPA_PLATFORM" &&
            strName != "no_proxy" && strName != "NO_PROXY")
            env.push_back(s);
    }
    env.push_back("no_proxy=*");
    return env;
}

class Program {
public:
    explicit Program(std::vector<std::string> args)
    {
        char szDir[] = "/tmp/plovik-cli-XXXXXX";
        m_strDir = mkdtemp(szDir);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (m_strDir + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (m_strDir + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        args.insert(args.begin(), PLOVIK_PROGRAM);
        // A 32-bit build tested on a kernel without 32-bit support runs the program
        // under the same emulator as the test.
        const std::string strLauncher = PLOVIK_LAUNCHER;
        if (!strLauncher.empty())
            args.insert(args.begin(), strLauncher);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = NoDisplayEnvironment();
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        std::remove((m_strDir + "/out").c_str());
        std::remove((m_strDir + "/err").c_str());
        rmdir(m_strDir.c_str());
    }
    void Signal(int nSignal) { kill(m_pid, nSignal); }
    Outcome Wait()
    {
        Outcome o;
        int nWait = 0;
        if (m_pid <= 0 || waitpid(m_pid, &nWait, 0) != m_pid)
            return o;
        m_pid = -1;
        o.nStatus = WIFEXITED(nWait) ? WEXITSTATUS(nWait) : 128 + WTERMSIG(nWait);
        o.strOut = ReadFile(m_strDir + "/out");
        o.strErr = ReadFile(m_strDir + "/err");
        return o;
    }

private:
    pid_t m_pid = -1;
    std::string m_strDir;
};

Outcome RunProgram(std::vector<std::string> args)
{
    return Program(std::move(args)).Wait();
}

bool Contains(const std::string& s, const std::string& part)
{
    return s.find(part) != std::string::npos;
}

TEST(CommandLine, UnknownArgumentsAreRefusedWithTheUsage)
{
    const std::vector<std::vector<std::string>> cases = {{"http://127.0.0.1:1/"},
                                                         {"--craw", "http://127.0.0.1:1/"},
                                                         {"--bogus"},
                                                         {"-platform"},
                                                         {"--crawl", "http://127.0.0.1:1/", "--pages"},
                                                         {"--crawl", "http://127.0.0.1:1/", "extra"}};
    for (const auto& args : cases) {
        const Outcome o = RunProgram(args);
        EXPECT_EQ(o.nStatus, 2) << args[0];
        EXPECT_TRUE(Contains(o.strErr, "plovik: ")) << o.strErr;
        EXPECT_TRUE(Contains(o.strErr, "Usage: plovik --crawl URL")) << o.strErr;
        EXPECT_EQ(o.strOut, "") << args[0];
    }
}

TEST(CommandLine, PagesAndIterationsMustBeDecimal)
{
    for (const char* pOption : {"--pages", "--iterations"}) {
        for (const char* pValue : {"abc", "0x10", "1e3", ""}) {
            const Outcome o = RunProgram({"--crawl", "http://127.0.0.1:1/", pOption, pValue});
            EXPECT_EQ(o.nStatus, 2) << pOption << " " << pValue;
            const std::string strFirstLine = o.strErr.substr(0, o.strErr.find('\n'));
            EXPECT_TRUE(Contains(strFirstLine, pOption)) << o.strErr;
            EXPECT_TRUE(Contains(strFirstLine, "decimal")) << o.strErr;
        }
    }
}

TEST(CommandLine, VersionAndHelp)
{
    const Outcome version = RunProgram({"--version"});
    EXPECT_EQ(version.nStatus, 0);
    EXPECT_EQ(version.strOut, std::string("plovik ") + PLOVIK_VERSION + "\n");
    const Outcome help = RunProgram({"--help"});
    EXPECT_EQ(help.nStatus, 0);
    for (const char* pPart : {"--version", "--verbose", "Exit status: 0", "130", "--save FILE", "--open FILE",
                              "--resume FILE", "edges", "graphml", "dot"})
        EXPECT_TRUE(Contains(help.strOut, pPart)) << pPart;
}

TEST(CommandLine, WindowWithoutADisplayExitsWithOneLine)
{
    const Outcome o = RunProgram({});
    EXPECT_EQ(o.nStatus, 2);
    EXPECT_EQ(o.strErr, "plovik: no display; use plovik --crawl URL (see plovik --help)\n");
}

TEST(CommandLine, ExitStatusFollowsTheStartPage)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"/missing.html\">m</a>"));
    const Outcome ok = RunProgram({"--crawl", server.Url("/"), "--pages", "1", "--iterations", "1", "--format", "csv"});
    EXPECT_EQ(ok.nStatus, 0) << ok.strErr;
    EXPECT_TRUE(Contains(ok.strOut, server.Root().substr(7) + "/,")) << ok.strOut;

    // A start page that answers 404 still gives the table.
    const Outcome missing = RunProgram({"--crawl", server.Url("/missing.html"), "--pages", "1", "--format", "csv"});
    EXPECT_EQ(missing.nStatus, 1) << missing.strErr;
    EXPECT_TRUE(Contains(missing.strOut, "/missing.html/,0.150,0,0,0,404")) << missing.strOut;
}

TEST(CommandLine, VerboseNamesWhyAPageFailed)
{
    std::string strClosed;
    {
        LoopbackServer gone;
        strClosed = gone.Url("/");
    }
    const Outcome quiet = RunProgram({"--crawl", strClosed, "--pages", "1"});
    EXPECT_EQ(quiet.nStatus, 1);
    EXPECT_FALSE(Contains(quiet.strErr, "cannot read")) << quiet.strErr;
    const Outcome verbose = RunProgram({"--crawl", strClosed, "--pages", "1", "--verbose"});
    EXPECT_EQ(verbose.nStatus, 1);
    EXPECT_TRUE(Contains(verbose.strErr, "plovik: cannot read " + strClosed + ": ")) << verbose.strErr;
    EXPECT_TRUE(Contains(verbose.strErr, "onnect")) << verbose.strErr;  // libcurl's "Failed to connect ..."
    EXPECT_TRUE(Contains(verbose.strOut, "-1")) << verbose.strOut;
}

TEST(CommandLine, VerboseSaysWhereARedirectPointedAndWhyAChainFailed)
{
    LoopbackServer server, other;
    server.Redirect("/", other.Url("/"), 302);
    server.Redirect("/loop/", "/loop/", 302);  // the program adds the final "/" to a start address
    for (const char* pRules : {"classic", "standard"}) {
        const Outcome away = RunProgram({"--crawl", server.Url("/"), "--pages", "1", "--links", pRules, "--verbose"});
        EXPECT_EQ(away.nStatus, 1) << pRules;
        EXPECT_TRUE(Contains(away.strErr, "plovik: " + server.Url("/") + " redirects to " + other.Url("/"))) << away.strErr;
        EXPECT_TRUE(Contains(away.strOut, other.Root().substr(7) + "/")) << away.strOut;  // a row of its own
        const Outcome loop = RunProgram({"--crawl", server.Url("/loop/"), "--pages", "1", "--links", pRules, "--verbose"});
        EXPECT_TRUE(Contains(loop.strErr, "plovik: cannot read " + server.Url("/loop/") + ": more than 10 redirects"))
            << loop.strErr;
    }
    EXPECT_EQ(other.RequestCount(), 0);
}

TEST(CommandLine, InterruptEndsTheCrawlWithTheSignal)
{
    LoopbackServer server;
    server.SlowPage("/", Html(""), std::chrono::seconds(20));
    Program program({"--crawl", server.Url("/")});
    for (int i = 0; i < 500 && server.RequestCount() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GT(server.RequestCount(), 0);
    program.Signal(SIGINT);
    EXPECT_EQ(program.Wait().nStatus, 130);
}

TEST(CommandLine, KilledCrawlResumesToTheRowsOfAWholeOne)
{
    LoopbackServer server;
    std::atomic<bool> bHold{false};
    server.Page("/", Html("<a href=\"a.html\">a</a><a href=\"b.html\">b</a><a href=\"c.html\">c</a>"));
    server.Page("/a.html", Html("<a href=\"c.html\">c</a><a href=\"http://127.0.0.1:1/x\">away</a>"));
    server.Page("/b.html", Html("<a href=\"/\">home</a>"));
    // c.html answers only when let go, so the crawl can be killed while it waits.
    server.Raw().Get("/c.html", [&](const httplib::Request&, httplib::Response& res) {
        while (bHold && !server.Closing())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        res.set_content(Html("<a href=\"a.html\">a</a>"), "text/html");
    });
    const std::string strUrl = server.Url("/");
    const Outcome whole = RunProgram({"--crawl", strUrl, "--iterations", "2", "--format", "csv"});
    ASSERT_EQ(whole.nStatus, 0) << whole.strErr;

    TempFolder folder;
    const std::string strPath = folder.Path("killed.crawl");
    bHold = true;
    const int nBefore = server.RequestCount();
    {
        Program killed({"--crawl", strUrl, "--iterations", "2", "--save", strPath});
        const auto Asked = [&] {
            const std::vector<std::string> paths = server.RequestedPaths();
            return std::count(paths.begin() + nBefore, paths.end(), "/c.html") > 0;
        };
        for (int i = 0; i < 2000 && !Asked(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(Asked());
        killed.Signal(SIGKILL);
        EXPECT_EQ(killed.Wait().nStatus, 128 + SIGKILL);
    }
    bHold = false;

    // The file holds the three pages before the one in flight.
    const Outcome partial = RunProgram({"--open", strPath, "--format", "csv"});
    EXPECT_EQ(partial.nStatus, 0) << partial.strErr;
    EXPECT_TRUE(Contains(partial.strErr, "did not finish")) << partial.strErr;
    std::istringstream rows(partial.strOut);
    std::string strCRow;
    int nFetched = 0;
    for (std::string s; std::getline(rows, s);) {
        nFetched += s.size() > 4 && s.compare(s.size() - 4, 4, ",200") == 0;
        if (s.rfind(server.Root().substr(7) + "/c.html,", 0) == 0)
            strCRow = s;
    }
    EXPECT_EQ(nFetched, 3) << partial.strOut;
    EXPECT_EQ(strCRow.substr(strCRow.size() - 4), ",1,0") << partial.strOut;  // depth 1, not fetched

    const Outcome resumed = RunProgram({"--resume", strPath, "--format", "csv"});
    EXPECT_EQ(resumed.nStatus, 0) << resumed.strErr;
    EXPECT_EQ(resumed.strOut, whole.strOut);
    const Outcome opened = RunProgram({"--open", strPath, "--format", "csv"});
    EXPECT_EQ(opened.strOut, whole.strOut);
    EXPECT_EQ(opened.strErr, "");
}

TEST(CommandLine, FilesThatAreNoSoundCrawlAreRefusedWithTwoAndLeftAlone)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"a.html\">a</a>"));
    TempFolder folder;
    const std::string strSound = folder.Path("sound.crawl");
    ASSERT_EQ(RunProgram({"--crawl", server.Url("/"), "--pages", "1", "--save", strSound}).nStatus, 0);
    const std::string strSoundBytes = ReadWholeFile(strSound);
    const int nRequests = server.RequestCount();

    for (const BrokenCrawlFile& broken : BrokenCrawlFiles(folder, strSoundBytes)) {
        TempFolder own;
        const std::string strPath = own.Path("file");
        WriteWholeFile(strPath, broken.strBytes);
        for (const char* pCommand : {"--open", "--resume"}) {
            const Outcome o = RunProgram({pCommand, strPath});
            EXPECT_EQ(o.nStatus, 2) << broken.strName << " " << pCommand;
            EXPECT_EQ(o.strOut, "") << broken.strName;
            EXPECT_EQ(o.strErr.rfind("plovik: " + strPath + ": ", 0), 0u) << broken.strName << ": " << o.strErr;
            EXPECT_EQ(o.strErr.find('\n'), o.strErr.size() - 1) << broken.strName << ": " << o.strErr;
            EXPECT_TRUE(Contains(o.strErr, broken.strWhy)) << broken.strName << ": " << o.strErr;
            EXPECT_TRUE(ReadWholeFile(strPath) == broken.strBytes) << broken.strName << " " << pCommand;
            EXPECT_EQ(own.Names(), std::set<std::string>{"file"}) << broken.strName << " " << pCommand;
        }
    }
    for (const char* pCommand : {"--open", "--resume"}) {
        const Outcome missing = RunProgram({pCommand, folder.Path("missing.crawl")});
        EXPECT_EQ(missing.nStatus, 2) << pCommand;
        EXPECT_TRUE(Contains(missing.strErr, "no such file")) << missing.strErr;
    }
    const Outcome taken = RunProgram({"--crawl", server.Url("/"), "--save", strSound});
    EXPECT_EQ(taken.nStatus, 2);
    EXPECT_TRUE(Contains(taken.strErr, "exists")) << taken.strErr;
    EXPECT_TRUE(ReadWholeFile(strSound) == strSoundBytes);
    EXPECT_EQ(folder.Names(), std::set<std::string>{"sound.crawl"});
    EXPECT_EQ(server.RequestCount(), nRequests);
}

}  // namespace
