#pragma once
// The start-up picture: one borderless window over the main window that closes on
// its own after 1.5 seconds. It ignores keys and clicks; only its timer ends it.

#include <windows.h>

namespace plovik {

class CSplashWnd {
public:
    CSplashWnd(const CSplashWnd&) = delete;
    CSplashWnd& operator=(const CSplashWnd&) = delete;

    static void EnableSplash(bool bEnable = true);
    // Creates and shows the splash over hParent (its owner); nothing when not enabled,
    // when a splash already exists or when the picture cannot be loaded.
    static void ShowSplash(HWND hParent);
    // The window of the one splash that exists, or null.
    static HWND Current();
    // Destroys the splash and repaints its owner at once.
    static void CloseSplash();

    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kDelayMs = 1500;
    static constexpr const char* kClassName = "PlovikSplash";

private:
    CSplashWnd() = default;
    ~CSplashWnd();
    bool Create(HWND hParent);
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnPaint();

    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
    HBITMAP m_hBitmap = nullptr;

    static bool s_bEnabled;
    static CSplashWnd* s_pSplashWnd;
};

}  // namespace plovik
