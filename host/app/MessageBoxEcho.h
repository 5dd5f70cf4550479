#pragma once
// While running from the command line nobody can answer a message box: every
// box the thread shows is printed as "MessageBox: CAPTION: TEXT" and closed
// with its default button as soon as it is activated.

#include <windows.h>

#include <functional>
#include <string>

namespace VireoHost {

class MessageBoxEcho {
public:
    // Receives caption and text of each box; line breaks in the text are kept.
    using Sink = std::function<void(const std::wstring& caption, const std::wstring& text)>;

    explicit MessageBoxEcho(Sink sink);
    ~MessageBoxEcho();
    MessageBoxEcho(const MessageBoxEcho&) = delete;
    MessageBoxEcho& operator=(const MessageBoxEcho&) = delete;

    int Count() const { return count_; }

    // The one-line form printed for a box: line breaks become "\n".
    static std::wstring Line(const std::wstring& caption, const std::wstring& text);

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook_ = nullptr;
    Sink sink_;
    int count_ = 0;
    MessageBoxEcho* previous_ = nullptr;
};

} // namespace VireoHost
