#pragma once
// A common file dialog answered as a user would answer it, from another thread than
// the one that shows it: a name typed, a filter chosen, OK or Cancel pressed.

#include <windows.h>
// After windows.h, whose types they use.
#include <commdlg.h>
#include <dlgs.h>

#include <chrono>
#include <string>
#include <thread>

namespace plovik_test {

// What the user does once the dialog shows. nFilter from 1, 0 keeps the filter; an
// empty name cancels.
struct FileAnswer {
    std::string strTitle;
    std::string strName;
    int nFilter = 0;
};

namespace file_dialog_detail {

struct Search {
    const char* pszTitle;
    HWND hFound = nullptr;
};

inline BOOL CALLBACK TakeDialog(HWND h, LPARAM lParam)
{
    auto& search = *reinterpret_cast<Search*>(lParam);
    char szClass[16] = {}, szTitle[256] = {};
    GetClassNameA(h, szClass, sizeof szClass);
    GetWindowTextA(h, szTitle, sizeof szTitle);
    if (!IsWindowVisible(h) || std::string(szClass) != "#32770" || std::string(szTitle) != search.pszTitle)
        return TRUE;
    search.hFound = h;
    return FALSE;
}

}  // namespace file_dialog_detail

// A visible dialog of thread nThread with this title, or null.
inline HWND FindThreadDialog(DWORD nThread, const std::string& strTitle)
{
    file_dialog_detail::Search search{strTitle.c_str()};
    EnumThreadWindows(nThread, &file_dialog_detail::TakeDialog, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// Waits for the dialog among the windows of thread nThread and answers it: the
// dialog answered, or null when it never showed.
inline HWND AnswerFileDialog(DWORD nThread, const FileAnswer& answer,
                             std::chrono::seconds limit = std::chrono::seconds(60))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    HWND hDlg = nullptr;
    while (!hDlg && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        hDlg = FindThreadDialog(nThread, answer.strTitle);
    }
    if (!hDlg)
        return nullptr;
    if (answer.strName.empty()) {
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        return hDlg;
    }
    if (answer.nFilter > 0) {
        const HWND hFilter = GetDlgItem(hDlg, cmb1);
        SendMessageA(hFilter, CB_SETCURSEL, static_cast<WPARAM>(answer.nFilter - 1), 0);
        // A choice with the mouse sends both; dialogs differ in which they act on.
        for (const WORD nNotify : {WORD(CBN_SELCHANGE), WORD(CBN_SELENDOK)})
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(cmb1, nNotify), reinterpret_cast<LPARAM>(hFilter));
    }
    // The name field is an edit in one layout of the dialog, a combo box in another.
    const int nNameField = GetDlgItem(hDlg, cmb13) ? cmb13 : edt1;
    SetDlgItemTextA(hDlg, nNameField, answer.strName.c_str());
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)));
    return hDlg;
}

}  // namespace plovik_test
