// Ids of the link views' controls (LinksDialog, BrokenLinksDialog); the main
// window's commands that open them are in ResourceIds.h. The dialogs' templates are built in memory
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
