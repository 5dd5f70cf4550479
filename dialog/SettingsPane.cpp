#include "dialog/SettingsPane.h"

#include "dialog/DetectorDialog.h"
#include "dialog/LevelScale.h"
#include "resources/resource.h"

#include <string>

namespace OnlineEvents {

namespace {
constexpr int SecondsLabels[] = {IDC_PULSE_WIDTH_UNIT, IDC_PULSE_DELAY_UNIT, IDC_HOLDOFF_UNIT};
}

DEFINE_RESPONSE_TABLE(SettingsPane, DetectorPane,
                      EV_CHILD_NOTIFY(IDC_FIXED_WIDTH, BN_CLICKED, CmFixedWidth),
                      EV_CHILD_NOTIFY(IDC_LIMITED_PULSES, BN_CLICKED, CmLimitedPulses))

SettingsPane::SettingsPane(DetectorDialog& dialog, TModule* module, const OutputLimits& limits)
    : DetectorPane(dialog, IDD_SETTINGS_PANE, module), fixedWidth_(this, IDC_FIXED_WIDTH),
      pulseWidth_(this, IDC_PULSE_WIDTH, 0.0, MaxPulseWidth), delayLabel_(this, IDC_DELAY_LABEL),
      pulseDelay_(this, IDC_PULSE_DELAY, 0.0, limits.maxPulseDelay), limitedPulses_(this, IDC_LIMITED_PULSES),
      pulseCount_(this, IDC_PULSE_COUNT, MaxPulseCount), holdoffLabel_(this, IDC_HOLDOFF_LABEL),
      holdoff_(this, IDC_HOLDOFF, 0.0, limits.maxRetriggerHoldoff)
{
}

void SettingsPane::Load(const OnlineEvent& output)
{
    fixedWidth_.SetCheck(output.LimitedDuration ? BST_CHECKED : BST_UNCHECKED);
    pulseWidth_.SetValue(output.PulseDuration);
    pulseDelay_.SetValue(output.PulseDelay);
    limitedPulses_.SetCheck(output.LimitedNumPulses ? BST_CHECKED : BST_UNCHECKED);
    pulseCount_.SetWindowTextIfChanged(std::to_wstring(output.PulseNumLimit));
    holdoffLabel_.EnableWindow(output.RetriggerHoldoff);
    holdoff_.SetValue(output.RetriggerHoldoffTime);
}

void SettingsPane::Save(OnlineEvent& output) const
{
    output.LimitedDuration = fixedWidth_.IsChecked();
    output.PulseDuration = pulseWidth_.GetValue();
    output.PulseDelay = pulseDelay_.GetValue();
    output.LimitedNumPulses = limitedPulses_.IsChecked();
    output.PulseNumLimit = LeadingInteger(pulseCount_.GetWindowText());
    // The hold-off has no switch of its own: it applies to fixed-width pulses.
    output.RetriggerHoldoff = fixedWidth_.IsChecked();
    output.RetriggerHoldoffTime = holdoff_.GetValue();
}

void SettingsPane::EnableSettings(bool on)
{
    TWindow* controls[] = {&fixedWidth_, &limitedPulses_, &pulseWidth_, &pulseDelay_,
                           &pulseCount_, &holdoff_,       &holdoffLabel_, &delayLabel_};
    for (TWindow* control : controls)
        control->EnableWindow(on);
    for (int id : SecondsLabels)
        SetWindowEnabled(GetDlgItem(id), on);
    dialog_.EnableRules(on);
    if (!on)
        return;
    SetFixedWidth(fixedWidth_.IsChecked());
    pulseCount_.EnableWindow(limitedPulses_.IsChecked());
}

void SettingsPane::SetFixedWidth(bool fixed)
{
    pulseWidth_.EnableWindow(fixed);
    holdoffLabel_.EnableWindow(fixed);
    holdoff_.EnableWindow(fixed);
    dialog_.SetRuleWording(fixed);
}

void SettingsPane::Repaint()
{
    Invalidate();
    TWindow* controls[] = {&fixedWidth_, &pulseWidth_,   &delayLabel_, &pulseDelay_,
                           &limitedPulses_, &pulseCount_, &holdoffLabel_, &holdoff_};
    for (TWindow* control : controls)
        control->Invalidate();
}

void SettingsPane::CmFixedWidth() { SetFixedWidth(fixedWidth_.IsChecked()); }

void SettingsPane::CmLimitedPulses() { pulseCount_.EnableWindow(limitedPulses_.IsChecked()); }



} // namespace OnlineEvents
