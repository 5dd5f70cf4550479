#include "MessageBoxEcho.h"

namespace VireoHost {
namespace {

// The echo of the current thread; hooks are per thread and nest.
thread_local MessageBoxEcho* t_current = nullptr;

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

// A dialog of this thread: activation also reports other programs' windows to the hook.
bool IsDialogBox(HWND window)
{
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return false;
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return lstrcmpW(className, L"#32770") == 0;
}

// The box to close once its modal loop runs; the box is set up by then.
thread_local HWND t_boxToClose = nullptr;

// The box's default button: the one drawn as the default, else OK. (Wine's boxes
// answer the default-identifier request with OK whichever button is the default.)
int DefaultButton(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
    return IDOK;
}

// Runs inside the box's modal loop. Pressing Enter instead would depend on the focus,
// which the box may not get while another program holds the foreground.
void CALLBACK CloseBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    const HWND box = t_boxToClose;
    t_boxToClose = nullptr;
    if (!box || !IsWindow(box))
        return;
    const int id = DefaultButton(box);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

} // namespace

MessageBoxEcho::MessageBoxEcho(Sink sink) : sink_(std::move(sink)), previous_(t_current)
{
    t_current = this;
    // One hook per thread; a nested echo only takes over the printing.
    if (!previous_)
        hook_ = SetWindowsHookExW(WH_CBT, &MessageBoxEcho::Hook, nullptr, GetCurrentThreadId());
}

MessageBoxEcho::~MessageBoxEcho()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    t_current = previous_;
}

std::wstring MessageBoxEcho::Line(const std::wstring& caption, const std::wstring& text)
{
    std::wstring line = L"MessageBox: " + caption + L": ";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        if (text[i] == L'\n' || text[i] == L'\r')
            line += L"\\n";
        else
            line += text[i];
    }
    return line;
}

LRESULT CALLBACK MessageBoxEcho::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    MessageBoxEcho* echo = t_current;
    if (code == HCBT_ACTIVATE && echo) {
        HWND box = reinterpret_cast<HWND>(wParam);
        // A message box is a dialog whose text sits in the static control 0xFFFF.
        HWND textControl = GetDlgItem(box, 0xFFFF);
        if (IsDialogBox(box) && textControl) {
            ++echo->count_;
            try {
                if (echo->sink_)
                    echo->sink_(WindowText(box), WindowText(textControl));
            } catch (...) {
            }
            // The box is not initialised yet when it is activated; its default button
            // is asked for from its modal loop.
            t_boxToClose = box;
            SetTimer(nullptr, 0, 0, &CloseBox);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace VireoHost
