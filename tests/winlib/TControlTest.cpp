// The control classes read and write the real controls: every value checked here is
// read back from the control with its own message.

#include "WinlibTestIds.h"
#include "support/WindowDriver.h"

#include "winlib/TControl.h"
#include "winlib/TDialog.h"
#include "winlib/TEdit.h"
#include "winlib/TFont.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

TModule& TestModule()
{
    static TModule module(nullptr, GetModuleHandleW(nullptr), false);
    return module;
}

class Controls : public TDialog {
public:
    Controls()
        : TDialog(static_cast<TWindow*>(nullptr), IDD_WL_CONTROLS, &TestModule()), tab(this, IDC_WL_TAB),
          check(this, IDC_WL_CHECK), combo(this, IDC_WL_COMBO), edit(this, IDC_WL_EDIT, 6), slider(this, IDC_WL_SLIDER),
          updown(this, IDC_WL_UPDOWN), ok(this, IDOK)
    {
        Create();
    }
    TTabControl tab;
    TCheckBox check;
    TComboBox combo;
    TEdit edit;
    TSlider slider;
    TUpDown updown;
    TButton ok;
};

} // namespace

TEST(TTabControl, AddsReadsAndRewritesLabelsAndSelection)
{
    Controls d;
    EXPECT_EQ(0, d.tab.Add(L"Analog Output 1"));
    EXPECT_EQ(1, d.tab.Add(L"Digital Output 1"));
    EXPECT_TRUE(d.tab.SetItemText(1, L"Digital Output 1 \x2022"));
    EXPECT_EQ(2, static_cast<int>(SendMessageW(d.tab.GetHandle(), TCM_GETITEMCOUNT, 0, 0)));
    EXPECT_EQ(L"Digital Output 1 \x2022", d.tab.GetItemText(1));
    EXPECT_EQ(L"Digi", d.tab.GetItemText(1, 4)); // read with room for four characters
    d.tab.SetSel(1);
    EXPECT_EQ(1, static_cast<int>(SendMessageW(d.tab.GetHandle(), TCM_GETCURSEL, 0, 0)));
    EXPECT_EQ(1, d.tab.GetSel());
    d.tab.SetMinTabWidth(0);
    EXPECT_EQ(0, d.tab.SetMinTabWidth(5));
}

TEST(TCheckBox, FollowsClicksAndSetCheck)
{
    Controls d;
    EXPECT_FALSE(d.check.IsChecked());
    SendMessageW(d.check.GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(d.check.IsChecked());
    d.check.Uncheck();
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(d.check.GetHandle(), BM_GETCHECK, 0, 0));
    d.check.Toggle();
    EXPECT_EQ(BST_CHECKED, SendMessageW(d.check.GetHandle(), BM_GETCHECK, 0, 0));
}

TEST(TButton, LosesTheDefaultStyle)
{
    Controls d;
    EXPECT_TRUE(d.ok.IsDefault());
    d.ok.SetButtonStyle(BS_PUSHBUTTON);
    EXPECT_FALSE(d.ok.IsDefault());
}

TEST(TComboBox, ListsSelectsAndClears)
{
    Controls d;
    EXPECT_EQ(-1, d.combo.GetSelIndex());
    d.combo.AddString(L"above");
    d.combo.AddString(L"below");
    d.combo.SetSelIndex(1);
    EXPECT_EQ(1, static_cast<int>(SendMessageW(d.combo.GetHandle(), CB_GETCURSEL, 0, 0)));
    EXPECT_EQ(L"below", d.combo.GetString(1));
    EXPECT_EQ(L"", d.combo.GetString(7));
    d.combo.ClearList();
    EXPECT_EQ(0, d.combo.GetCount());
}

TEST(TSlider, TakesNegativeRangesPositionAndPageSize)
{
    Controls d;
    d.slider.SetRange(-100, 100);
    d.slider.SetRuler(10, false);
    d.slider.SetPageSize(10);
    d.slider.SetPosition(-33);
    EXPECT_EQ(-100, static_cast<int>(SendMessageW(d.slider.GetHandle(), TBM_GETRANGEMIN, 0, 0)));
    EXPECT_EQ(100, static_cast<int>(SendMessageW(d.slider.GetHandle(), TBM_GETRANGEMAX, 0, 0)));
    EXPECT_EQ(-33, static_cast<int>(SendMessageW(d.slider.GetHandle(), TBM_GETPOS, 0, 0)));
    EXPECT_EQ(10, d.slider.GetPageSize());
    d.slider.SetPosition(250); // the control holds it inside its range
    EXPECT_EQ(100, d.slider.GetPosition());
}

TEST(TSlider, SnapsToTicksOnlyWhenAsked)
{
    for (bool snap : {false, true}) {
        Controls d;
        d.slider.SetRange(-100, 100);
        d.slider.SetRuler(10, snap);
        d.slider.SetPosition(37);
        SendMessageW(d.GetHandle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 37),
                     reinterpret_cast<LPARAM>(d.slider.GetHandle()));
        EXPECT_EQ(snap ? 40 : 37, d.slider.GetPosition()) << snap;
    }
}

TEST(TUpDown, KeepsRangePositionAndBuddy)
{
    Controls d;
    d.updown.SetRange(-100, 100);
    d.updown.SetBuddy(d.edit.GetHandle());
    d.updown.SetPos(-42);
    int lower = 0, upper = 0;
    d.updown.GetRange(lower, upper);
    EXPECT_EQ(-100, lower);
    EXPECT_EQ(100, upper);
    EXPECT_EQ(-42, static_cast<int>(SendMessageW(d.updown.GetHandle(), UDM_GETPOS32, 0, 0)));
    EXPECT_EQ(d.edit.GetHandle(), d.updown.GetBuddy());
}

TEST(TEdit, LimitsItsTextAndRefusesCharactersItsValidatorRefuses)
{
    Controls d;
    EXPECT_EQ(6u, static_cast<UINT>(SendMessageW(d.edit.GetHandle(), EM_GETLIMITTEXT, 0, 0)));
    d.edit.SetValidator(new TRangeValidator(0, 95));
    VireoTest::Type(d.edit.GetHandle(), L"9x-5");
    EXPECT_EQ(L"95", d.edit.GetWindowText());
    SendMessageW(d.edit.GetHandle(), WM_CHAR, VK_BACK, 1); // control keys are not filtered
    EXPECT_EQ(L"9", d.edit.GetWindowText());
    d.edit.SetValidator(nullptr);
    VireoTest::Type(d.edit.GetHandle(), L"x");
    EXPECT_EQ(L"9x", d.edit.GetWindowText());
}

TEST(TWindowGeometry, ShowEnableTextAndMove)
{
    Controls d;
    d.edit.EnableWindow(false);
    EXPECT_FALSE(IsWindowEnabled(d.edit.GetHandle()));
    d.edit.ShowWindow(SW_HIDE);
    EXPECT_FALSE(GetWindowLongPtrW(d.edit.GetHandle(), GWL_STYLE) & WS_VISIBLE);
    d.edit.SetWindowText(L"12.5");
    EXPECT_EQ(L"12.5", d.edit.GetWindowText());
    d.edit.MoveWindow(3, 4, 50, 20);
    RECT r = d.edit.GetWindowRect();
    d.ScreenToClient(r);
    EXPECT_EQ(3, r.left);
    EXPECT_EQ(4, r.top);
    EXPECT_EQ(53, r.right);
    EXPECT_EQ(24, r.bottom);
}

namespace {
HWND g_watched = nullptr;
int g_counts[3]; // WM_SETTEXT, WM_ENABLE, WM_CANCELMODE

LRESULT CALLBACK CountMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && message->hwnd == g_watched) {
        const UINT counted[] = {WM_SETTEXT, WM_ENABLE, WM_CANCELMODE};
        for (int i = 0; i < 3; ++i)
            g_counts[i] += message->message == counted[i] ? 1 : 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

TEST(TWindowChanges, SameTextOrEnablingSendsTheControlNothing)
{
    Controls d;
    g_watched = d.edit.GetHandle();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountMessages, nullptr, GetCurrentThreadId());
    d.edit.SetWindowTextIfChanged(L"7");
    d.edit.SetWindowTextIfChanged(L"7");
    d.edit.SetWindowTextIfChanged(L"");
    SetWindowTextIfChanged(d.edit.GetHandle(), nullptr);
    d.edit.EnableWindow(false);
    d.edit.EnableWindow(false);
    d.edit.EnableWindow(true);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(2, g_counts[0]);
    EXPECT_EQ(2, g_counts[1]);
    EXPECT_EQ(1, g_counts[2]);
    EXPECT_TRUE(IsWindowEnabled(d.edit.GetHandle()));
}

TEST(TGadgetWindowFont, IsTheMessageFontAtTheAskedSize)
{
    TGadgetWindowFont normal;
    TGadgetWindowFont big(20, true);
    ASSERT_NE(nullptr, normal.GetHandle());
    EXPECT_GT(big.GetHeight(), normal.GetHeight());
    EXPECT_EQ(FW_BOLD, big.GetObject().lfWeight);
}

TEST(TModule, FindsResourcesByLanguageWithFallbackAndIsFoundByHandle)
{
    TModule& module = TestModule();
    {
        TModule loaded(L"comdlg32.dll", nullptr, true);
        ASSERT_NE(nullptr, loaded.GetHandle());
        EXPECT_EQ(&loaded, TModule::FindModule(loaded.GetHandle()));
        EXPECT_EQ(L"comdlg32.dll", loaded.GetName());
    }
    EXPECT_EQ(nullptr, TModule::FindModule(GetModuleHandleW(L"comdlg32.dll")));
    const LANGID german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    HRSRC germanOne = module.FindResource(MAKEINTRESOURCEW(IDD_WL_CONTROLS), RT_DIALOG, german);
    HRSRC englishOne = module.FindResource(MAKEINTRESOURCEW(IDD_WL_CONTROLS), RT_DIALOG, english);
    ASSERT_NE(nullptr, germanOne);
    ASSERT_NE(nullptr, englishOne);
    EXPECT_NE(germanOne, englishOne);
    EXPECT_NE(nullptr, module.FindResource(MAKEINTRESOURCEW(IDD_WL_FRENCH_ONLY), RT_DIALOG, german));
    EXPECT_EQ(nullptr, module.FindResource(MAKEINTRESOURCEW(3999), RT_DIALOG, german));
}
