#pragma once
// Resource ids of the program's window. Each control carries its id's name as its
// object name, so tests and tools find controls by it.

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

// Texts of the program.
inline constexpr const char* kProgramName = "Plovik";
inline constexpr const char* kAboutItemText = "&About Plovik...";
inline constexpr const char* kStandardLinksItemText = "Standard link rules";
// Added to the window title while the standard link rules are on.
inline constexpr const char* kStandardLinksTitleSuffix = " (standard link rules)";
inline constexpr const char* kVersionText = "Skarrow Version 1.3";
inline constexpr const char* kCopyrightText = "Copyright \xC2\xA9 2008 Corvane Software";
inline constexpr const char* kProductAddress = "http://www.corvane.example/skarrow/";
inline constexpr const char* kDefaultStartAddress = "http://news.bbc.co.uk/";
inline constexpr const char* kResultsLayout = "Page,240;PR,40;In,30;Out,30;Depth,43;Status,45";

}  // namespace plovik
