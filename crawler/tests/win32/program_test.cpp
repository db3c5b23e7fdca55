// plovik.exe as a user starts it on Windows: a window program (no console of its
// own) whose headless crawl writes to the files its standard streams are
// redirected to, with the same rows and texts as the crawl run in-process.

#include <gtest/gtest.h>

// Before windows.h, as the loopback server's Winsock wants.
#include <winsock2.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "HeadlessCrawl.h"
#include "LoopbackServer.h"

using namespace plovik;
using namespace plovik_test;

namespace {

struct Outcome {
    DWORD nExit = 0xFFFFFFFF;
    std::string strOut;
    std::string strErr;
};

std::string ReadAll(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

HANDLE CreateInheritable(const std::string& strPath)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileA(strPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Starts plovik.exe with its output and errors going to two files and waits.
Outcome RunProgram(const std::string& strArgs)
{
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    const std::string strOut = std::string(szDir) + "plovik-out.txt";
    const std::string strErr = std::string(szDir) + "plovik-err.txt";
    Outcome o;
    {
        HANDLE hOut = CreateInheritable(strOut);
        HANDLE hErr = CreateInheritable(strErr);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hOut;
        si.hStdError = hErr;
        PROCESS_INFORMATION pi{};
        std::string strCommand = "\"" PLOVIK_PROGRAM "\" " + strArgs;
        const BOOL bStarted =
            CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
        CloseHandle(hOut);
        CloseHandle(hErr);
        if (!bStarted)
            return o;
        WaitForSingleObject(pi.hProcess, 120000);
        GetExitCodeProcess(pi.hProcess, &o.nExit);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    o.strOut = ReadAll(strOut);
    o.strErr = ReadAll(strErr);
    return o;
}

TEST(Program, IsAWindowProgramWithoutAConsole)
{
    std::ifstream in(PLOVIK_PROGRAM, std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    in.read(reinterpret_cast<char*>(&dos), sizeof dos);
    ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
    in.seekg(static_cast<std::streamoff>(static_cast<std::size_t>(dos.e_lfanew) + 4 + sizeof(IMAGE_FILE_HEADER) +
                                         offsetof(IMAGE_OPTIONAL_HEADER, Subsystem)));
    WORD nSubsystem = 0;
    in.read(reinterpret_cast<char*>(&nSubsystem), sizeof nSubsystem);
    EXPECT_EQ(nSubsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST(Program, RedirectedCrawlWritesTheRowsOfTheInProcessCrawl)
{
    LoopbackServer server;
    server.Page("/", Html("<a href=\"a.html\">a</a><a href=\"b.html\">b</a><a href=\"http://other.invalid/\">x</a>"));
    server.Page("/a.html", Html("<a href=\"/\">home</a><a href=\"b.html\">b</a>"));
    server.Page("/b.html", Html("<a href=\"missing.html\">gone</a>"));
    for (const char* pFormat : {"csv", "json", "table"}) {
        const Outcome program =
            RunProgram("--crawl " + server.Url("/") + " --pages 5 --iterations 2 --format " + pFormat);

        HeadlessOptions o;
        o.strUrl = server.Url("/");
        o.crawl.nMaxPages = 5;
        o.crawl.nIterations = 2;
        o.crawl.pageDelay = std::chrono::milliseconds(0);
        o.crawl.http = TestHttpOptions();
        o.format = std::string(pFormat) == "csv" ? OutputFormat::Csv
            : std::string(pFormat) == "json"     ? OutputFormat::Json
                                                 : OutputFormat::Table;
        std::ostringstream out, err;
        const int nExit = RunHeadlessCrawl(o, out, err, false);

        EXPECT_EQ(program.nExit, static_cast<DWORD>(nExit)) << pFormat;
        EXPECT_EQ(program.strOut, out.str()) << pFormat;
        EXPECT_EQ(program.strErr, err.str()) << pFormat;
    }
    EXPECT_NE(RunProgram("--crawl " + server.Url("/") + " --pages 1 --format csv").strOut.find("/a.html,"),
              std::string::npos);
}

TEST(Program, UsageErrorsGoToTheRedirectedErrorStream)
{
    const Outcome o = RunProgram("--crawl");
    EXPECT_NE(o.nExit, 0u);
    EXPECT_TRUE(o.strOut.empty());
    EXPECT_FALSE(o.strErr.empty());
}

}  // namespace
