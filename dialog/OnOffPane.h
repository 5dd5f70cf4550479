#pragma once
// The top of each output page: "Generate output when" all/any "of the following
// conditions are met:".

#include "dialog/DetectorPane.h"
#include "eventconfig/EventConfig.h"
#include "winlib/TControl.h"

namespace OnlineEvents {

class DetectorDialog;

class OnOffPane : public DetectorPane {
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

    TCheckBox on_;
    TComboBox allAny_;

    DECLARE_RESPONSE_TABLE(OnOffPane)
};

} // namespace OnlineEvents
