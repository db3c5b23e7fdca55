#include "MemoryDialog.h"

namespace plovik {

MemoryDialog::~MemoryDialog()
{
    if (m_hWnd && !m_bModal) {
        // The view is gone by now: no message of the window's end may reach it.
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR MemoryDialog::DoModal(HWND hParent)
{
    m_bModal = true;
    const DialogTemplate dialog = Template();
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), hParent, &MemoryDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND MemoryDialog::Create(HWND hParent)
{
    m_bModal = false;
    const DialogTemplate dialog = Template();
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), hParent, &MemoryDialog::DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (m_hWnd)
        ShowWindow(m_hWnd, SW_SHOW);
    return m_hWnd;
}

void MemoryDialog::Close()
{
    if (m_bModal)
        EndDialog(m_hWnd, IDCANCEL);
    else
        DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK MemoryDialog::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_INITDIALOG) {
        SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        reinterpret_cast<MemoryDialog*>(lParam)->m_hWnd = hWnd;
    }
    auto* pThis = reinterpret_cast<MemoryDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!pThis)
        return FALSE;
    if (nMsg == WM_DESTROY) {
        SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pThis->m_hWnd = nullptr;
        return FALSE;
    }
    return pThis->OnMessage(nMsg, wParam, lParam);
}

}  // namespace plovik
