#pragma once
// The program's texts, the same in every front end. The Win32 resource script spells
// out the labels of its templates itself (its compiler reads no C++).

#include "ResourceIds.h"

namespace plovik {

inline constexpr const char* kProgramName = "Plovik";
inline constexpr const char* kAboutItemText = "&About Plovik...";
inline constexpr const char* kStandardLinksItemText = "Standard link rules";
// Added to the window title while the standard link rules are on.
inline constexpr const char* kStandardLinksTitleSuffix = " (standard link rules)";
inline constexpr const char* kVersionText = "Skarrow Version 1.3";
inline constexpr const char* kCopyrightText = "Copyright \xC2\xA9 2008 Corvane Software";
inline constexpr const char* kProductAddress = PLOVIK_PRODUCT_ADDRESS;
inline constexpr const char* kDefaultStartAddress = "http://news.bbc.co.uk/";
inline constexpr const char* kVisitPageText = "Visit page";

// Saved crawls and the link graph: the window menu's entries and the list popup's
// (UTF-8: the ellipsis is one character).
inline constexpr const char* kSaveCrawlItemText = "Save crawl\xE2\x80\xA6";
inline constexpr const char* kOpenCrawlItemText = "Open crawl\xE2\x80\xA6";
inline constexpr const char* kExportLinksItemText = "Export links\xE2\x80\xA6";
inline constexpr const char* kBrokenLinksItemText = "Broken links\xE2\x80\xA6";
inline constexpr const char* kShowLinksText = "Show links";

// Messages of the main window.
inline constexpr const char* kUnsignedNeededText = "Please enter an unsigned integer.";
inline constexpr const char* kSettingsMissingText = "Error! Cannot find settings.";
inline constexpr const char* kCrawlRunningText =
    "A crawl is still running. Its results stay in the list; press Crawl again when the status line shows "
    "\"Completed\".";
inline constexpr const char* kNothingToSaveText = "There is no crawl to save yet.";
// Followed by the reason the crawl got no file.
inline constexpr const char* kCannotSaveText = "This crawl cannot be saved: ";
inline constexpr const char* kWaitForCrawlText =
    "A crawl is running. Wait until the status line shows \"Completed\", then try again.";

}  // namespace plovik
