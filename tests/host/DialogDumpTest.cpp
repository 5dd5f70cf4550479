// The dump of a dialog: controls named by pane, their kinds, states and values, and
// the hint pop-up over it.

#include "DialogDump.h"
#include "hostapi/OnlineEvents.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

HWND Child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id)
{
    return CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 80, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

TEST(DialogDump, DumpNamesPanesKindsStatesAndTheHint)
{
    HWND dialog = CreateWindowExW(0, L"#32770", L"Vireo - Unit", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 300,
                                  200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    Child(dialog, L"Button", L"OK", BS_DEFPUSHBUTTON, 1);
    HWND pane = Child(dialog, L"#32770", L"", 0, 300);
    SetPropW(pane, OnlineEventsContract::PaneProperty,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(OnlineEventsContract::OnOffPaneValue)));
    HWND check = Child(pane, L"Button", L"Generate", BS_AUTOCHECKBOX, 216);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    HWND list = Child(pane, L"ComboBox", L"", CBS_DROPDOWNLIST, 206);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"all"));
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"any"));
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    EnableWindow(Child(pane, L"Edit", L"1.5", 0, 207), FALSE);
    HWND rule = Child(dialog, L"#32770", L"", 0, 301);
    SetPropW(rule, OnlineEventsContract::PaneProperty,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(OnlineEventsContract::FirstRulePaneValue + 1)));
    ShowWindow(rule, SW_HIDE);
    HWND slider = Child(rule, TRACKBAR_CLASSW, L"", 0, 205);
    SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(slider, TBM_SETPOS, TRUE, 40);

    EXPECT_EQ(VireoHost::FindPane(dialog, VireoHost::Pane::OnOff), pane);
    EXPECT_EQ(VireoHost::FindControl(dialog, VireoHost::Pane::Rule1, 205), slider);
    EXPECT_EQ(VireoHost::FindPane(dialog, VireoHost::Pane::Rule0), nullptr);
    SetFocus(list);
    std::vector<std::wstring> lines = VireoHost::DumpDialog(dialog);
    const std::vector<std::wstring> expected = {
        L"caption: Vireo - Unit",
        L"size: 300 200",
        L"dialog 1 button enabled shown \"OK\" -",
        L"onoff 216 check enabled shown \"Generate\" 1",
        L"onoff 206 list enabled shown \"any\" 1",
        L"onoff 207 edit disabled shown \"1.5\" -",
        L"rule1 205 slider enabled hidden \"\" 40",
        L"hint: none",
        L"focus: onoff 206",
    };
    EXPECT_EQ(lines, expected);

    HWND hint = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"Get dialog help", WS_POPUP | WS_DISABLED | WS_BORDER,
                                120, 90, 90, 16, dialog, nullptr, nullptr, nullptr);
    ShowWindow(hint, SW_SHOWNOACTIVATE);
    lines = VireoHost::DumpDialog(dialog);
    EXPECT_EQ(lines[lines.size() - 2], L"hint: \"Get dialog help\" 120 90");
    DestroyWindow(hint);
    DestroyWindow(dialog);
}

} // namespace
