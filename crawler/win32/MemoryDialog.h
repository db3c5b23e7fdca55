#pragma once
// A dialog whose template is built in memory, run modal or shown beside its owner.
// A view gives its template and handles its messages; the window handle, how the
// dialog ends and the bookkeeping of WM_DESTROY live here once.

#include <windows.h>

#include "DialogTemplate.h"

namespace plovik {

class MemoryDialog {
public:
    virtual ~MemoryDialog();
    MemoryDialog(const MemoryDialog&) = delete;
    MemoryDialog& operator=(const MemoryDialog&) = delete;

    // Runs the dialog until it closes.
    INT_PTR DoModal(HWND hParent);
    // Or shows it beside its owner; it lives until closed or this object ends.
    HWND Create(HWND hParent);
    HWND Handle() const { return m_hWnd; }

protected:
    MemoryDialog() = default;
    virtual DialogTemplate Template() const = 0;
    // Every message up to WM_DESTROY; FALSE for one not handled.
    virtual INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) = 0;
    // Ends the dialog the way it was started.
    void Close();

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    bool m_bModal = false;
};

}  // namespace plovik
