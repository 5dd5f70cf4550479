// Dialogs made from templates: language choice, set-up order, response tables, modal
// end codes and handlers that throw. Driven by the messages a user's actions send.

#include "WinlibTestIds.h"
#include "support/WindowDriver.h"

#include "winlib/TControl.h"
#include "winlib/TDialog.h"
#include "winlib/TEdit.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using VireoTest::RunModal;

TModule& TestModule()
{
    static TModule module(nullptr, GetModuleHandleW(nullptr), false);
    return module;
}

std::vector<std::string> g_order;

// A label that notes when it is set up.
class NotingStatic : public TStatic {
public:
    using TStatic::TStatic;
    void SetupWindow() override
    {
        TStatic::SetupWindow();
        g_order.push_back("label " + std::to_string(GetWindowTextLength()));
    }
};

class ControlsDialog : public TDialog {
public:
    explicit ControlsDialog(LANGID language = 0)
        : TDialog(static_cast<TWindow*>(nullptr), IDD_WL_CONTROLS, &TestModule(), language), tab(this, IDC_WL_TAB),
          label(this, IDC_WL_LABEL), button(this, IDC_WL_BUTTON), check(this, IDC_WL_CHECK), combo(this, IDC_WL_COMBO),
          edit(this, IDC_WL_EDIT, 5), slider(this, IDC_WL_SLIDER), updown(this, IDC_WL_UPDOWN)
    {}

    TTabControl tab;
    NotingStatic label;
    TButton button;
    TCheckBox check;
    TComboBox combo;
    TEdit edit;
    TSlider slider;
    TUpDown updown;

    int presses = 0;
    int comboChanges = 0;
    int tabChanges = 0;
    bool refuseClose = false;
    bool throwOnPress = false;

    bool CanClose() override { return !refuseClose && TDialog::CanClose(); }

protected:
    void SetupWindow() override
    {
        g_order.push_back("dialog");
        TDialog::SetupWindow();
        g_order.push_back("dialog after children");
        tab.Add(L"First");
        tab.Add(L"Second");
    }

    void CmPress()
    {
        ++presses;
        if (throwOnPress)
            throw std::runtime_error("press failed");
    }
    void ComboChanged() { ++comboChanges; }
    LRESULT TabChanged(NMHDR&)
    {
        ++tabChanges;
        return 0;
    }
    // Answers handled, so the control does not move by itself.
    LRESULT UpDownRequest(NMHDR& header)
    {
        const auto& request = reinterpret_cast<NMUPDOWN&>(header);
        updown.SetPos(request.iPos + 10 * request.iDelta);
        return 1;
    }

    DECLARE_RESPONSE_TABLE(ControlsDialog)
};

DEFINE_RESPONSE_TABLE(ControlsDialog, TDialog, EV_COMMAND(IDC_WL_BUTTON, CmPress),
                      EV_CHILD_NOTIFY(IDC_WL_COMBO, CBN_SELCHANGE, ComboChanged),
                      EV_NOTIFY(IDC_WL_TAB, TCN_SELCHANGE, TabChanged),
                      EV_NOTIFY(IDC_WL_UPDOWN, UDN_DELTAPOS, UpDownRequest))

std::wstring Caption(HWND window)
{
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

} // namespace

TEST(TDialogModal, OkClosesWithOneAndCancelAndCloseBoxWithTwo)
{
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wParam;
        int expected;
    };
    for (const Case& c : {Case{"ok", WM_COMMAND, IDOK, 1}, Case{"cancel", WM_COMMAND, IDCANCEL, 2},
                          Case{"close box", WM_SYSCOMMAND, SC_CLOSE, 2}, Case{"close", WM_CLOSE, 0, 2}}) {
        ControlsDialog dialog;
        const int code = RunModal([&] { return dialog.Execute(); },
                                  [&](HWND) { SendMessageW(dialog.GetHandle(), c.msg, c.wParam, 0); });
        EXPECT_EQ(c.expected, code) << c.name;
        EXPECT_EQ(nullptr, dialog.GetHandle()) << c.name;
    }
}

TEST(TDialogModal, RefusedCanCloseKeepsTheDialogOpenOnOk)
{
    ControlsDialog dialog;
    dialog.refuseClose = true;
    bool openAfterOk = false;
    const int code = RunModal([&] { return dialog.Execute(); },
                              [&](HWND) {
                                  SendMessageW(GetDlgItem(dialog.GetHandle(), IDOK), BM_CLICK, 0, 0);
                                  openAfterOk = IsWindow(dialog.GetHandle()) != FALSE;
                                  SendMessageW(GetDlgItem(dialog.GetHandle(), IDCANCEL), BM_CLICK, 0, 0);
                              });
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(IDCANCEL, code);
}

TEST(TDialogModal, RunsAgainWithChildrenBoundAfresh)
{
    ControlsDialog dialog;
    for (int run = 0; run < 2; ++run) {
        int tabs = -1;
        RunModal([&] { return dialog.Execute(); },
                 [&](HWND) {
                     tabs = dialog.tab.GetCount();
                     dialog.CmOk();
                 });
        EXPECT_EQ(2, tabs) << run;
    }
}

TEST(TDialogTemplate, ComesInTheChosenLanguageElseInAnyLanguage)
{
    struct Case {
        int id;
        LANGID language;
        const wchar_t* caption;
    };
    for (const Case& c : {Case{IDD_WL_CONTROLS, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Steuerelemente"},
                          Case{IDD_WL_CONTROLS, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"Controls"},
                          Case{IDD_WL_FRENCH_ONLY, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Seulement"}}) {
        TDialog dialog(static_cast<TWindow*>(nullptr), c.id, &TestModule(), c.language);
        dialog.Create();
        EXPECT_EQ(c.caption, Caption(dialog.GetHandle())) << c.id << " " << c.language;
    }
}

TEST(TDialogTemplate, MissingTemplateThrowsInsteadOfRunning)
{
    TDialog dialog(static_cast<TWindow*>(nullptr), 3999, &TestModule());
    EXPECT_THROW(dialog.Execute(), TXWindow);
}

TEST(TWindowSetup, ChildrenAreBoundAndSetUpBeforeTheParentGoesOnOnce)
{
    g_order.clear();
    ControlsDialog dialog;
    dialog.Create();
    EXPECT_EQ((std::vector<std::string>{"dialog", "label 5", "dialog after children"}), g_order);
    EXPECT_EQ(GetDlgItem(dialog.GetHandle(), IDC_WL_EDIT), dialog.edit.GetHandle());
    EXPECT_EQ(&dialog.edit, TWindow::FromHandle(dialog.edit.GetHandle()));
    dialog.Create();
    EXPECT_EQ(3u, g_order.size());
}

TEST(TResponseTable, CommandsAndNotificationsReachTheirMembers)
{
    ControlsDialog dialog;
    dialog.Create();
    dialog.button.Click();
    dialog.combo.AddString(L"a");
    VireoTest::NotifyParent(dialog.combo.GetHandle(), CBN_SELCHANGE);
    VireoTest::NotifyParent(dialog.combo.GetHandle(), CBN_DROPDOWN); // another code: not ours
    VireoTest::NotifyParentNm(dialog.tab.GetHandle(), TCN_SELCHANGE);
    EXPECT_EQ(1, dialog.presses);
    EXPECT_EQ(1, dialog.comboChanges);
    EXPECT_EQ(1, dialog.tabChanges);
}

TEST(TResponseTable, HandledPositionRequestKeepsTheUpDownFromMovingItself)
{
    ControlsDialog dialog;
    dialog.Create();
    dialog.updown.SetRange(-100, 100);
    dialog.updown.SetPos(5);
    NMUPDOWN request{{dialog.updown.GetHandle(), IDC_WL_UPDOWN, UDN_DELTAPOS}, 5, 1};
    const LRESULT answer =
        SendMessageW(dialog.GetHandle(), WM_NOTIFY, IDC_WL_UPDOWN, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(1, answer);
    EXPECT_EQ(15, dialog.updown.GetPos());
}

TEST(TWindowDispatch, ExceptionInAHandlerIsLoggedAndDoesNotEscape)
{
    ControlsDialog dialog;
    dialog.Create();
    dialog.throwOnPress = true;
    VireoTest::WideErrorCapture log;
    dialog.button.Click();
    dialog.button.Click();
    EXPECT_EQ(2, dialog.presses);
    EXPECT_NE(std::wstring::npos, log.Text().find(L"QLXBOOTLOG: TWindow: message 0x0111: press failed")) << log.Text();
    // The window still answers afterwards.
    dialog.throwOnPress = false;
    dialog.button.Click();
    EXPECT_EQ(3, dialog.presses);
}

namespace {

class ThrowingSetupDialog : public TDialog {
public:
    ThrowingSetupDialog() : TDialog(static_cast<TWindow*>(nullptr), IDD_WL_CONTROLS, &TestModule()) {}

protected:
    void SetupWindow() override
    {
        TDialog::SetupWindow();
        throw std::logic_error("setup failed");
    }
};

// A pane (child dialog) created by its parent's set-up, with a bound check box.
class Pane : public TDialog {
public:
    explicit Pane(TWindow* parent) : TDialog(parent, IDD_WL_PANE, &TestModule()), check(this, IDC_WL_PANE_CHECK) {}
    TCheckBox check;
};

class DialogWithPane : public TDialog {
public:
    DialogWithPane()
        : TDialog(static_cast<TWindow*>(nullptr), IDD_WL_CONTROLS, &TestModule()), place(this, IDC_WL_PLACE), pane(this)
    {}
    TStatic place;
    Pane pane;
    RECT placeInClient{};

protected:
    void SetupWindow() override
    {
        TDialog::SetupWindow();
        placeInClient = place.GetWindowRect();
        ScreenToClient(placeInClient);
        pane.MoveWindow(placeInClient);
        pane.BringToTop();
    }
};

} // namespace

TEST(TWindowDispatch, ExceptionInSetupIsLoggedAndTheDialogStillRuns)
{
    VireoTest::WideErrorCapture log;
    ThrowingSetupDialog dialog;
    const int code = RunModal([&] { return dialog.Execute(); }, [&](HWND) { dialog.CmCancel(); });
    EXPECT_EQ(IDCANCEL, code);
    EXPECT_NE(std::wstring::npos, log.Text().find(L"QLXBOOTLOG: TWindow: setup: setup failed")) << log.Text();
}

TEST(TDialogPane, ChildDialogIsCreatedInsideItsParentAndMovedOntoAPlaceholder)
{
    DialogWithPane dialog;
    dialog.Create();
    ASSERT_NE(nullptr, dialog.pane.GetHandle());
    EXPECT_EQ(dialog.GetHandle(), GetParent(dialog.pane.GetHandle()));
    RECT paneRect = dialog.pane.GetWindowRect();
    dialog.ScreenToClient(paneRect);
    EXPECT_EQ(dialog.placeInClient.left, paneRect.left);
    EXPECT_EQ(dialog.placeInClient.top, paneRect.top);
    EXPECT_EQ(dialog.placeInClient.right, paneRect.right);
    EXPECT_GT(paneRect.right - paneRect.left, 0);
    EXPECT_EQ(dialog.pane.GetHandle(), GetWindow(dialog.GetHandle(), GW_CHILD)); // top of the z-order
    // The pane's own template item is bound.
    SendMessageW(dialog.pane.check.GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.pane.check.IsChecked());
}

namespace {

// Answers one private message; everything else is the attached window's own business.
class Answering : public TWindow {
public:
    explicit Answering(HWND handle) : TWindow(handle) {}

protected:
    LRESULT Answer(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam * 2); }

    DECLARE_RESPONSE_TABLE(Answering)
};

DEFINE_RESPONSE_TABLE(Answering, TWindow, EV_MESSAGE(WM_APP + 1, Answer))

} // namespace

TEST(TWindowAttach, ExistingWindowAnswersThroughTheTableAndGetsItsProcedureBack)
{
    const HWND edit = CreateWindowExW(0, L"EDIT", L"text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    const LONG_PTR before = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        Answering object(edit);
        EXPECT_EQ(&object, TWindow::FromHandle(edit));
        EXPECT_EQ(42, SendMessageW(edit, WM_APP + 1, 21, 0));
        EXPECT_EQ(L"text", object.GetWindowText()); // WM_GETTEXT: the edit's own answer
    }
    EXPECT_EQ(before, GetWindowLongPtrW(edit, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, TWindow::FromHandle(edit));
    EXPECT_TRUE(IsWindow(edit)); // attached, not owned
    DestroyWindow(edit);
}
