#include "WindowDriver.h"

#include "winlib/TWindow.h"

#include <iostream>

namespace VireoTest {
namespace {

struct ModalRun {
    std::function<void(HWND)> action;
    UINT_PTR actionTimer = 0;
    UINT_PTR watchdog = 0;
    int watchdogTicks = 0;
};
ModalRun* g_run = nullptr;

BOOL CALLBACK TakeShownEnabled(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The window the user would act on: the active one, or, while another process holds the
// foreground (tests run side by side), this thread's shown and enabled top-level window.
HWND UsersWindow()
{
    const HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active))
        return active;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &TakeShownEnabled, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK RunAction(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_run || !g_run->actionTimer)
        return;
    // A modal dialog is shown once its queue first runs empty; the user acts after that.
    const HWND window = UsersWindow();
    if (!window)
        return;
    KillTimer(nullptr, g_run->actionTimer);
    g_run->actionTimer = 0;
    g_run->action(window);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_run)
        return;
    const HWND active = UsersWindow();
    if (g_run->actionTimer) {
        // The action never ran: no window came up.
        KillTimer(nullptr, g_run->actionTimer);
        g_run->actionTimer = 0;
    }
    if (!active)
        return;
    if (g_run->watchdogTicks++ == 0)
        PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
    else
        EndDialog(active, -2);
}

MessageBoxCatcher* g_catcher = nullptr;

} // namespace

int RunModal(const std::function<int()>& start, const std::function<void(HWND)>& action, UINT timeoutMs)
{
    ModalRun run;
    run.action = action;
    ModalRun* const outer = g_run;
    g_run = &run;
    run.actionTimer = SetTimer(nullptr, 0, 20, &RunAction);
    run.watchdog = SetTimer(nullptr, 0, timeoutMs, &Watchdog);
    int code = -3;
    try {
        code = start();
    } catch (...) {
        KillTimer(nullptr, run.watchdog);
        if (run.actionTimer)
            KillTimer(nullptr, run.actionTimer);
        g_run = outer;
        throw;
    }
    KillTimer(nullptr, run.watchdog);
    if (run.actionTimer)
        KillTimer(nullptr, run.actionTimer);
    g_run = outer;
    return code;
}

void Type(HWND window, const std::wstring& text)
{
    for (wchar_t c : text)
        SendMessageW(window, WM_CHAR, c, 1);
}

LRESULT NotifyParent(HWND child, UINT code)
{
    const int id = GetDlgCtrlID(child);
    return SendMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(child));
}

LRESULT NotifyParentNm(HWND child, UINT code)
{
    NMHDR header{child, static_cast<UINT_PTR>(GetDlgCtrlID(child)), code};
    return SendMessageW(GetParent(child), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

MessageBoxCatcher::MessageBoxCatcher()
    : hook_(SetWindowsHookExW(WH_CBT, &MessageBoxCatcher::Hook, nullptr, GetCurrentThreadId())), outer_(g_catcher)
{
    g_catcher = this;
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    UnhookWindowsHookEx(hook_);
    g_catcher = outer_;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    const HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[32] = {};
    // A message box is a system dialog of this thread that is no window object of the
    // library. Activation also reports other processes' windows here.
    if (g_catcher && code == HCBT_ACTIVATE && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
        !TWindow::FromHandle(window) && GetClassNameW(window, className, 32) && std::wstring(className) == L"#32770") {
        Box box;
        box.window = window;
        box.owner = GetWindow(window, GW_OWNER);
        g_catcher->boxes_.push_back(box);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    } else if (g_catcher && code == HCBT_DESTROYWND) {
        // Caption and text are surely in place once the box has been set up.
        for (Box& box : g_catcher->boxes_) {
            if (box.window != window)
                continue;
            wchar_t text[1024] = {};
            GetWindowTextW(window, text, 1024);
            box.caption = text;
            text[0] = 0;
            GetDlgItemTextW(window, 0xFFFF, text, 1024);
            box.text = text;
            box.window = nullptr;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

WideErrorCapture::WideErrorCapture() : previous_(std::wcerr.rdbuf(&buffer_)) {}

WideErrorCapture::~WideErrorCapture()
{
    std::wcerr.rdbuf(previous_);
}

} // namespace VireoTest
