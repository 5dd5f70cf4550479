#pragma once
// Driving windows in tests as a user would, without ever hanging: modal loops are
// entered with an action queued on a timer, message boxes are caught by a CBT hook and
// answered, and the start-up log (the wide error stream) can be read back.

#include <windows.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace VireoTest {

// Runs start (which enters a modal loop, e.g. a dialog's Execute) and, once the loop
// runs and its window is shown and active, calls action with that window. A loop still running after timeoutMs
// gets WM_COMMAND IDCANCEL, then EndDialog with -2, so a test fails instead of hanging.
int RunModal(const std::function<int()>& start, const std::function<void(HWND)>& action, UINT timeoutMs = 3000);

// Types each character as WM_CHAR.
void Type(HWND window, const std::wstring& text);
// Sends WM_COMMAND with the child's id and the notification code to the child's parent.
LRESULT NotifyParent(HWND child, UINT code);
// Sends WM_NOTIFY with the child's id and the code to the child's parent.
LRESULT NotifyParentNm(HWND child, UINT code);

// Catches every message box shown on this thread while it lives and presses its default
// button, keeping caption and text.
class MessageBoxCatcher {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
        HWND owner;
        HWND window; // while it is shown
    };
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
    const std::vector<Box>& Boxes() const { return boxes_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    std::vector<Box> boxes_;
    MessageBoxCatcher* outer_;
};

// Collects what is written to std::wcerr while it lives.
class WideErrorCapture {
public:
    WideErrorCapture();
    ~WideErrorCapture();
    std::wstring Text() const { return buffer_.str(); }

private:
    std::wstringbuf buffer_;
    std::wstreambuf* previous_;
};

} // namespace VireoTest
