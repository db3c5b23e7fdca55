// Resource ids of the program's window, one set for both windows: the Win32 resource
// script and its code, and the Qt window, whose controls carry their id's name as
// object name. Only #define lines: the resource compiler reads no C++.
#pragma once

#define ID_SYS_ABOUT 0x0010
#define ID_SYS_STANDARD_LINKS 0x0020
#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDD_MAIN 102
#define IDS_STANDARD_LINKS_ITEM 103
#define IDI_APP 128
#define IDR_POPUP 129
#define IDB_SPLASH 132
#define IDC_CRAWL 1000
#define IDC_RESULTS 1001
#define IDC_URL 1002
#define IDC_HOMEPAGE 1003
#define IDC_HELP_PAGE 1004
#define IDC_PROGRESS 1005
#define IDC_STATUS 1006
#define IDC_PAGES 1012
#define IDC_PAGES_SPIN 1014
#define IDC_ITERATIONS 1015
#define IDC_ITERATIONS_SPIN 1016
#define ID_VISIT_PAGE 32771

// The window menu's entries for saved crawls and the link graph (low four bits
// clear, below 0xF000, as system-menu commands must be), and the list popup's
// "Show links".
#define ID_SYS_SAVE_CRAWL 0x0100
#define ID_SYS_OPEN_CRAWL 0x0110
#define ID_SYS_EXPORT_LINKS 0x0120
#define ID_SYS_BROKEN_LINKS 0x0130
#define ID_SHOW_LINKS 32790

// Texts the resource script shows as they are in the code (ProgramTexts.h); the
// copyright in the script's Latin-1.
#define PLOVIK_COPYRIGHT "Copyright \251 2008 Corvane Software"
#define PLOVIK_PRODUCT_ADDRESS "http://www.corvane.example/skarrow/"
