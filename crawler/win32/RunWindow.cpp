#include "RunWindow.h"

#include "CCrawlerDlg.h"
#include "HeadlessArgs.h"
#include "StandardStreams.h"

#include <windows.h>
#include <commctrl.h>

#include <iostream>

namespace plovik {

int RunWindow(int, char**)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    CCrawlerDlg dlg;
    if (dlg.DoModal(GetModuleHandleA(nullptr)) == -1) {
        // No dialog without a display: said where a user at a console reads it.
        ConnectStandardStreams();
        std::cerr << kNoDisplayMessage << std::flush;
        return EXIT_USAGE;
    }
    // The program ends with its window. A worker still inside a fetch that WinINet
    // does not interrupt ends with the process rather than holding it open; the
    // process is terminated, not exited, so that no library's detach code waits on
    // a lock that blocked worker holds.
    if (!dlg.EndCrawl(1000))
        TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

}  // namespace plovik
