#pragma once
// The hint pop-up: a small window with a short text, shown at once near a point and
// kept inside the work area, never taking the focus or the mouse. Destroying the object
// closes it.

#include "foundation/QLXString.h"
#include "winlib/TFont.h"
#include "winlib/TWindow.h"

namespace QLX {

class Popup : public TWindow {
public:
    // owner: the window the pop-up belongs to; point: in screen coordinates.
    Popup(HWND owner, POINT point, const QLXString& text, TModule* module = nullptr);

    const QLXString& GetText() const { return text_; }

    // The pop-up's picture: pale yellow, black text wrapped at the width, one pixel in.
    static void PaintHint(HDC dc, const RECT& client, HFONT font, const QLXString& text);

protected:
    const wchar_t* GetWindowClassName() const override { return L"QLXPopup"; }
    void GetWindowClass(WNDCLASSEXW& windowClass) const override;

    LRESULT EvPaint(WPARAM, LPARAM);
    LRESULT EvPrintClient(WPARAM wParam, LPARAM);
    LRESULT EvEraseBackground(WPARAM, LPARAM);

private:
    POINT anchor_;
    QLXString text_;
    TGadgetWindowFont font_;
    SIZE size_{0, 0};

    DECLARE_RESPONSE_TABLE(Popup)
};

} // namespace QLX
