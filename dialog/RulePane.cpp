#include "dialog/RulePane.h"

#include "dialog/DetectorDialog.h"
#include "foundation/ModuleInstance.h"
#include "foundation/StringStreams.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <cmath>

namespace OnlineEvents {

namespace {
constexpr int MaxHysteresis = 95;
// Labels that follow the output's on/off state; the level's own are in LevelControls.
constexpr int SwitchedLabels[] = {IDC_WHEN_LABEL, IDC_GOES_LABEL, IDC_HYSTERESIS_LABEL, IDC_PERCENT_LABEL,
                                  IDC_LEVEL_MIDDLE};
constexpr int RepaintedLabels[] = {IDC_GOES_LABEL, IDC_WHEN_LABEL, IDC_LEVEL_TITLE, IDC_HYSTERESIS_LABEL,
                                   IDC_PERCENT_LABEL, IDC_LEVEL_LOW, IDC_LEVEL_HIGH, IDC_LEVEL_MIDDLE};

QLXString ModuleText(UINT id) { return LoadResourceString(QLX::GetModuleInstance(), id); }
} // namespace

DEFINE_RESPONSE_TABLE(RulePane, DetectorPane,
                      EV_MESSAGE(WM_HSCROLL, EvHScroll),
                      EV_CHILD_NOTIFY(IDC_RULE_PLUS, BN_CLICKED, CmPlus),
                      EV_CHILD_NOTIFY(IDC_RULE_MINUS, BN_CLICKED, CmMinus),
                      EV_CHILD_NOTIFY(IDC_LEVEL_EDIT, EN_KILLFOCUS, EvLevelKillFocus),
                      EV_CHILD_NOTIFY(IDC_INPUT_LIST, CBN_SELCHANGE, EvInputChanged),
                      EV_NOTIFY(IDC_LEVEL_UPDOWN, UDN_DELTAPOS, EvUpDownDelta))

RulePane::RulePane(DetectorDialog& dialog, TModule* module, int index)
    : DetectorPane(dialog, IDD_RULE_PANE, module), plus_(this, IDC_RULE_PLUS),
      minus_(this, IDC_RULE_MINUS), inputs_(this, IDC_INPUT_LIST), aboveBelow_(this, IDC_ABOVE_BELOW), level_(this),
      hysteresis_(this, IDC_HYSTERESIS, MaxHysteresis), index_(index)
{
}

void RulePane::SetupWindow()
{
    QLX::DialogBase::SetupWindow();
    aboveBelow_.AddString(ModuleText(IDS_ABOVE).c_str());
    aboveBelow_.AddString(ModuleText(IDS_BELOW).c_str());
    aboveBelow_.SetSelIndex(0);
    level_.SetPercentScale();
    HINSTANCE instance = QLX::GetModuleInstance();
    plusBitmap_ = TBitmap(LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_RULE_PLUS)));
    minusBitmap_ = TBitmap(LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_RULE_MINUS)));
    plus_.SetImage(plusBitmap_);
    minus_.SetImage(minusBitmap_);
}

void RulePane::FillInputs(int count)
{
    const QLXString format = ModuleText(IDS_INPUT_N);
    for (int i = 1; i <= count; ++i) {
        QLX::OFormatStringStream name(format);
        name << i;
        inputs_.AddString(name.TakeString().c_str());
    }
    inputs_.SetSelIndex(0);
}

void RulePane::LoadRule()
{
    const OnlineEventRule& rule = dialog_.Configuration().GetEvent(dialog_.CurrentOutput()).Rules.at(index_);
    SetLevelRange(dialog_.GetInputRange(rule.Input));
    ShowRule(rule);
}

void RulePane::ShowDefaultRule()
{
    const OnlineEventRule rule;
    SetLevelRange(dialog_.GetInputRange(rule.Input));
    ShowRule(rule);
}

void RulePane::SetLevelRange(const InputRange& range) { level_.SetRange(range); }

void RulePane::ShowRule(const OnlineEventRule& rule)
{
    inputs_.SetSelIndex(rule.Input);
    aboveBelow_.SetSelIndex(rule.Above ? 0 : 1);
    level_.ShowLevel(rule.Level);
    const double hysteresis = std::isfinite(rule.Hysteresis) ? std::trunc(rule.Hysteresis) : 0.0;
    hysteresis_.SetWindowTextIfChanged(std::to_wstring(static_cast<long long>(hysteresis)));
}

OnlineEventRule RulePane::ReadRule() const
{
    OnlineEventRule rule;
    rule.Input = inputs_.GetSelIndex();
    rule.Above = aboveBelow_.GetSelIndex() == 0;
    rule.Level = level_.LevelPercent();
    rule.Hysteresis = LeadingInteger(hysteresis_.GetWindowText());
    return rule;
}

void RulePane::Enable(bool enable)
{
    inputs_.EnableWindow(enable);
    aboveBelow_.EnableWindow(enable);
    level_.Enable(enable);
    hysteresis_.EnableWindow(enable);
    for (int id : SwitchedLabels)
        SetWindowEnabled(GetDlgItem(id), enable);
}

void RulePane::UpdateButtons(bool canInsert, bool canDelete)
{
    UpdateButton(plus_, canInsert);
    UpdateButton(minus_, canDelete);
}

// A button whose state and style stay as they are needs no repaint. The focused
// button keeps the default style the dialog manager gave it, so Enter presses it again.
void RulePane::UpdateButton(TButton& button, bool enable)
{
    const bool keepDefault = enable && button.IsDefault() && GetFocus() == button.GetHandle();
    if (button.IsWindowEnabled() == enable && button.IsDefault() == keepDefault)
        return;
    button.EnableWindow(enable);
    button.SetButtonStyle(keepDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    button.Invalidate();
}

bool RulePane::FocusRuleButton(bool preferMinus)
{
    TButton& first = preferMinus ? minus_ : plus_;
    TButton& second = preferMinus ? plus_ : minus_;
    return FocusButton(first) || FocusButton(second);
}

bool RulePane::FocusButton(TButton& button)
{
    if (!button.IsWindowEnabled() || !IsWindowVisible())
        return false;
    // Through the dialog manager, which makes the focused push button the default.
    ::SendMessageW(GetAncestor(GetHandle(), GA_ROOT), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button.GetHandle()),
                   TRUE);
    return true;
}

void RulePane::SetWording(bool fixedWidth)
{
    ::SetWindowTextIfChanged(GetDlgItem(IDC_GOES_LABEL), ModuleText(fixedWidth ? IDS_GOES : IDS_IS).c_str());
}

void RulePane::Repaint()
{
    Invalidate();
    level_.Invalidate();
    plus_.Invalidate();
    minus_.Invalidate();
    for (int id : RepaintedLabels)
        InvalidateRect(GetDlgItem(id), nullptr, TRUE);
}

LRESULT RulePane::EvHScroll(WPARAM wParam, LPARAM lParam)
{
    TWindow::EvHScroll(wParam, lParam);
    level_.SliderMoved();
    return 0;
}

// Enter reaches a focused button even when it has just been disabled.
void RulePane::CmPlus()
{
    if (plus_.IsWindowEnabled())
        dialog_.InsertRuleAfter(index_);
}

void RulePane::CmMinus()
{
    if (minus_.IsWindowEnabled())
        dialog_.DeleteRule(index_);
}

void RulePane::EvLevelKillFocus() { level_.EditLeft(); }

LRESULT RulePane::EvUpDownDelta(NMHDR& header)
{
    const NMUPDOWN& request = reinterpret_cast<const NMUPDOWN&>(header);
    level_.UpDownDelta(request.iPos, request.iDelta);
    return 1; // handled: the control does not move by itself
}

void RulePane::EvInputChanged()
{
    const int input = inputs_.GetSelIndex();
    if (input < 0)
        return;
    OnlineEventRule& rule = dialog_.RuleForEdit(index_);
    rule.Input = input;
    SetLevelRange(dialog_.GetInputRange(input));
    ShowRule(rule);
}

} // namespace OnlineEvents
