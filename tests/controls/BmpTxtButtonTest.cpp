// The help button driven as a user's pointer and keys drive it: hint timing, press and
// release, toggling, cancelling, and what it leaves behind.

#include "ButtonDriver.h"
#include "PixelCanvas.h"

#include "controls/PopupPlacement.h"
#include "resources/resource.h"

#include <uxtheme.h>

using VireoTest::ButtonTest;
using VireoTest::PixelCanvas;

namespace {

constexpr UINT Hot = 0x0200;

using HintTest = ButtonTest;
using PressTest = ButtonTest;

} // namespace

TEST_F(HintTest, ShowsAfterHalfASecondBelowAndLeftOfTheCursor)
{
    SetCursorPos(400, 300);
    Move(5, 5);
    EXPECT_TRUE(State() & Hot);
    EXPECT_EQ(nullptr, HintWindow()) << "not before the first tick";
    Tick();
    const HWND hint = HintWindow();
    ASSERT_NE(nullptr, hint);
    EXPECT_EQ(L"Get dialog help", TextOf(hint));
    EXPECT_TRUE(IsWindowVisible(hint));
    RECT rect{};
    GetWindowRect(hint, &rect);
    // The cursor moved by -3, +19, and the pop-up's own 2 by 2 below that.
    EXPECT_EQ(399, rect.left);
    EXPECT_EQ(321, rect.top);
    const LONG style = GetWindowLongW(hint, GWL_STYLE);
    EXPECT_EQ(WS_POPUP | WS_DISABLED | WS_BORDER, style & (WS_POPUP | WS_DISABLED | WS_BORDER | WS_CHILD));
    EXPECT_NE(hint, GetActiveWindow());
    Tick(3);
    EXPECT_EQ(hint, HintWindow()) << "made once";
}

TEST_F(HintTest, GoesAfterFiveSecondsAndStaysAwayUntilTheMouseComesBack)
{
    Move(5, 5);
    Tick(10);
    EXPECT_NE(nullptr, HintWindow()) << "at 5000 ms";
    Tick();
    EXPECT_EQ(nullptr, HintWindow());
    EXPECT_FALSE(KillTimer(Button(), 1)) << "the timer stopped";
    Move(6, 6);
    EXPECT_FALSE(KillTimer(Button(), 1)) << "not started again";
    Tick(2);
    EXPECT_EQ(nullptr, HintWindow());
    Send(WM_MOUSELEAVE);
    Move(5, 5);
    Tick();
    EXPECT_NE(nullptr, HintWindow());
}

TEST_F(HintTest, LeavingClosesItAndEndsTheHotState)
{
    Move(5, 5);
    Tick();
    ASSERT_NE(nullptr, HintWindow());
    Send(WM_MOUSELEAVE);
    EXPECT_TRUE(HintWindows().empty());
    EXPECT_FALSE(State() & Hot);
    EXPECT_FALSE(KillTimer(Button(), 1));
}

TEST_F(HintTest, AnyClickOrKeyClosesIt)
{
    const UINT closers[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_KEYDOWN};
    for (UINT msg : closers) {
        Send(WM_MOUSELEAVE);
        Move(5, 5);
        Tick();
        ASSERT_NE(nullptr, HintWindow()) << std::hex << msg;
        Send(msg, msg == WM_KEYDOWN ? 'A' : 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(HintWindows().empty()) << std::hex << msg;
        Send(WM_CANCELMODE);
    }
}

TEST_F(HintTest, DoesNotComeBackAfterAClickUntilTheMouseHasLeft)
{
    Move(5, 5);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Move(6, 6);
    Tick(3);
    EXPECT_EQ(nullptr, HintWindow());
    Send(WM_MOUSELEAVE);
    Move(5, 5);
    Tick();
    EXPECT_NE(nullptr, HintWindow());
}

TEST_F(HintTest, StaysOnTheWorkAreaNearTheRightAndBottomEdges)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        POINT cursor;
        bool right, bottom;
    } cases[] = {{{work.right - 5, 300}, true, false},
                 {{400, work.bottom - 30}, false, true},
                 {{work.right - 5, work.bottom - 30}, true, true}};
    for (const Case& c : cases) {
        SetCursorPos(c.cursor.x, c.cursor.y);
        Send(WM_MOUSELEAVE);
        Move(5, 5);
        Tick();
        const HWND hint = HintWindow();
        ASSERT_NE(nullptr, hint);
        RECT rect{};
        GetWindowRect(hint, &rect);
        const int height = rect.bottom - rect.top;
        EXPECT_EQ(c.right ? work.right - 10 : c.cursor.x - 1, c.right ? rect.right : rect.left);
        EXPECT_EQ(c.bottom ? c.cursor.y + 21 - height - 3 : c.cursor.y + 21, rect.top);
        EXPECT_LE(rect.bottom, work.bottom);
    }
    // So close to the bottom that even above the anchor it would hang over.
    SetCursorPos(400, work.bottom - 5);
    Send(WM_MOUSELEAVE);
    Move(5, 5);
    Tick();
    RECT rect{};
    GetWindowRect(HintWindow(), &rect);
    EXPECT_EQ(work.bottom, rect.bottom);
}

TEST_F(HintTest, DeletingTheButtonKillsTheTimerAndThePopup)
{
    Move(5, 5);
    Tick();
    const HWND hint = HintWindow();
    ASSERT_NE(nullptr, hint);
    DeleteObject();
    EXPECT_FALSE(IsWindow(hint));
    EXPECT_FALSE(KillTimer(Button(), 1)) << "the bound window lives on without the timer";
}

TEST_F(HintTest, DestroyingTheButtonWindowClosesThePopup)
{
    Move(5, 5);
    Tick();
    const HWND hint = HintWindow();
    ASSERT_NE(nullptr, hint);
    DestroyWindow(Button());
    EXPECT_FALSE(IsWindow(hint));
    EXPECT_EQ(nullptr, Object().GetHintWindow());
}

TEST_F(HintTest, PopupIsPaleYellowWithBlackText)
{
    Move(5, 5);
    Tick();
    const HWND hint = HintWindow();
    ASSERT_NE(nullptr, hint);
    RECT client{};
    GetClientRect(hint, &client);
    PixelCanvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    SendMessageW(hint, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(RGB(255, 255, 225), canvas.At(0, 0));
    const RECT text = canvas.BoundsOf(RGB(0, 0, 0));
    EXPECT_GE(text.left, 1) << "one pixel in";
    EXPECT_GT(text.right - text.left, 20);
}

TEST_F(PressTest, PressCapturesAndReleaseInsideClicks)
{
    Move(5, 5);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Button(), GetCapture());
    EXPECT_TRUE(State() & BST_PUSHED);
    EXPECT_EQ(Button(), GetFocus());
    Move(-20, 5);
    EXPECT_FALSE(State() & BST_PUSHED) << "out of the rectangle";
    Move(5, 5);
    EXPECT_TRUE(State() & BST_PUSHED) << "back in";
    Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(State() & BST_PUSHED);
    ASSERT_EQ(1u, Commands().size());
    EXPECT_EQ(IDC_HELP_BUTTON, Commands()[0].first);
    EXPECT_EQ(BN_CLICKED, Commands()[0].second);
}

TEST_F(PressTest, ReleaseOutsideDoesNotClick)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Move(100, 5);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(State() & BST_PUSHED);
}

TEST_F(PressTest, KeyboardAndBmClickClickToo)
{
    Send(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(State() & BST_PUSHED);
    Send(WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(State() & BST_PUSHED);
    static_cast<TButton&>(Object()).Click();
    EXPECT_EQ(2u, Commands().size());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(PressTest, ToggleModeStaysPushedUntilTheSecondClick)
{
    Object().SetToggleMode(1);
    for (bool expected : {true, false}) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(expected, Object().GetToggleState());
        EXPECT_EQ(expected, (State() & BST_PUSHED) != 0);
        Send(WM_CANCELMODE);
        EXPECT_EQ(expected, (State() & BST_PUSHED) != 0) << "cancel keeps the toggled push";
    }
    // Released outside: no click, no change.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Move(100, 5);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_FALSE(Object().GetToggleState());
    EXPECT_FALSE(State() & BST_PUSHED);
    EXPECT_EQ(2u, Commands().size());
}

TEST_F(PressTest, CancelModeFocusLossAndDisablingEndThePress)
{
    const auto lose = [this](int which) {
        if (which == 0)
            Send(WM_CANCELMODE);
        else if (which == 1)
            SetFocus(GetParent(Button()));
        else
            EnableWindow(Button(), FALSE);
    };
    for (int which = 0; which < 3; ++which) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ASSERT_TRUE(State() & BST_PUSHED);
        lose(which);
        EXPECT_EQ(nullptr, GetCapture()) << which;
        EXPECT_FALSE(State() & BST_PUSHED) << which;
        Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(Commands().empty()) << which;
    }
    EXPECT_FALSE(IsWindowEnabled(Button()));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(State() & BST_PUSHED) << "a disabled button does not push";
    EnableWindow(Button(), TRUE);
    EXPECT_TRUE(IsWindowEnabled(Button()));
}

TEST_F(PressTest, TabKeyUpDropsTheDefaultLookButStaysTheDefaultForEnter)
{
    static_cast<TButton&>(Object()).SetButtonStyle(BS_DEFPUSHBUTTON);
    EXPECT_TRUE(Send(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    SetFocus(Button());
    PixelCanvas before(60, 24, 0), after(60, 24, 0);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(before.Dc()), PRF_CLIENT);
    Send(WM_KEYUP, VK_TAB, 0);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(after.Dc()), PRF_CLIENT);
    EXPECT_TRUE(Send(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    EXPECT_FALSE(before.SameAs(after)) << "focus rectangle, no default frame";
}

TEST_F(PressTest, ThemeChangedWithThemesOffRedrawsClassic)
{
    if (!QLX::ThemeLibrary::Instance().IsAppThemed())
        GTEST_SKIP() << "no visual styles here";
    EXPECT_FALSE(Object().IsClassic());
    PixelCanvas themed(60, 24, 0), classic(60, 24, 0);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(themed.Dc()), PRF_CLIENT);
    SetWindowTheme(Button(), L" ", L" ");
    Send(WM_THEMECHANGED);
    EXPECT_TRUE(Object().IsClassic());
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(classic.Dc()), PRF_CLIENT);
    EXPECT_FALSE(themed.SameAs(classic));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), classic.At(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), classic.At(59, 23));
}

TEST_F(PressTest, HelpGlyphIsDrawnOnTheFace)
{
    ASSERT_TRUE(Object().SetGlyph(GetModuleHandleW(nullptr), IDB_HELP_GLYPH));
    PixelCanvas canvas(60, 24, 0);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    // The disc's rim colour spans the whole 15 by 15 picture, centred on the face.
    const RECT rim = canvas.BoundsOf(RGB(16, 32, 120));
    EXPECT_EQ(22, rim.left);
    EXPECT_EQ(5, rim.top);
    EXPECT_EQ(37, rim.right);
    EXPECT_EQ(20, rim.bottom);
    const RECT inside{3, 3, 57, 21};
    EXPECT_EQ(0, canvas.BoundsOf(RGB(192, 192, 192), &inside).right) << "light grey is transparent";
}
