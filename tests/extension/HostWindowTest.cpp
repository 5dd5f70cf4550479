// The host's main window: its menus come from the framework's menu installer and
// choosing the setup item opens the setup dialog.

#include "DialogWatch.h"
#include "DocTestSupport.h"
#include "HostWindow.h"
#include "ScriptRunner.h"

#include <gtest/gtest.h>

using namespace VireoTest;

namespace {

HWND MakeFrame()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HostWindowTestFrame";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"Kestrana", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                           nullptr, windowClass.hInstance, nullptr);
}

std::wstring MenuText(HMENU menu, UINT position)
{
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

TEST(HostWindow, MenusComeFromTheInstallerAndShowTheDocumentsState)
{
    DocFixture f;
    HWND frame = MakeFrame();
    {
        VireoHost::HostWindow window(frame, OnlineEvents::Doc::DocumentGroup(), {});
        window.SetDocument(f.host, f.unit);
        HMENU bar = GetMenu(frame);
        ASSERT_EQ(GetMenuItemCount(bar), 2);
        EXPECT_EQ(MenuText(bar, 0), L"&File");
        EXPECT_EQ(MenuText(bar, 1), L"Setup");
        HMENU setup = GetSubMenu(bar, 1);
        EXPECT_EQ(MenuText(setup, 0), L"Vireo...");
        const UINT id = window.MenuId(L"Setup", L"Vireo...");
        ASSERT_NE(id, 0u);

        SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(setup), 1);
        EXPECT_EQ(GetMenuState(setup, id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), 0u);
        f.Apply(SettingsText(1, 0, {{1, true, {}}}));
        f.TakeCalls();
        SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(setup), 1);
        EXPECT_EQ(GetMenuState(setup, id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), static_cast<UINT>(MF_CHECKED));
    }
    DestroyWindow(frame);
}

TEST(HostWindow, ChoosingTheSetupItemOpensTheDialogAndLogsTheUnitCalls)
{
    DocFixture f;
    HWND frame = MakeFrame();
    {
        VireoHost::HostWindow window(frame, OnlineEvents::Doc::DocumentGroup(), {});
        window.SetDocument(f.host, f.unit);
        VireoHost::ScriptAction ok;
        ok.kind = VireoHost::ActionKind::Ok;
        VireoHost::ScriptRunner runner(nullptr, {ok}, L"", [](const std::wstring&) {});
        runner.Start();
        VireoHost::DialogWatch watch;
        SendMessageW(frame, WM_COMMAND, window.MenuId(L"Setup", L"Vireo..."), 0);
        runner.Stop();
        EXPECT_EQ(watch.Opened(), 1);
        EXPECT_EQ(watch.Result(), 1);
        const int length = GetWindowTextLengthW(window.LogPane());
        std::wstring log(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(window.LogPane(), &log[0], length + 1);
        EXPECT_NE(log.find(L"Menu: Setup > Vireo..."), std::wstring::npos);
        EXPECT_NE(log.find(L"SetOutput "), std::wstring::npos);
        EXPECT_NE(log.find(L"SwitchOff"), std::wstring::npos);
        EXPECT_TRUE(f.unit->Calls().empty()) << "the window took the calls into its log";
    }
    DestroyWindow(frame);
}

} // namespace
