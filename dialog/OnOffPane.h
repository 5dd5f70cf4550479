#pragma once
// The top of each output page: "Generate output when" all/any "of the following
// conditions are met:".

#include "dialog/DialogBase.h"
#include "eventconfig/EventConfig.h"
#include "winlib/TControl.h"

namespace OnlineEvents {

class DetectorDialog;

class OnOffPane : public QLX::DialogBase {
public:
    OnOffPane(DetectorDialog& dialog, TModule* module);

    void Load(const OnlineEvent& output);
    void Save(OnlineEvent& output) const;
    bool IsOn() const { return on_.IsChecked(); }
    // A page without an output: nothing to switch.
    void EnableSwitch(bool enable);
    void Repaint();

protected:
    void SetupWindow() override;

private:
    void CmOutputOn();
    LRESULT EvEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT EvCtlColorStatic(WPARAM wParam, LPARAM lParam);

    TCheckBox on_;
    TComboBox allAny_;
    DetectorDialog& dialog_;

    DECLARE_RESPONSE_TABLE(OnOffPane)
};

} // namespace OnlineEvents
