#include "controls/BmpTxtButton.h"

#include "controls/ButtonPainter.h"

#include <cwchar>

namespace QLXControls {

namespace {

constexpr int HelpButtonId = 9;
// Where the hint goes relative to the cursor: just below its tip.
constexpr POINT HintOffset{-3, 19};

} // namespace

DEFINE_RESPONSE_TABLE(TBmpTxtButton, TGlyphButton, EV_MESSAGE(WM_MOUSEMOVE, EvMouseMove),
                      EV_MESSAGE(WM_LBUTTONDOWN, EvLButtonDown), EV_MESSAGE(WM_LBUTTONUP, EvLButtonUp),
                      EV_MESSAGE(WM_LBUTTONDBLCLK, EvLButtonUp), EV_MESSAGE(WM_KEYDOWN, EvKeyDown),
                      EV_MESSAGE(WM_KEYUP, EvKeyUp), EV_MESSAGE(WM_MOUSELEAVE, EvMouseLeave),
                      EV_MESSAGE(WM_TIMER, EvTimer), EV_MESSAGE(WM_THEMECHANGED, EvThemeChanged),
                      EV_MESSAGE(WM_RBUTTONDOWN, EvOtherButtonDown), EV_MESSAGE(WM_MBUTTONDOWN, EvOtherButtonDown),
                      EV_MESSAGE(WM_CANCELMODE, EvCancelMode), EV_MESSAGE(WM_KILLFOCUS, EvKillFocus),
                      EV_MESSAGE(WM_ENABLE, EvEnable), EV_MESSAGE(BM_SETSTYLE, EvSetStyle))

TBmpTxtButton::TBmpTxtButton(TWindow* parent, TModule* module, const QLXString& hint)
    : TBmpTxtButton(parent, HelpButtonId, module, hint)
{}

TBmpTxtButton::TBmpTxtButton(TWindow* parent, int resourceId, TModule* module, const QLXString& hint)
    : TGlyphButton(parent, resourceId, module), hint_(hint)
{}

TBmpTxtButton::~TBmpTxtButton()
{
    StopHint();
    CloseTheme();
}

void TBmpTxtButton::SetupWindow()
{
    OpenTheme();
    keyboard_ = false;
    pressedByMouse_ = false;
    SetHot(false);
    TGlyphButton::SetupWindow();
}

void TBmpTxtButton::CleanupWindow()
{
    StopHint();
    CloseTheme();
    TGlyphButton::CleanupWindow();
}

void TBmpTxtButton::OpenTheme()
{
    theme_ = QLX::ThemeLibrary::Instance().Open(GetHandle(), themeClass_);
    classic_ = theme_ == nullptr;
}

void TBmpTxtButton::CloseTheme()
{
    QLX::ThemeLibrary::Instance().Close(theme_);
    theme_ = nullptr;
}

bool TBmpTxtButton::IsToolbar() const
{
    return std::wcscmp(themeClass_, L"TOOLBAR") == 0;
}

// ---- hint ---------------------------------------------------------------------------

void TBmpTxtButton::StopHint()
{
    if (timerId_ && GetHandle())
        KillTimer(GetHandle(), timerId_);
    timerId_ = 0;
    popup_.reset();
}

void TBmpTxtButton::ShowHint()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    const POINT at{cursor.x + HintOffset.x, cursor.y + HintOffset.y};
    popup_ = std::make_unique<QLX::Popup>(GetHandle(), at, hint_, GetModule());
    hintShown_ = true;
}

LRESULT TBmpTxtButton::EvTimer(WPARAM wParam, LPARAM)
{
    if (wParam != HintTimer)
        return DefaultProcessing();
    // A tick still queued when the timer stopped.
    if (!timerId_)
        return 0;
    if ((IsPushed() && !toggleMode_) || clicked_ || hint_.IsEmpty()) {
        StopHint();
        return 0;
    }
    hoverTime_ += HintStep;
    if (hoverTime_ >= static_cast<int>(HintStep) && hoverTime_ <= hintDuration_ && !popup_)
        ShowHint();
    if (hoverTime_ > hintDuration_) {
        StopHint();
        hoverTime_ = 0;
    }
    return 0;
}

void TBmpTxtButton::TrackLeave()
{
    if (trackingLeave_)
        return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, GetHandle(), 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
}

LRESULT TBmpTxtButton::EvMouseLeave(WPARAM, LPARAM)
{
    StopHint();
    hintShown_ = false;
    // Each rest of the mouse gets the whole hint duration again.
    hoverTime_ = 0;
    if (IsHot()) {
        if (IsPushed() && !toggleMode_)
            SetPushed(false);
        SetHot(false);
        Invalidate(false);
    }
    trackingLeave_ = false;
    clicked_ = false;
    return 0;
}

// ---- mouse and keys -------------------------------------------------------------------

void TBmpTxtButton::TrackHot(bool inside)
{
    if (inside) {
        SetHot(true);
        // Back inside while pressed: pushed again.
        if (pressedByMouse_ && HasCapture())
            SetPushed(true);
        return;
    }
    if (IsPushed() && !KeepsPush())
        SetPushed(false);
    // A classic push button keeps its (undrawn) hot state while the mouse is held outside.
    if (!classic_ || IsToolbar())
        SetHot(false);
}

LRESULT TBmpTxtButton::EvMouseMove(WPARAM, LPARAM lParam)
{
    TrackLeave();
    if (!hintShown_ && !hint_.IsEmpty() && !clicked_)
        timerId_ = SetTimer(GetHandle(), HintTimer, HintStep, nullptr);
    TrackHot(IsInside(lParam));
    return 0;
}

LRESULT TBmpTxtButton::EvLButtonDown(WPARAM wParam, LPARAM lParam)
{
    if (IsDisabled())
        return 0;
    TGlyphButton::EvLButtonDown(wParam, lParam);
    StopHint();
    SetCapture(GetHandle());
    pressedByMouse_ = true;
    return 0;
}

void TBmpTxtButton::Release(bool click)
{
    // Only a click flips the toggle, so the parent hears of every change.
    if (toggleMode_ && click)
        toggleState_ = !toggleState_;
    SetPushed(toggleMode_ && toggleState_);
    Invalidate(false);
    // Last: the parent's answer to the click may end this button.
    if (click)
        NotifyClicked();
}

LRESULT TBmpTxtButton::EvLButtonUp(WPARAM, LPARAM lParam)
{
    if (!HasCapture())
        return 0;
    const bool inside = IsInside(lParam);
    pressedByMouse_ = false;
    clicked_ = true;
    ReleaseCapture();
    Release(inside);
    return 0;
}

LRESULT TBmpTxtButton::EvKeyDown(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = TGlyphButton::EvKeyDown(wParam, lParam);
    StopHint();
    return result;
}

LRESULT TBmpTxtButton::EvKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (wParam == VK_TAB) {
        keyboard_ = true;
        defaultLook_ = false;
        Invalidate(false);
    }
    if (wParam == VK_SPACE && IsPushed() && !pressedByMouse_) {
        Release(true);
        return 0;
    }
    return TGlyphButton::EvKeyUp(wParam, lParam);
}

LRESULT TBmpTxtButton::EvSetStyle(WPARAM wParam, LPARAM lParam)
{
    defaultLook_ = (wParam & 0x0F) == BS_DEFPUSHBUTTON;
    return TGlyphButton::EvSetStyle(wParam, lParam);
}

LRESULT TBmpTxtButton::EvOtherButtonDown(WPARAM, LPARAM)
{
    const LRESULT result = DefaultProcessing();
    StopHint();
    return result;
}

void TBmpTxtButton::CancelPress()
{
    if (HasCapture())
        ReleaseCapture();
    pressedByMouse_ = false;
    if (!toggleMode_)
        SetPushed(false);
    else
        SetPushed(toggleState_);
}

LRESULT TBmpTxtButton::EvCancelMode(WPARAM, LPARAM)
{
    CancelPress();
    return 0;
}

LRESULT TBmpTxtButton::EvKillFocus(WPARAM, LPARAM)
{
    SetHot(false);
    if (IsPushed())
        CancelPress();
    Invalidate(false);
    return 0;
}

LRESULT TBmpTxtButton::EvEnable(WPARAM wParam, LPARAM)
{
    if (!wParam)
        CancelPress();
    Invalidate(false);
    return 0;
}

LRESULT TBmpTxtButton::EvThemeChanged(WPARAM, LPARAM)
{
    CloseTheme();
    OpenTheme();
    Invalidate();
    return 0;
}

// ---- drawing ----------------------------------------------------------------------------

HFONT TBmpTxtButton::LabelFont() const
{
    if (HFONT own = GetWindowFont())
        return own;
    const HWND parent = ::GetParent(GetHandle());
    return parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
}

HBRUSH TBmpTxtButton::ParentButtonBrush(HDC dc) const
{
    const HWND parent = ::GetParent(GetHandle());
    if (!parent)
        return nullptr;
    return reinterpret_cast<HBRUSH>(
        ::SendMessageW(parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(GetHandle())));
}

void TBmpTxtButton::Paint(HDC dc, const RECT& client)
{
    if (!classic_ && !theme_) {
        OpenTheme();
        // A theme that cannot be had at paint time is given up for good.
        classic_ = theme_ == nullptr;
    }
    ButtonLook look;
    look.rect = client;
    look.pushed = IsPushed();
    look.hot = IsHot();
    look.isDefault = IsDefault() && defaultLook_;
    look.disabled = IsDisabled();
    look.focused = GetFocus() == GetHandle() && keyboard_;
    look.toolbar = IsToolbar();
    look.glyph = GetGlyph();
    look.label = GetWindowText();
    look.font = LabelFont();
    look.theme = classic_ ? nullptr : theme_;
    look.parentBrush = look.theme ? ParentButtonBrush(dc) : nullptr;
    look.window = GetHandle();
    PaintButton(dc, look);
}

} // namespace QLXControls
