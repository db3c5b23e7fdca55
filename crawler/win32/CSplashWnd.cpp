#include "CSplashWnd.h"

#include "ResourceIds.h"

namespace plovik {

bool CSplashWnd::s_bEnabled = false;
CSplashWnd* CSplashWnd::s_pSplashWnd = nullptr;

CSplashWnd::~CSplashWnd()
{
    s_pSplashWnd = nullptr;
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
}

void CSplashWnd::EnableSplash(bool bEnable)
{
    s_bEnabled = bEnable;
}

void CSplashWnd::ShowSplash(HWND hParent)
{
    if (!s_bEnabled || s_pSplashWnd)
        return;
    s_pSplashWnd = new CSplashWnd;
    if (!s_pSplashWnd->Create(hParent)) {
        // Null already when a window was made and destroyed again (WM_NCDESTROY).
        delete s_pSplashWnd;
        return;
    }
    // Visible before the main window is shown.
    UpdateWindow(s_pSplashWnd->m_hWnd);
}

HWND CSplashWnd::Current()
{
    return s_pSplashWnd ? s_pSplashWnd->m_hWnd : nullptr;
}

void CSplashWnd::CloseSplash()
{
    if (!s_pSplashWnd)
        return;
    const HWND hOwner = s_pSplashWnd->m_hOwner;
    // The object goes with its window (WM_NCDESTROY).
    DestroyWindow(s_pSplashWnd->m_hWnd);
    if (hOwner)
        UpdateWindow(hOwner);
}

bool CSplashWnd::Create(HWND hParent)
{
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    m_hBitmap = LoadBitmapA(hInstance, MAKEINTRESOURCEA(IDB_SPLASH));
    if (!m_hBitmap)
        return false;
    BITMAP bitmap{};
    GetObjectA(m_hBitmap, sizeof bitmap, &bitmap);

    WNDCLASSA wc{};
    if (!GetClassInfoA(hInstance, kClassName, &wc)) {
        wc.lpfnWndProc = &CSplashWnd::WindowProc;
        wc.hInstance = hInstance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        if (!RegisterClassA(&wc))
            return false;
    }
    m_hOwner = hParent;
    return CreateWindowExA(0, kClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, bitmap.bmWidth, bitmap.bmHeight, hParent,
                           nullptr, hInstance, this) != nullptr;
}

LRESULT CALLBACK CSplashWnd::WindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_NCCREATE) {
        auto* pSplash = static_cast<CSplashWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        pSplash->m_hWnd = hWnd;
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pSplash));
    }
    auto* pSplash = reinterpret_cast<CSplashWnd*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!pSplash)
        return DefWindowProcA(hWnd, nMsg, wParam, lParam);
    switch (nMsg) {
    case WM_CREATE:
        pSplash->OnCreate();
        return 0;
    case WM_PAINT:
        pSplash->OnPaint();
        return 0;
    case WM_TIMER:
        CloseSplash();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        delete pSplash;
        return DefWindowProcA(hWnd, nMsg, wParam, lParam);
    default:
        return DefWindowProcA(hWnd, nMsg, wParam, lParam);
    }
}

void CSplashWnd::OnCreate()
{
    // Over the owner when it is on screen; at start-up it is not yet, so the splash
    // goes to the middle of the work area.
    RECT area{};
    if (m_hOwner && IsWindowVisible(m_hOwner))
        GetWindowRect(m_hOwner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT own{};
    GetWindowRect(m_hWnd, &own);
    const int nWidth = own.right - own.left, nHeight = own.bottom - own.top;
    SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - nWidth) / 2,
                 area.top + (area.bottom - area.top - nHeight) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetTimer(m_hWnd, kTimerId, kDelayMs, nullptr);
}

void CSplashWnd::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC hDC = BeginPaint(m_hWnd, &paint);
    if (const HDC hMemory = CreateCompatibleDC(hDC)) {
        BITMAP bitmap{};
        GetObjectA(m_hBitmap, sizeof bitmap, &bitmap);
        const HGDIOBJ hOld = SelectObject(hMemory, m_hBitmap);
        BitBlt(hDC, 0, 0, bitmap.bmWidth, bitmap.bmHeight, hMemory, 0, 0, SRCCOPY);
        SelectObject(hMemory, hOld);
        DeleteDC(hMemory);
    }
    EndPaint(m_hWnd, &paint);
}

}  // namespace plovik
