#pragma once
// The module's help button: a glyph button that draws its bitmap and label with the push
// button theme (or a classic 3D look), turns hot under the mouse and shows a hint pop-up
// while the mouse rests on it. A dialog builds it with an empty hint and, in its setup,
// calls SetGlyph(module handle, 210) and SetHint(string 402); clicks arrive as the
// ordinary BN_CLICKED command of the button's id.

#include "controls/Popup.h"
#include "controls/ThemeLibrary.h"
#include "foundation/QLXString.h"
#include "winlib/TGlyphButton.h"

#include <memory>

namespace QLXControls {

class TBmpTxtButton : public TGlyphButton {
public:
    // Bound to template item 9 of parent.
    TBmpTxtButton(TWindow* parent, TModule* module, const QLXString& hint);
    // Bound to another template item.
    TBmpTxtButton(TWindow* parent, int resourceId, TModule* module, const QLXString& hint);
    ~TBmpTxtButton() override;

    void SetHint(const QLXString& hint) { hint_ = hint; }
    const QLXString& GetHint() const { return hint_; }
    // The hint's window while one shows, else null.
    HWND GetHintWindow() const { return popup_ ? popup_->GetHandle() : nullptr; }
    // 0: an ordinary push button; otherwise each click flips the toggle state, and the
    // button stays pushed while it is set.
    void SetToggleMode(int mode) { toggleMode_ = mode; }
    bool GetToggleState() const { return toggleState_; }
    // How long a hint shows, in milliseconds (5000).
    void SetHintDuration(int milliseconds) { hintDuration_ = milliseconds; }
    // "TOOLBAR" draws a flat frame; the default is "BUTTON".
    void SetThemeClass(const wchar_t* name) { themeClass_ = name; }
    // No theme in use: the classic look.
    bool IsClassic() const { return classic_; }

    // The timer that counts the mouse's rest.
    static constexpr UINT_PTR HintTimer = 1;
    static constexpr UINT HintStep = 500;

protected:
    void SetupWindow() override;
    void CleanupWindow() override;
    void Paint(HDC dc, const RECT& client) override;

    LRESULT EvMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT EvLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT EvLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT EvKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT EvKeyUp(WPARAM wParam, LPARAM lParam);
    LRESULT EvMouseLeave(WPARAM, LPARAM);
    LRESULT EvTimer(WPARAM wParam, LPARAM);
    LRESULT EvThemeChanged(WPARAM, LPARAM);
    LRESULT EvOtherButtonDown(WPARAM, LPARAM);
    LRESULT EvCancelMode(WPARAM, LPARAM);
    LRESULT EvKillFocus(WPARAM, LPARAM);
    LRESULT EvEnable(WPARAM wParam, LPARAM);
    LRESULT EvSetStyle(WPARAM wParam, LPARAM lParam);

private:
    void OpenTheme();
    void CloseTheme();
    // Stops the timer and closes any hint.
    void StopHint();
    void ShowHint();
    void CancelPress();
    void TrackLeave();
    void TrackHot(bool inside);
    // The end of a push (mouse or space bar); a click toggles and tells the parent.
    void Release(bool click);
    bool IsToolbar() const;
    // The pushed look a press leaves behind: only the set toggle state keeps it.
    bool KeepsPush() const { return toggleMode_ && toggleState_; }
    HFONT LabelFont() const;
    HBRUSH ParentButtonBrush(HDC dc) const;

    QLX::ThemeHandle theme_ = nullptr;
    bool classic_ = true;
    bool pressedByMouse_ = false;
    bool clicked_ = false;
    bool keyboard_ = false;
    // Whether the default style is drawn. Tab drops only the look: the dialog manager
    // still sees the focused button as the default, so Enter presses it.
    bool defaultLook_ = true;
    bool trackingLeave_ = false;
    const wchar_t* themeClass_ = L"BUTTON";
    QLXString hint_;
    std::unique_ptr<QLX::Popup> popup_;
    bool hintShown_ = false;
    UINT_PTR timerId_ = 0;
    int hoverTime_ = 0;
    int toggleMode_ = 0;
    bool toggleState_ = false;
    int hintDuration_ = 5000;

    DECLARE_RESPONSE_TABLE(TBmpTxtButton)
};

} // namespace QLXControls
