#pragma once
// A small pop-up that shows a range error next to a field instead of a message box:
// a bold title over a message, on a pale background. It never takes the focus.

#include "winlib/TFont.h"
#include "winlib/TWindow.h"

#include <string>

namespace QLXControls {

class ErrorProvider : public TWindow {
public:
    // owner: the window the pop-up belongs to (none: a free pop-up).
    explicit ErrorProvider(HWND owner = nullptr);

    void SetTitle(const wchar_t* title);
    std::wstring GetTitle() const { return GetWindowText(); }
    void SetMessage(const wchar_t* message);
    const std::wstring& GetMessage() const { return message_; }

    // Shows the pop-up below anchor (or where it was last), without activating it.
    void Show(HWND anchor = nullptr);
    void Hide();
    bool IsShown() const { return IsWindowVisible(); }

    // The size the texts need, in pixels.
    SIZE MeasureText() const;
    // Paints background and texts into any device context of the client's size.
    void Paint(HDC dc, const RECT& client) const;

protected:
    const wchar_t* GetWindowClassName() const override { return L"QLXErrorProvider"; }
    void GetWindowClass(WNDCLASSEXW& windowClass) const override;
    LRESULT EvPaint(WPARAM wParam, LPARAM lParam);

private:
    // Draws title and message into dc; with calculate set only measures them.
    SIZE DrawTexts(HDC dc, bool calculate) const;

    std::wstring message_;
    TGadgetWindowFont font_;
    TGadgetWindowFont titleFont_;

    DECLARE_RESPONSE_TABLE(ErrorProvider)
};

} // namespace QLXControls
