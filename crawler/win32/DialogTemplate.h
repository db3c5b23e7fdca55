#pragma once
// A dialog template built in memory, for dialogs that are not in the program's
// resource script: a pop-up with caption and system menu in "MS Sans Serif" 8, as
// the script's dialogs are, and its controls. Texts are ASCII; longer or other
// texts are set on the controls once the dialog exists.

#include <windows.h>

#include <vector>

namespace plovik {

class DialogTemplate {
public:
    // Size in dialog units.
    DialogTemplate(const char* pszCaption, short nWidth, short nHeight);

    // pszClass: a window class ("SysListView32") or one of the predefined "BUTTON",
    // "EDIT", "STATIC"; WS_CHILD | WS_VISIBLE are added to dwStyle.
    void AddControl(const char* pszClass, const char* pszText, WORD nId, DWORD dwStyle, short x, short y, short nWidth,
                    short nHeight);

    // Valid while this object lives and gets no more controls.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void AddText(const char* psz);
    void AddDword(DWORD n);
    void AlignToDword();

    std::vector<WORD> m_words;  // the allocation is aligned; items are aligned within it
};

}  // namespace plovik
