#include "RunWindow.h"

#include "CCrawlerApp.h"

static void InitPlovikResources()
{
    Q_INIT_RESOURCE(plovik);
}

namespace plovik {

void InitUiResources()
{
    InitPlovikResources();
}

int RunWindow(int argc, char** argv)
{
    InitUiResources();
    CCrawlerApp app(argc, argv);
    app.InitInstance();
    return 0;
}

}  // namespace plovik
