#pragma once
// The common file dialogs as the windows' commands use them (Export…, Save crawl…,
// Open crawl…): a path, or empty when the user cancels.

#include <windows.h>

#include <string>

namespace plovik {

// pszFilter: pairs of zero-terminated texts ending in an empty one, as the common
// dialogs take them; pszExtension: added to a name typed without one. pFilter, when
// given, gets the filter the user chose, from 1 (Export links… takes its layout
// from it).
std::string AskSaveFileName(HWND hOwner, const char* pszTitle, const char* pszDefaultName, const char* pszFilter,
                            const char* pszExtension, DWORD* pFilter = nullptr);
std::string AskOpenFileName(HWND hOwner, const char* pszTitle, const char* pszFilter);

}  // namespace plovik
