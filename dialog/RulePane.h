#pragma once
// One threshold rule of the output on show: "When" an input "goes" (or "is") "above"
// or "below" a level, with a hysteresis, and buttons that add a rule after this one or
// remove this one. Pane i always shows rule i of the dialog's current output.

#include "dialog/DetectorPane.h"
#include "dialog/ValidatingEdit.h"
#include "dialog/LevelControls.h"
#include "eventconfig/EventConfig.h"
#include "winlib/TControl.h"
#include "winlib/TGdi.h"

namespace OnlineEvents {

class DetectorDialog;

class RulePane : public DetectorPane {
public:
    RulePane(DetectorDialog& dialog, TModule* module, int index);

    int Index() const { return index_; }

    // "Input 1" to "Input count", the first selected.
    void FillInputs(int count);
    // Shows rule Index() of the current output with its input's range.
    void LoadRule();
    // Shows a new rule's defaults, for an output that has no rules yet.
    void ShowDefaultRule();
    void SetLevelRange(const InputRange& range);
    void ShowRule(const OnlineEventRule& rule);
    // The rule as the controls show it; the level is not clamped.
    OnlineEventRule ReadRule() const;

    // The output is switched on or off; the small buttons are left to UpdateButtons.
    void Enable(bool enable);
    void UpdateButtons(bool canInsert, bool canDelete);
    // Gives the focus to the minus button (or the plus button) when it can take it, so
    // a keyboard user stays at the rule after adding or removing one.
    bool FocusRuleButton(bool preferMinus);
    // "goes" for fixed-width pulses, "is" otherwise.
    void SetWording(bool fixedWidth);
    void Repaint();

    LevelControls& Level() { return level_; }

protected:
    void SetupWindow() override;

private:
    LRESULT EvHScroll(WPARAM wParam, LPARAM lParam);
    void CmPlus();
    void CmMinus();
    void EvLevelKillFocus();
    LRESULT EvUpDownDelta(NMHDR& header);
    void EvInputChanged();
    static void UpdateButton(TButton& button, bool enable);
    bool FocusButton(TButton& button);

    TButton plus_;
    TBitmap plusBitmap_;
    TButton minus_;
    TBitmap minusBitmap_;
    TComboBox inputs_;
    TComboBox aboveBelow_;
    LevelControls level_;
    IntEdit hysteresis_;
    const int index_;

    DECLARE_RESPONSE_TABLE(RulePane)
};

} // namespace OnlineEvents
