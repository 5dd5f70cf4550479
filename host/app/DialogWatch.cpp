#include "DialogWatch.h"

namespace VireoHost {
namespace {

thread_local DialogWatch* t_watch = nullptr;

// A dialog window that is not a message box (whose text is the static 0xFFFF).
bool IsSetupDialog(HWND window)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpW(name, L"#32770") == 0 && !GetDlgItem(window, 0xFFFF) &&
           !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

} // namespace

DialogWatch::DialogWatch() : previous_(t_watch)
{
    t_watch = this;
    cbt_ = SetWindowsHookExW(WH_CBT, &DialogWatch::OnCbt, nullptr, GetCurrentThreadId());
    call_ = SetWindowsHookExW(WH_CALLWNDPROC, &DialogWatch::OnCall, nullptr, GetCurrentThreadId());
}

DialogWatch::~DialogWatch()
{
    if (call_)
        UnhookWindowsHookEx(call_);
    if (cbt_)
        UnhookWindowsHookEx(cbt_);
    t_watch = previous_;
}

LRESULT CALLBACK DialogWatch::OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    DialogWatch* watch = t_watch;
    if (code == HCBT_ACTIVATE && watch) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (window != watch->dialog_ && IsSetupDialog(window)) {
            watch->dialog_ = window;
            watch->owner_ = GetWindow(window, GW_OWNER);
            watch->result_ = 0;
            ++watch->opened_;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK DialogWatch::OnCall(int code, WPARAM wParam, LPARAM lParam)
{
    DialogWatch* watch = t_watch;
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && watch && call && call->hwnd == watch->dialog_ && call->message == WM_COMMAND &&
        HIWORD(call->wParam) == BN_CLICKED && (LOWORD(call->wParam) == IDOK || LOWORD(call->wParam) == IDCANCEL))
        watch->result_ = LOWORD(call->wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace VireoHost
