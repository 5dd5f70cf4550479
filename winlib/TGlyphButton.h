#pragma once
// The library's glyph button: a push button that draws itself from a cel array of
// pictures (cel 0 normal, 1 pushed, 2 disabled, those present) and its window text,
// keeping the state bits pushed and hot itself; default and disabled are the button
// window's own style and enabled state. It answers BM_GETSTATE and BM_SETSTATE from its
// bits and sends the parent the clicked command as a system button does.

#include "winlib/TCelArray.h"
#include "winlib/TControl.h"

#include <windows.h>

#include <memory>

// Where glyph and label go on a button face: side by side, glyph first, the pair centred;
// either may be empty (size 0).
struct TGlyphLayout {
    RECT glyph;
    RECT text;
};
TGlyphLayout LayoutGlyphAndText(const RECT& face, SIZE glyph, SIZE text);

// The library's button border: raised, or sunken while pushed.
void PaintButtonBorder(HDC dc, const RECT& rect, bool sunken);

class TGlyphButton : public TButton {
public:
    TGlyphButton(TWindow* parent, int resourceId, TModule* module = nullptr);
    TGlyphButton(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height,
                 TModule* module = nullptr);

    // The pictures; repaints.
    void SetGlyph(std::unique_ptr<TCelArray> glyph);
    // Bitmap resource bitmapId of module split into celCount cels; false when it cannot be loaded.
    bool SetGlyph(HINSTANCE module, int bitmapId, int celCount = 1);
    const TCelArray* GetGlyph() const { return glyph_.get(); }

    bool IsPushed() const { return pushed_; }
    bool IsHot() const { return hot_; }
    bool IsDisabled() const { return !IsWindowEnabled(); }

protected:
    // Each repaints when the bit changes.
    void SetPushed(bool pushed);
    void SetHot(bool hot);
    // Sends the parent the clicked command with the button's id.
    void NotifyClicked();

    // The library's look: face, border, glyph and label.
    virtual void Paint(HDC dc, const RECT& client);

    // The library's handling, which derived classes run before their own.
    LRESULT EvPaint(WPARAM, LPARAM);
    LRESULT EvPrintClient(WPARAM wParam, LPARAM);
    LRESULT EvEraseBackground(WPARAM, LPARAM);
    LRESULT EvLButtonDown(WPARAM, LPARAM);
    LRESULT EvLButtonUp(WPARAM, LPARAM lParam);
    LRESULT EvMouseMove(WPARAM, LPARAM lParam);
    LRESULT EvKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT EvKeyUp(WPARAM wParam, LPARAM);
    LRESULT EvFocusChange(WPARAM, LPARAM);
    LRESULT EvEnable(WPARAM, LPARAM);
    LRESULT EvCancelMode(WPARAM, LPARAM);
    LRESULT EvGetState(WPARAM, LPARAM);
    LRESULT EvSetState(WPARAM wParam, LPARAM);
    LRESULT EvSetText(WPARAM wParam, LPARAM lParam);
    LRESULT EvSetStyle(WPARAM wParam, LPARAM lParam);

    bool HasCapture() const { return GetCapture() == GetHandle(); }
    bool IsInside(LPARAM pointInClient) const;

private:
    std::unique_ptr<TCelArray> glyph_;
    bool pushed_ = false;
    bool hot_ = false;

    DECLARE_RESPONSE_TABLE(TGlyphButton)
};
