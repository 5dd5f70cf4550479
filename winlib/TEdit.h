#pragma once
// Edit control with a text limit and an optional validator (owned). Characters that
// the validator's IsValidInput refuses are refused as typed; the dialog's OK asks
// CanClose, which checks the whole text of an enabled, shown edit. An edit left with
// text its validator refuses gets the invalid-child notice (TEdit::WM_CHILDINVALID),
// whose handling shows the validator's error and takes the focus back. A user's action
// gets at most one refusal: while one is reported nothing is checked, and a notice that
// another refusal overtook is dropped.

#include "winlib/TControl.h"
#include "winlib/TValidator.h"

class TEdit : public TStatic {
public:
    static constexpr UINT WM_CHILDINVALID = 0x7FFE;

    // textLimit 0 keeps the control's own limit.
    TEdit(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);
    ~TEdit() override;

    void LimitText(UINT limit);
    UINT GetTextLimit() const;
    void SetSelection(int start, int end);
    void GetSelection(int& start, int& end) const;

    // Takes ownership; the previous validator is deleted. Null removes it.
    void SetValidator(TValidator* validator);
    TValidator* GetValidator() const { return validator_; }
    // Whether the validator (if any) accepts the whole text; reports the refusal when asked.
    bool IsValid(bool reportError = false);

    bool CanClose() override;
    // Shows the validator's error and takes the focus back, as a refusal does.
    void ReportRefusal();

protected:
    void SetupWindow() override;
    const wchar_t* GetWindowClassName() const override { return L"EDIT"; }

    // The library's handling of a typed character, of losing the focus and of the notice.
    LRESULT EvChar(WPARAM wParam, LPARAM lParam);
    LRESULT EvKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT EvChildInvalid(WPARAM wParam, LPARAM lParam);

    // Whether the user can see the edit: it and every window up to its top-level one shown.
    bool IsShownInDialog() const;

private:
    // The limit to apply at setup; afterwards the control holds it.
    UINT textLimit_;
    TValidator* validator_ = nullptr;
    // The thread's refusal count when the last notice was posted.
    unsigned noticeRefusals_ = 0;
    bool noticePending_ = false;

    DECLARE_RESPONSE_TABLE(TEdit)
};
