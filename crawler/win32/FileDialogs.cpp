#include "FileDialogs.h"

#include <commdlg.h>

namespace plovik {

namespace {

// What both dialogs share; the working folder stays the program's, so relative
// paths elsewhere keep their meaning.
OPENFILENAMEA FileDialogFields(HWND hOwner, const char* pszTitle, const char* pszFilter, char (&szPath)[MAX_PATH])
{
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hOwner;
    ofn.lpstrFilter = pszFilter;
    ofn.lpstrFile = szPath;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = pszTitle;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return ofn;
}

}  // namespace

std::string AskSaveFileName(HWND hOwner, const char* pszTitle, const char* pszDefaultName, const char* pszFilter,
                            const char* pszExtension, DWORD* pFilter)
{
    char szPath[MAX_PATH] = {};
    lstrcpynA(szPath, pszDefaultName, MAX_PATH);
    OPENFILENAMEA ofn = FileDialogFields(hOwner, pszTitle, pszFilter, szPath);
    ofn.lpstrDefExt = pszExtension;
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    ofn.nFilterIndex = pFilter && *pFilter ? *pFilter : 1;
    if (!GetSaveFileNameA(&ofn))
        return std::string();
    if (pFilter)
        *pFilter = ofn.nFilterIndex;
    return szPath;
}

std::string AskOpenFileName(HWND hOwner, const char* pszTitle, const char* pszFilter)
{
    char szPath[MAX_PATH] = {};
    OPENFILENAMEA ofn = FileDialogFields(hOwner, pszTitle, pszFilter, szPath);
    ofn.Flags |= OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&ofn) ? std::string(szPath) : std::string();
}

}  // namespace plovik
