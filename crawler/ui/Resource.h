#pragma once
// Resource ids of the program's window. Each control carries its id's name as its
// object name, so tests and tools find controls by it.

#include "ProgramTexts.h"

namespace plovik {

enum ResourceId : int {
    ID_SYS_ABOUT = 0x0010,
    IDD_ABOUT = 100,
    IDS_ABOUT_ITEM = 101,
    IDD_MAIN = 102,
    IDI_APP = 128,
    IDR_POPUP = 129,
    IDB_SPLASH = 132,
    IDOK_EXIT = 1,
    IDC_CRAWL = 1000,
    IDC_RESULTS = 1001,
    IDC_URL = 1002,
    IDC_HOMEPAGE = 1003,
    IDC_HELP_PAGE = 1004,
    IDC_PROGRESS = 1005,
    IDC_STATUS = 1006,
    IDC_PAGES = 1012,
    IDC_PAGES_SPIN = 1014,
    IDC_ITERATIONS = 1015,
    IDC_ITERATIONS_SPIN = 1016,
    ID_VISIT_PAGE = 32771,
};

}  // namespace plovik
