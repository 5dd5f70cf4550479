#include "dialog/DetectorDialog.h"

#include "dialog/OutputTab.h"
#include "dialog/RuleArea.h"
#include "controls/HostUi.h"
#include "foundation/ModuleInstance.h"
#include "foundation/StringStreams.h"
#include "hostapi/OnlineEvents.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace OnlineEvents {

namespace {

// The tab the next dialog of this process opens on.
int lastSelectedTab = 0;

bool SameRule(const OnlineEventRule& a, const OnlineEventRule& b)
{
    return a.Input == b.Input && a.Above == b.Above && a.Hysteresis == b.Hysteresis && a.Level == b.Level;
}

} // namespace

// A dialog not yet shown is left alone: turning its redraw back on would show it.
class DetectorDialog::RedrawHold {
public:
    explicit RedrawHold(DetectorDialog& dialog)
        : dialog_(dialog), active_(dialog.redrawHolds_ > 0 || dialog.IsWindowVisible())
    {
        if (active_ && dialog_.redrawHolds_++ == 0)
            dialog_.SetRedraw(false);
    }
    ~RedrawHold()
    {
        if (!active_ || --dialog_.redrawHolds_ > 0)
            return;
        dialog_.SetRedraw(true);
        dialog_.InvalidateAll();
    }
    RedrawHold(const RedrawHold&) = delete;
    RedrawHold& operator=(const RedrawHold&) = delete;

private:
    DetectorDialog& dialog_;
    const bool active_;
};

DEFINE_RESPONSE_TABLE(DetectorDialog, QLX::DialogBase,
                      EV_COMMAND(IDOK, CmOk),
                      EV_COMMAND(IDC_HELP_BUTTON, CmHelp),
                      EV_NOTIFY(IDC_OUTPUT_TABS, TCN_SELCHANGING, EvTabChanging),
                      EV_NOTIFY(IDC_OUTPUT_TABS, TCN_SELCHANGE, EvTabChanged),
                      EV_MESSAGE(WM_SYSCOLORCHANGE, EvSysColorChange))

DetectorDialog::DetectorDialog(HWND parent, TModule* module, const OutputLimits& limits, const EventConfig& config,
                               DetectorDocument* document)
    : QLX::DialogBase(parent, IDD_DETECTOR, module), tabs_(this, IDC_OUTPUT_TABS), onOff_(*this, module),
      settings_(*this, module, limits), ok_(this, IDOK), cancel_(this, IDCANCEL), help_(this, module, QLXString()),
      limits_(limits), config_(config), document_(document)
{
    for (int j = 0; j < RulePaneCount; ++j)
        rules_[j] = std::make_unique<RulePane>(*this, module, j);
}

DetectorDialog::~DetectorDialog() = default;

int DetectorDialog::Execute() { return QLX::DialogBase::Execute(); }

int DetectorDialog::LastSelectedTab() { return lastSelectedTab; }

void DetectorDialog::SetLastSelectedTab(int tab) { lastSelectedTab = tab; }

bool DetectorDialog::HasPage() const { return config_.GetCount() > 0; }

void DetectorDialog::SetupWindow()
{
    QLX::DialogBase::SetupWindow();

    QLXString name;
    if (document_ && document_->GetMasterDeviceName(name) && !name.IsEmpty()) {
        QLX::OFormatStringStream caption(LoadResourceString(QLX::GetModuleInstance(), IDS_DIALOG_CAPTION));
        caption << name.c_str();
        SetWindowText(caption.TakeString().c_str());
    }

    themed_ = ThemeBackground::CheckAppThemed();
    background_.Rebuild(tabs_.GetHandle());
    tabs_.SetMinTabWidth(0);
    AddTabs();
    PlacePanes();

    current_ = OutputTab::Opening(lastSelectedTab, config_.GetCount());
    lastSelectedTab = current_;
    if (HasPage()) {
        LoadOutputPage();
        LoadRules();
        tabs_.SetSel(current_);
        LoadOutputPage();
    } else {
        ShowNoOutputs();
    }
    HINSTANCE instance = QLX::GetModuleInstance();
    help_.SetGlyph(instance, IDB_HELP_GLYPH);
    help_.SetHint(LoadResourceString(instance, IDS_HELP_BUTTON_HINT));
    help_.Invalidate();
    StackPanes();
}

void DetectorDialog::CleanupWindow()
{
    TWindow* panes[] = {&onOff_, &settings_, rules_[0].get(), rules_[1].get(), rules_[2].get(), rules_[3].get()};
    for (TWindow* pane : panes)
        if (pane->GetHandle())
            RemovePropW(pane->GetHandle(), OnlineEventsContract::PaneProperty);
    QLX::DialogBase::CleanupWindow();
}

void DetectorDialog::AddTabs()
{
    for (int i = 0; i < config_.GetCount(); ++i) {
        tabs_.Add(config_.GetEvent(i).Name);
        MarkOutputTab(i, config_.GetEvent(i).On);
    }
}

void DetectorDialog::PlacePane(TWindow& pane, int placeholder, int shift, int property)
{
    pane.Create();
    RECT place;
    ::GetWindowRect(GetDlgItem(placeholder), &place);
    ScreenToClient(place);
    const int height = place.bottom - place.top;
    pane.MoveWindow(place.left, place.top + shift * height, place.right - place.left, height, true);
    SetPropW(pane.GetHandle(), OnlineEventsContract::PaneProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(property)));
}

void DetectorDialog::PlacePanes()
{
    PlacePane(onOff_, IDC_ONOFF_PLACE, 0, OnlineEventsContract::OnOffPaneValue);
    onOff_.ShowWindow(SW_SHOW);
    for (int j = 0; j < RulePaneCount; ++j) {
        RulePane& pane = *rules_[j];
        pane.Create();
        pane.FillInputs(config_.InputCount);
        PlacePane(pane, IDC_RULE_PLACE, j, OnlineEventsContract::FirstRulePaneValue + j);
        pane.ShowWindow(j < visibleRules_ ? SW_SHOW : SW_HIDE);
    }
    PlacePane(settings_, IDC_SETTINGS_PLACE, 0, OnlineEventsContract::SettingsPaneValue);
    settings_.ShowWindow(SW_SHOW);
}

void DetectorDialog::StackPanes()
{
    settings_.BringToTop();
    for (int j = RulePaneCount - 1; j >= 0; --j)
        rules_[j]->BringToTop();
    onOff_.BringToTop();
}

// A configuration without outputs has no page to show: every control stays disabled.
void DetectorDialog::ShowNoOutputs()
{
    onOff_.EnableSwitch(false);
    settings_.EnableSettings(false);
    UpdateRuleButtons();
}

void DetectorDialog::LoadOutputPage()
{
    const OnlineEvent& output = config_.GetEvent(current_);
    onOff_.Load(output);
    settings_.Load(output);
    settings_.SetFixedWidth(output.LimitedDuration);
    settings_.EnableSettings(output.On);
}

void DetectorDialog::SaveOutputPage()
{
    OnlineEvent& output = config_.GetEvent(current_);
    onOff_.Save(output);
    settings_.Save(output);
}

void DetectorDialog::LoadRules()
{
    const int count = config_.GetRuleCount(current_);
    // An output without rules shows the new-rule defaults, stored only once changed.
    if (count == 0)
        rules_[0]->ShowDefaultRule();
    for (int j = 0; j < std::min(count, RulePaneCount); ++j)
        rules_[j]->LoadRule();
    const int shown = std::clamp(count, 1, RulePaneCount);
    if (shown != visibleRules_)
        ResizeRuleArea(shown - visibleRules_);
    UpdateRuleButtons();
}

void DetectorDialog::SaveRules()
{
    const int count = config_.GetRuleCount(current_);
    for (int j = 0; j < visibleRules_; ++j) {
        OnlineEventRule rule = rules_[j]->ReadRule();
        if (rule.Input < 0) // a unit without inputs: the list has no choice to store
            rule.Input = j < count ? config_.GetEvent(current_).Rules[j].Input : 0;
        if (j < count) {
            config_.SetRule(current_, j, rule);
        } else if (count == 0 && j == 0 && !SameRule(rule, OnlineEventRule())) {
            config_.InsertRule(current_, -1);
            config_.SetRule(current_, 0, rule);
        }
    }
}

bool DetectorDialog::CheckRules(bool clampLevels)
{
    for (int j = 0; j < visibleRules_; ++j) {
        if (clampLevels)
            rules_[j]->Level().EditLeft();
        if (!rules_[j]->CanClose())
            return false;
    }
    return true;
}

bool DetectorDialog::CheckPage(bool clampLevels)
{
    return onOff_.CanClose() && CheckRules(clampLevels) && settings_.CanClose();
}

OnlineEventRule& DetectorDialog::RuleForEdit(int rule)
{
    OnlineEvent& output = config_.GetEvent(current_);
    if (output.Rules.empty() && rule == 0)
        config_.InsertRule(current_, -1);
    return config_.GetEvent(current_).Rules.at(rule);
}

int DetectorDialog::RulePaneHeight() const
{
    RECT place;
    ::GetWindowRect(GetDlgItem(IDC_RULE_PLACE), &place);
    return place.bottom - place.top;
}

void DetectorDialog::MoveDown(TWindow& window, int offset)
{
    RECT bounds = window.GetWindowRect();
    ScreenToClient(bounds);
    window.MoveWindow(bounds.left, bounds.top + offset, bounds.right - bounds.left, bounds.bottom - bounds.top,
                      !redrawHolds_);
    if (!redrawHolds_)
        window.Invalidate();
}

void DetectorDialog::ResizeRuleArea(int delta)
{
    const RuleArea plan = RuleArea::Plan(visibleRules_, delta, RulePaneHeight());
    if (!plan.changes)
        return;
    // Each move, show and hide would otherwise erase the dialog at once; held, the
    // whole dialog paints once at the end, and the brush is rebuilt for that paint.
    const RedrawHold hold(*this);
    const RECT frame = GetWindowRect();
    SetWindowPos(nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + plan.offset,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    RECT tabs = tabs_.GetWindowRect();
    ScreenToClient(tabs);
    tabs_.MoveWindow(tabs.left, tabs.top, tabs.right - tabs.left, tabs.bottom - tabs.top + plan.offset, true);
    background_.MarkStale();

    TWindow* below[] = {&settings_, &ok_, &cancel_, &help_};
    for (TWindow* window : below)
        MoveDown(*window, plan.offset);

    for (int j = plan.first; j <= plan.last; ++j) {
        if (plan.show)
            rules_[j]->Enable(rulesOn_);
        rules_[j]->ShowWindow(plan.show ? SW_SHOW : SW_HIDE);
    }
    // A held dialog repaints whole when the hold ends.
    if (!redrawHolds_) {
        for (auto& pane : rules_)
            pane->Repaint();
        onOff_.Repaint();
        settings_.Repaint();
    }
    visibleRules_ = plan.visibleAfter;
}

void DetectorDialog::UpdateRuleButtons()
{
    const bool on = HasPage() && onOff_.IsOn();
    const bool canInsert = on && config_.CanInsertRule(current_);
    const bool canDelete = on && config_.CanDeleteRule(current_);
    for (int j = 0; j < visibleRules_; ++j)
        rules_[j]->UpdateButtons(canInsert, canDelete);
}

void DetectorDialog::MarkOutputTab(int output, bool on)
{
    if (output < 0 || output >= config_.GetCount() || output >= tabs_.GetCount())
        return;
    const std::wstring label = tabs_.GetItemText(output, 128);
    const std::wstring marked = OutputTab::Marked(label, on);
    if (marked != label)
        tabs_.SetItemText(output, marked);
}

void DetectorDialog::InsertRuleAfter(int rule)
{
    if (!CheckRules(true))
        return;
    {
        const RedrawHold hold(*this);
        SaveRules();
        if (config_.GetRuleCount(current_) == 0)
            config_.InsertRule(current_, -1); // the rule on show becomes real first
        config_.InsertRule(current_, rule);
        LoadRules();
    }
    // Once the dialog is visible again: while held, nothing of it counts as shown.
    KeepFocusUsable(rule, false);
}

void DetectorDialog::DeleteRule(int rule)
{
    if (!CheckRules(true))
        return;
    {
        const RedrawHold hold(*this);
        SaveRules();
        config_.DeleteRule(current_, rule);
        LoadRules();
    }
    KeepFocusUsable(std::min(rule, visibleRules_ - 1), true);
}

void DetectorDialog::KeepFocusUsable(int pane, bool preferMinus)
{
    const HWND focus = ::GetFocus();
    const bool inDialog = focus && (focus == GetHandle() || IsChild(GetHandle(), focus));
    // Hiding a pane with the focus in it leaves the focus on the dialog itself.
    if (!inDialog || (focus != GetHandle() && ::IsWindowVisible(focus) && ::IsWindowEnabled(focus)))
        return;
    if (pane >= 0 && pane < visibleRules_ && rules_[pane]->FocusRuleButton(preferMinus))
        return;
    SendMessage(WM_NEXTDLGCTL, 0, FALSE);
}

void DetectorDialog::OutputSwitched(bool on)
{
    MarkOutputTab(current_, on);
    settings_.EnableSettings(on);
    UpdateRuleButtons();
}

// Only the panes on show: each control's enabling is a trip to the window server.
void DetectorDialog::EnableRules(bool on)
{
    rulesOn_ = on;
    for (int j = 0; j < visibleRules_; ++j)
        rules_[j]->Enable(on);
}

void DetectorDialog::SetRuleWording(bool fixedWidth)
{
    for (auto& pane : rules_)
        pane->SetWording(fixedWidth);
}

InputRange DetectorDialog::GetInputRange(int input)
{
    IRecordingUnit* unit = document_ ? document_->RecordingUnit() : nullptr;
    IUnitSettings* settings = nullptr;
    if (!unit || FAILED(unit->QueryInterface(IID_IUnitSettings, reinterpret_cast<void**>(&settings))) || !settings)
        return {};
    IQLXString* text = nullptr;
    settings->GetInputSettingsText(0, input, &text);
    settings->Release();
    return InputRange::FromSettingsText(text ? QLXString::Attach(text) : QLXString());
}

bool DetectorDialog::ErasePane(HWND pane, HDC dc) const
{
    return themed_ && background_.Erase(pane, dc, tabs_.GetHandle());
}

HBRUSH DetectorDialog::PaneStaticColour(HDC dc, HWND control) const
{
    return themed_ ? background_.StaticColour(dc, control, tabs_.GetHandle()) : nullptr;
}

// Only checked values are stored: a refusal keeps the dialog open on the refused edit.
void DetectorDialog::CmOk()
{
    if (HasPage()) {
        if (!CheckPage(false))
            return;
        SaveOutputPage();
        SaveRules();
    }
    QLX::DialogBase::CmOk();
}

void DetectorDialog::CmHelp()
{
    QLX::GetHostUi().ShowHelp(L"vir_setup", L"VireoHelp");
}

// Non-zero refuses the change: the page stays until its values are accepted.
LRESULT DetectorDialog::EvTabChanging(NMHDR&)
{
    return HasPage() && !CheckPage(true) ? TRUE : FALSE;
}

void DetectorDialog::EvTabChanged()
{
    if (!HasPage())
        return;
    SaveOutputPage();
    SaveRules();
    current_ = std::clamp(tabs_.GetSel(), 0, config_.GetCount() - 1);
    // A page with another rule count resizes the dialog: nothing paints until it is
    // laid out, then everything once.
    std::optional<RedrawHold> hold;
    if (std::clamp(config_.GetRuleCount(current_), 1, RulePaneCount) != visibleRules_)
        hold.emplace(*this);
    LoadOutputPage();
    LoadRules();
    lastSelectedTab = current_;
}

LRESULT DetectorDialog::EvSysColorChange(WPARAM, LPARAM)
{
    const LRESULT result = DefaultProcessing();
    themed_ = ThemeBackground::CheckAppThemed();
    return result;
}

} // namespace OnlineEvents
