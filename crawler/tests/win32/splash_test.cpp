// The splash window: shown once, centred, taking its size from the picture, deaf to
// clicks, closed by its own timer. Needs a display (Xvfb).

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "CSplashWnd.h"

using namespace plovik;

namespace {

// A __stdcall callback on 32-bit Windows: no lambda converts to one.
BOOL CALLBACK CountIfSplash(HWND hWnd, LPARAM lCount)
{
    char szClass[64] = {};
    GetClassNameA(hWnd, szClass, sizeof szClass);
    if (std::string(szClass) == CSplashWnd::kClassName)
        ++*reinterpret_cast<int*>(lCount);
    return TRUE;
}

int CountSplashWindows()
{
    int nCount = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountIfSplash, reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}

// Serves this thread's messages until the splash has gone; false after the limit,
// which only guards against a hang.
bool PumpUntilClosed(std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (CSplashWnd::Current()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
    return true;
}

TEST(Splash, NothingBeforeItIsEnabled)
{
    CSplashWnd::EnableSplash(false);
    CSplashWnd::ShowSplash(nullptr);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(CountSplashWindows(), 0);
}

TEST(Splash, CentredOnceIgnoresClicksAndClosesOnItsOwn)
{
    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(nullptr);
    const HWND hSplash = CSplashWnd::Current();
    ASSERT_NE(hSplash, nullptr);
    EXPECT_TRUE(IsWindowVisible(hSplash));

    RECT r{}, area{};
    GetWindowRect(hSplash, &r);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(r.right - r.left, 350);
    EXPECT_EQ(r.bottom - r.top, 325);
    EXPECT_LE(std::abs((r.left + r.right) - (area.left + area.right)), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) - (area.top + area.bottom)), 1);

    // A second request while it is up makes no second window.
    CSplashWnd::ShowSplash(nullptr);
    EXPECT_EQ(CSplashWnd::Current(), hSplash);
    EXPECT_EQ(CountSplashWindows(), 1);

    SendMessageA(hSplash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(hSplash, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    SendMessageA(hSplash, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(CSplashWnd::Current(), hSplash);

    ASSERT_TRUE(PumpUntilClosed(std::chrono::seconds(20)));
    EXPECT_FALSE(IsWindow(hSplash));
    EXPECT_EQ(CountSplashWindows(), 0);
}

TEST(Splash, OverAVisibleOwnerItIsCentredOnTheOwner)
{
    const HWND hOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 20, 30, 600, 500, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hOwner, nullptr);
    CSplashWnd::EnableSplash(true);
    CSplashWnd::ShowSplash(hOwner);
    const HWND hSplash = CSplashWnd::Current();
    ASSERT_NE(hSplash, nullptr);
    EXPECT_EQ(GetWindow(hSplash, GW_OWNER), hOwner);
    RECT r{};
    GetWindowRect(hSplash, &r);
    EXPECT_EQ(r.left, 20 + (600 - 350) / 2);
    EXPECT_EQ(r.top, 30 + (500 - 325) / 2);
    // The owner takes its splash with it.
    DestroyWindow(hOwner);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

}  // namespace
