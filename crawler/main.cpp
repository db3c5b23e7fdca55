// plovik: the window, or with --crawl a crawl without one.

#include <iostream>
#include <string>
#include <vector>

#include "HeadlessFrontEnd.h"
#include "HttpClient.h"

#ifdef PLOVIK_WITH_WINDOW
#include "RunWindow.h"
#endif

int main(int argc, char** argv)
{
    // Before any thread exists.
    plovik::HttpGlobalInit();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (plovik::WantsHeadless(args))
        return plovik::RunHeadlessMain(argc, argv);
#ifdef PLOVIK_WITH_WINDOW
    return plovik::RunWindow(argc, argv);
#else
    if (!args.empty())
        return plovik::RunHeadlessMain(argc, argv);
    std::cerr << "plovik: this build has no window (Qt was not found).\n"
                 "Run a crawl without one: plovik --crawl URL (see plovik --help).\n";
    return 2;
#endif
}
