// plovik: the window, or with command-line options a crawl without one.

#include <string>
#include <vector>

#include "HeadlessArgs.h"
#include "HeadlessCrawl.h"
#include "HttpClient.h"
#include "RunWindow.h"
#ifdef _WIN32
#include "StandardStreams.h"
#endif

int main(int argc, char** argv)
{
    // Before any thread exists.
    plovik::HttpGlobalInit();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!plovik::WantsWindow(args)) {
#ifdef _WIN32
        plovik::ConnectStandardStreams();
#endif
        return plovik::RunHeadlessMain(args);
    }
    return plovik::RunWindow(argc, argv);
}
