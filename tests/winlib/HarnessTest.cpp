// The tests are Windows programs: they must really run as x64 code under Wine.

#include <windows.h>

#include <gtest/gtest.h>

TEST(Harness, RunsAsX64UnderWine)
{
    EXPECT_EQ(8u, sizeof(void*));
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    ASSERT_NE(nullptr, ntdll);
    EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
}

TEST(Harness, HeadlessWindowsCanBeCreated)
{
    HWND w = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, w);
    wchar_t text[16] = {};
    GetWindowTextW(w, text, 16);
    EXPECT_STREQ(L"probe", text);
    DestroyWindow(w);
}
