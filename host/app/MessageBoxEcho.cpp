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

bool IsDialogBox(HWND window)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return lstrcmpW(className, L"#32770") == 0;
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
            // The box is not initialised yet when it is activated; Enter, handled by
            // its modal loop, picks whatever its default button turns out to be.
            PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace VireoHost
