#include "dialog/OnOffPane.h"

#include "dialog/DetectorDialog.h"
#include "foundation/ModuleInstance.h"
#include "resources/resource.h"

namespace OnlineEvents {

DEFINE_RESPONSE_TABLE(OnOffPane, DetectorPane,
                      EV_CHILD_NOTIFY(IDC_OUTPUT_ON, BN_CLICKED, CmOutputOn))

OnOffPane::OnOffPane(DetectorDialog& dialog, TModule* module)
    : DetectorPane(dialog, IDD_ONOFF_PANE, module), on_(this, IDC_OUTPUT_ON), allAny_(this, IDC_ALL_ANY)
{
}

void OnOffPane::SetupWindow()
{
    QLX::DialogBase::SetupWindow();
    // The check box's background comes from the pane's static colour answer, which
    // makes it transparent over the themed brush.
    HINSTANCE instance = QLX::GetModuleInstance();
    allAny_.AddString(LoadResourceString(instance, IDS_ALL).c_str());
    allAny_.AddString(LoadResourceString(instance, IDS_ANY).c_str());
    allAny_.SetSelIndex(0);
}

void OnOffPane::Load(const OnlineEvent& output)
{
    on_.SetCheck(output.On ? BST_CHECKED : BST_UNCHECKED);
    allAny_.SetSelIndex(output.All ? 0 : 1);
}

void OnOffPane::Save(OnlineEvent& output) const
{
    output.On = on_.IsChecked();
    output.All = allAny_.GetSelIndex() == 0;
}

void OnOffPane::EnableSwitch(bool enable)
{
    on_.EnableWindow(enable);
    allAny_.EnableWindow(enable);
}

void OnOffPane::Repaint()
{
    Invalidate();
    on_.Invalidate();
    allAny_.Invalidate();
}

void OnOffPane::CmOutputOn() { dialog_.OutputSwitched(on_.IsChecked()); }



} // namespace OnlineEvents
