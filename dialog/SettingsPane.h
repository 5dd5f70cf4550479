#pragma once
// The bottom of each output page: the pulse the output gives - its fixed width, the
// delay before it, a limited number of pulses and the wait before it may fire again -
// and which of these controls are usable.

#include "dialog/DetectorPane.h"
#include "dialog/ValidatingEdit.h"
#include "eventconfig/EventConfig.h"
#include "hostapi/HostInterfaces.h"
#include "winlib/TControl.h"

namespace OnlineEvents {

class DetectorDialog;

class SettingsPane : public DetectorPane {
public:
    static constexpr double MaxPulseWidth = 60.0;
    static constexpr int MaxPulseCount = 30000;

    SettingsPane(DetectorDialog& dialog, TModule* module, const OutputLimits& limits);

    // Fills the controls; the enabling rules are the caller's next step.
    void Load(const OnlineEvent& output);
    void Save(OnlineEvent& output) const;

    // Everything below the on/off pane follows the output's on/off state.
    void EnableSettings(bool on);
    // Pulse width and hold-off follow "Fixed width pulse:", as does the rules' wording.
    void SetFixedWidth(bool fixed);
    void Repaint();

private:
    void CmFixedWidth();
    void CmLimitedPulses();

    TCheckBox fixedWidth_;
    DoubleEdit pulseWidth_;
    TStatic delayLabel_;
    DoubleEdit pulseDelay_;
    TCheckBox limitedPulses_;
    IntEdit pulseCount_;
    TStatic holdoffLabel_;
    DoubleEdit holdoff_;

    DECLARE_RESPONSE_TABLE(SettingsPane)
};

} // namespace OnlineEvents
