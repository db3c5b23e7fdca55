// The common file dialogs as the windows' commands use them, answered by a second
// thread as a user would: a name typed, a filter chosen, OK or Cancel pressed.
// Needs a display (Xvfb).

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "FileDialogAnswer.h"
#include "FileDialogs.h"
#include "WindowTestSupport.h"

using namespace plovik;
using plovik_test::FileAnswer;

namespace {

const char kFilter[] = "Edge list (*.csv)\0*.csv\0GraphML (*.graphml)\0*.graphml\0";

// Answers the dialog the constructing thread shows, from another thread.
class Answerer {
public:
    explicit Answerer(FileAnswer answer)
        : m_answer(std::move(answer)),
          m_thread([this] { m_bFound = plovik_test::AnswerFileDialog(m_nThread, m_answer) != nullptr; })
    {
    }
    ~Answerer() { m_thread.join(); }
    bool Found() const { return m_bFound; }

private:
    FileAnswer m_answer;
    const DWORD m_nThread = GetCurrentThreadId();
    std::atomic<bool> m_bFound{false};
    std::thread m_thread;
};

std::string TempPath(const std::string& strName)
{
    return plovik_test::TempPath("dialogs", strName);
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
            Answerer user(FileAnswer{"Export links", strPath, row.nFilter});
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
        Answerer user(FileAnswer{"Save crawl", "", 0});
        strChosen =
            AskSaveFileName(nullptr, "Save crawl", "site.crawl", "Crawls (*.crawl)\0*.crawl\0", "crawl", &nFilter);
        ASSERT_TRUE(user.Found());
    }
    EXPECT_EQ(strChosen, "");
    EXPECT_EQ(nFilter, 2u);
    {
        Answerer user(FileAnswer{"Open crawl", "", 0});
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
        Answerer user(FileAnswer{"Open crawl", strPath, 0});
        strChosen = AskOpenFileName(nullptr, "Open crawl", "Crawls (*.crawl)\0*.crawl\0All files (*.*)\0*.*\0");
        ASSERT_TRUE(user.Found());
    }
    EXPECT_EQ(strChosen, strPath);
    DeleteFileA(strPath.c_str());
}
