#pragma once
// What the Win32 window tests share: a list view's texts as shown, and files written
// and read back.

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace plovik_test {

// A list view's cell as shown.
inline std::string ListItemText(HWND hList, int nRow, int nColumn)
{
    std::string text(8192, '\0');
    LVITEMA item{};
    item.iSubItem = nColumn;
    item.pszText = &text[0];
    item.cchTextMax = static_cast<int>(text.size());
    text.resize(static_cast<std::size_t>(
        SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item))));
    return text;
}

// A list view's rows as shown, one "cell|cell|cell" text per row.
inline std::vector<std::string> ShownRows(HWND hList)
{
    std::vector<std::string> rows;
    const HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    const int nColumns = static_cast<int>(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0));
    const int nCount = static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < nCount; ++r) {
        std::string row;
        for (int c = 0; c < nColumns; ++c)
            row += (c ? "|" : "") + ListItemText(hList, r, c);
        rows.push_back(row);
    }
    return rows;
}

// Files in the system's temporary folder, named after the test program and its
// process, so that programs running at once never share one.

inline std::string TempPath(const std::string& strProgram, const std::string& strName)
{
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    return std::string(szDir) + "plovik-" + strProgram + "-" + std::to_string(GetCurrentProcessId()) + "-" + strName;
}

// The file's bytes, or "<missing>" when it cannot be read.
inline std::string ReadFileOrMissing(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace plovik_test
