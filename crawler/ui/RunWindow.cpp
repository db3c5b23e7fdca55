#include "RunWindow.h"

#include "CCrawlerApp.h"
#include "HeadlessArgs.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

static void InitPlovikResources()
{
    Q_INIT_RESOURCE(plovik);
}

namespace plovik {

namespace {

bool IsSet(const char* pszName)
{
    const char* p = std::getenv(pszName);
    return p && *p;
}

// Without a display the window system would abort the program: a platform given on
// the command line or in the environment, or an X or Wayland display, is needed.
bool DisplayAvailable(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return true;
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace

void InitUiResources()
{
    InitPlovikResources();
}

int RunWindow(int argc, char** argv)
{
    if (!DisplayAvailable(argc, argv)) {
        std::cerr << kNoDisplayMessage;
        return EXIT_USAGE;
    }
    InitUiResources();
    CCrawlerApp app(argc, argv);
    app.InitInstance();
    return 0;
}

}  // namespace plovik
