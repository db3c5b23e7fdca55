// The common file dialogs as the windows' commands use them, answered by a second
// thread as a user would: a name typed, a filter chosen, OK or Cancel pressed.
// Needs a display (Xvfb).

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, whose types they use.
#include <commdlg.h>
#include <dlgs.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "FileDialogs.h"

using namespace plovik;

namespace {

const char kFilter[] = "Edge list (*.csv)\0*.csv\0GraphML (*.graphml)\0*.graphml\0";

struct DialogSearch {
    const char* pszTitle;
    HWND hFound = nullptr;
};

BOOL CALLBACK TakeDialog(HWND h, LPARAM lParam)
{
    auto& search = *reinterpret_cast<DialogSearch*>(lParam);
    char szClass[16] = {}, szTitle[64] = {};
    GetClassNameA(h, szClass, sizeof szClass);
    GetWindowTextA(h, szTitle, sizeof szTitle);
    if (!IsWindowVisible(h) || std::string(szClass) != "#32770" || std::string(szTitle) != search.pszTitle)
        return TRUE;
    search.hFound = h;
    return FALSE;
}

// What the user does in the dialog once it shows: nFilter from 1, 0 keeps the filter;
// an empty name cancels.
struct Answer {
    std::string strTitle;
    std::string strName;
    int nFilter = 0;
};

// Answers the dialog from another thread; false when it never showed.
class Answerer {
public:
    explicit Answerer(Answer answer) : m_answer(std::move(answer)), m_thread([this] { Run(); }) {}
    ~Answerer() { m_thread.join(); }
    bool Found() const { return m_bFound; }

private:
    void Run()
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        DialogSearch search{m_answer.strTitle.c_str()};
        while (!search.hFound && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EnumThreadWindows(m_nThread, &TakeDialog, reinterpret_cast<LPARAM>(&search));
        }
        if (!search.hFound)
            return;
        m_bFound = true;
        const HWND hDlg = search.hFound;
        if (m_answer.strName.empty()) {
            PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (m_answer.nFilter > 0) {
            const HWND hFilter = GetDlgItem(hDlg, cmb1);
            SendMessageA(hFilter, CB_SETCURSEL, static_cast<WPARAM>(m_answer.nFilter - 1), 0);
            // A choice with the mouse sends both; dialogs differ in which they act on.
            for (const WORD nNotify : {WORD(CBN_SELCHANGE), WORD(CBN_SELENDOK)})
                SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(cmb1, nNotify), reinterpret_cast<LPARAM>(hFilter));
        }
        // The name field is an edit in one layout of the dialog, a combo box in another.
        const int nNameField = GetDlgItem(hDlg, cmb13) ? cmb13 : edt1;
        SetDlgItemTextA(hDlg, nNameField, m_answer.strName.c_str());
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)));
    }

    Answer m_answer;
    const DWORD m_nThread = GetCurrentThreadId();
    std::atomic<bool> m_bFound{false};
    std::thread m_thread;
};

std::string TempPath(const std::string& strName)
{
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    return std::string(szDir) + "plovik-dialogs-" + std::to_string(GetCurrentProcessId()) + "-" + strName;
}

}  // namespace

TEST(FileDialogs, SaveGivesThePathAndTheFilterChosen)
{
    struct Row {
        const char* name;
        int nFilter;
        DWORD nExpectedFilter;
    };
    const Row rows[] = {
        {"links.graphml", 2, 2},
        {"links.csv", 0, 1},
    };
    for (const Row& row : rows) {
        const std::string strPath = TempPath(row.name);
        DWORD nFilter = 0;
        std::string strChosen;
        {
            Answerer user(Answer{"Export links", strPath, row.nFilter});
            strChosen = AskSaveFileName(nullptr, "Export links", "links.csv", kFilter, "csv", &nFilter);
            ASSERT_TRUE(user.Found()) << row.name;
        }
        EXPECT_EQ(strChosen, strPath) << row.name;
        EXPECT_EQ(nFilter, row.nExpectedFilter) << row.name;
    }
}

TEST(FileDialogs, CancelGivesNoPath)
{
    DWORD nFilter = 2;
    std::string strChosen = "unchanged";
    {
        Answerer user(Answer{"Save crawl", "", 0});
        strChosen =
            AskSaveFileName(nullptr, "Save crawl", "site.crawl", "Crawls (*.crawl)\0*.crawl\0", "crawl", &nFilter);
        ASSERT_TRUE(user.Found());
    }
    EXPECT_EQ(strChosen, "");
    EXPECT_EQ(nFilter, 2u);
    {
        Answerer user(Answer{"Open crawl", "", 0});
        strChosen = AskOpenFileName(nullptr, "Open crawl", "Crawls (*.crawl)\0*.crawl\0");
        ASSERT_TRUE(user.Found());
    }
    EXPECT_EQ(strChosen, "");
}

TEST(FileDialogs, OpenGivesAnExistingFile)
{
    const std::string strPath = TempPath("site.crawl");
    std::ofstream(strPath) << "x";
    std::string strChosen;
    {
        Answerer user(Answer{"Open crawl", strPath, 0});
        strChosen = AskOpenFileName(nullptr, "Open crawl", "Crawls (*.crawl)\0*.crawl\0All files (*.*)\0*.*\0");
        ASSERT_TRUE(user.Found());
    }
    EXPECT_EQ(strChosen, strPath);
    DeleteFileA(strPath.c_str());
}
