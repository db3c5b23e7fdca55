// Ids of the link views (LinksDialog, BrokenLinksDialog) and of the main window's
// commands that open them. The dialogs' templates are built in memory
// (DialogTemplate), so only these numbers are shared; they lie apart from
// resource.h's, so the views can live beside the main window's own ids.
#pragma once

// Controls of the two views, from 1300.
#define IDC_LINKS_IN_COUNT 1300
#define IDC_LINKS_IN 1301
#define IDC_LINKS_OUT_COUNT 1302
#define IDC_LINKS_OUT 1303
#define IDC_BROKEN_COUNT 1310
#define IDC_BROKEN_LINKS 1311
#define IDC_EXPORT 1312

// Commands of the main window for the views, saved crawls and the graph's export:
// system-menu entries (low four bits clear, below 0xF000) and the list's popup.
#define ID_SYS_SAVE_CRAWL 0x0100
#define ID_SYS_OPEN_CRAWL 0x0110
#define ID_SYS_EXPORT_LINKS 0x0120
#define ID_SYS_BROKEN_LINKS 0x0130
#define ID_SHOW_LINKS 32790
