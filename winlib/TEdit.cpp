#include "winlib/TEdit.h"

#include <vector>

namespace {
// Per thread, as focus is: the refusal being reported, and how many have been.
thread_local bool t_reporting = false;
thread_local unsigned t_refusals = 0;
} // namespace

DEFINE_RESPONSE_TABLE(TEdit, TStatic, EV_MESSAGE(WM_CHAR, EvChar), EV_MESSAGE(WM_KILLFOCUS, EvKillFocus),
                      EV_MESSAGE(TEdit::WM_CHILDINVALID, EvChildInvalid))

TEdit::TEdit(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TStatic(parent, resourceId, module), textLimit_(textLimit)
{}

TEdit::~TEdit()
{
    delete validator_;
}

void TEdit::SetupWindow()
{
    TStatic::SetupWindow();
    if (textLimit_)
        LimitText(textLimit_);
}

void TEdit::LimitText(UINT limit)
{
    SendMessage(EM_LIMITTEXT, limit);
}

UINT TEdit::GetTextLimit() const
{
    return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT));
}

void TEdit::SetSelection(int start, int end)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
}

void TEdit::GetSelection(int& start, int& end) const
{
    DWORD from = 0, to = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    start = static_cast<int>(from);
    end = static_cast<int>(to);
}

void TEdit::SetValidator(TValidator* validator)
{
    if (validator == validator_)
        return;
    delete validator_;
    validator_ = validator;
}

bool TEdit::IsValid(bool reportError)
{
    if (!validator_)
        return true;
    const std::wstring text = GetWindowText();
    return reportError ? validator_->Valid(text.c_str(), this) : validator_->IsValid(text.c_str());
}

bool TEdit::IsShownInDialog() const
{
    for (HWND window = GetHandle(); window; window = ::GetParent(window)) {
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        if (!(style & WS_CHILD))
            return true; // the top-level window itself may still be hidden
        if (!(style & WS_VISIBLE))
            return false;
    }
    return true;
}

bool TEdit::CanClose()
{
    if (!TStatic::CanClose())
        return false;
    if (!validator_ || !IsWindowEnabled() || !IsShownInDialog())
        return true;
    if (IsValid(false))
        return true;
    ReportRefusal();
    return false;
}

// The focus moves caused by the box and by taking the focus back check nothing.
void TEdit::ReportRefusal()
{
    if (t_reporting)
        return;
    ++t_refusals;
    t_reporting = true;
    if (validator_)
        validator_->Error(this);
    SetFocus();
    SetSelection(0, -1);
    t_reporting = false;
}

LRESULT TEdit::EvChar(WPARAM wParam, LPARAM lParam)
{
    const wchar_t typed = static_cast<wchar_t>(wParam);
    // Control characters (backspace, Ctrl+V, ...) are the control's business.
    if (validator_ && typed >= L' ') {
        std::wstring text = GetWindowText();
        int start = 0, end = 0;
        GetSelection(start, end);
        if (start > end)
            std::swap(start, end);
        if (end > static_cast<int>(text.size()))
            end = static_cast<int>(text.size());
        if (start > end)
            start = end;
        text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), 1, typed);
        std::vector<wchar_t> buffer(text.begin(), text.end());
        buffer.push_back(L'\0');
        if (!validator_->IsValidInput(buffer.data(), false)) {
            MessageBeep(MB_OK);
            return 0;
        }
    }
    return DefaultProcessing(WM_CHAR, wParam, lParam);
}

LRESULT TEdit::EvKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = DefaultProcessing(WM_KILLFOCUS, wParam, lParam);
    const HWND next = reinterpret_cast<HWND>(wParam);
    // Only a move to another control of the same dialog is checked: not the Cancel
    // button, not an error box of our own, not another program's window.
    if (!validator_ || t_reporting || !next || !GetHandle())
        return result;
    if (GetAncestor(next, GA_ROOT) != GetAncestor(GetHandle(), GA_ROOT) || GetDlgCtrlID(next) == IDCANCEL)
        return result;
    // A refusal reported before the notice arrives (the dialog's own check of the same
    // action) makes it stale.
    if (IsWindowEnabled() && IsShownInDialog() && !IsValid(false)) {
        noticeRefusals_ = t_refusals;
        noticePending_ = true;
        PostMessage(WM_CHILDINVALID);
    }
    return result;
}

LRESULT TEdit::EvChildInvalid(WPARAM, LPARAM)
{
    const bool stale = noticePending_ && noticeRefusals_ != t_refusals;
    noticePending_ = false;
    // The text may have been put right since the notice was posted, or the focus may
    // have gone to Cancel, which closes without checking.
    if (stale || !validator_ || t_reporting || !IsWindowEnabled() || !IsShownInDialog() ||
        IsValid(false))
        return 0;
    const HWND focus = GetFocus();
    if (focus && GetDlgCtrlID(focus) == IDCANCEL && GetAncestor(focus, GA_ROOT) == GetAncestor(GetHandle(), GA_ROOT))
        return 0;
    ReportRefusal();
    return 0;
}
