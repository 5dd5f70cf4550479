// The setup run of the online-events document: the checks before the dialog, the
// modal dialog on a working copy, and the hand-over of its result as settings.

#include "dialog/DetectorDialog.h"
#include "extension/ComAccess.h"
#include "extension/OnlineEventsDoc.h"
#include "foundation/ModuleInstance.h"
#include "foundation/StringStreams.h"
#include "foundation/XQLX.h"
#include "resources/resource.h"

#include <memory>
#include <string>

namespace OnlineEvents {
namespace {

constexpr DWORD ApplySettingsMessage = 2;
// Bit 0 of the handler state word asks for the settings to go out without options.
constexpr DWORD QuietSendState = 1;
constexpr DWORD ApplySendOption = 1;

bool IsSampling(IRecordingUnit* unit)
{
    SHORT sampling = 0;
    return SUCCEEDED(unit->GetSamplingState(&sampling)) && sampling != 0;
}

} // namespace

LONG Doc::OnRunSetup()
{
    try {
        RunSetup();
    } catch (...) {
        LogFailure(L"run setup");
        ShowMessage(IDS_INTERNAL_ERROR_TEXT, IDS_INTERNAL_ERROR_CAPTION, MB_ICONERROR);
    }
    // The message goes on to the framework after the document in every case.
    return 1;
}

void Doc::ShowUnsupportedDevice()
{
    const HINSTANCE module = QLX::GetModuleInstance();
    QLXString name;
    if (!GetMasterDeviceName(name) || name.IsEmpty())
        name = LoadResourceString(module, IDS_NO_DEVICE, false);
    QLX::OFormatStringStream text(LoadResourceString(module, IDS_UNSUPPORTED_DEVICE_TEXT, false));
    text << name;
    const QLXString caption = LoadResourceString(module, IDS_UNSUPPORTED_DEVICE_CAPTION, false);
    MessageBoxW(MessageOwner(), text.TakeString().c_str(), caption.c_str(), MB_ICONERROR | MB_TASKMODAL);
}

void Doc::RunSetup()
{
    if (!IsFeatureSupported()) {
        ShowUnsupportedDevice();
        return;
    }
    // The dialog edits the outputs the unit has; the others stay in the document.
    auto working = std::make_unique<EventConfig>();
    working->InitFromDevice(unit_.get());
    working->CopyFrom(*configuration_, false);
    // A unit without outputs has nothing to set up: for this feature it is no suitable device.
    if (working->GetCount() == 0) {
        ShowUnsupportedDevice();
        return;
    }

    if (!unit_)
        return;
    // Held here: the dialog's messages may attach the document to another unit.
    const ComHeld<IRecordingUnit> unit = HoldReference(unit_.get());
    const ComHeld<IOnlineEventControl> control = Control();
    if (!control)
        return;
    SHORT supported = 0;
    SHORT active = 0;
    control->IsSupported(&supported);
    if (FAILED(control->IsActive(&active)))
        active = 0;
    if (IsSampling(unit.get()) && !active) {
        ShowMessage(IDS_SAMPLING_TEXT, IDS_SAMPLING_CAPTION, MB_ICONERROR | MB_TASKMODAL);
        return;
    }
    OutputLimits limits{};
    limits.size = sizeof(OutputLimits);
    if (control->GetOutputLimits(&limits) != S_OK)
        return;
    if (!RunDialog(*working, limits))
        return;
    // Settings the document never got are an internal error, and the unit keeps what it runs.
    const HRESULT sent = SendSettings(*working);
    if (FAILED(sent))
        throw XHResult(sent);
    // A sampling unit goes on with the new settings; otherwise they wait for the next start.
    if (!IsSampling(unit.get()))
        control->SwitchOff();
}

bool Doc::RunDialog(EventConfig& working, const OutputLimits& limits)
{
    DetectorDialog dialog(MessageOwner(), nullptr, limits, working, this);
    if (dialog.Execute() != IDOK)
        return false;
    EventConfig& result = dialog.Configuration();
    if (&result != &working)
        working = result;
    return true;
}

HRESULT Doc::SendSettings(const EventConfig& working)
{
    std::string text;
    working.Serialize(text);
    const DWORD option = (GetEventHandlerState() & QuietSendState) ? 0 : ApplySendOption;
    return Send(DocumentGroup() + ApplySettingsMessage, option, QLXString::FromNarrow(text.c_str(), 0));
}

} // namespace OnlineEvents
