#include "extension/OnlineEventsDoc.h"

#include "extension/ComAccess.h"
#include "extension/FrameworkServices.h"
#include "extension/KXFObjects.h"
#include "extension/OutputRecord.h"
#include "foundation/ModuleInstance.h"
#include "foundation/StartupLog.h"
#include "foundation/XQLX.h"
#include "resources/resource.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace OnlineEvents {
namespace {

// Offsets within the groups.
using OnlineEventsContract::ApplySettingsOffset;
using OnlineEventsContract::RunSetupOffset;
using OnlineEventsContract::SetupCommandOffset;
constexpr DWORD UnitSettingsChanged = 0;
constexpr DWORD UnitAttached = 13;
constexpr DWORD OutputsRestart = 15;
constexpr DWORD OutputsStop = 16;
constexpr DWORD DeviceChanged = 18;
// The run-setup message is posted rather than handled inside the menu command.
constexpr DWORD RunSetupSendOption = 4;
constexpr DWORD CheckStyle = 3;

DWORD SetupCommandNumber()
{
    return Doc::DocumentGroup() + SetupCommandOffset;
}
DWORD ApplySettingsNumber()
{
    return Doc::DocumentGroup() + ApplySettingsOffset;
}
DWORD RunSetupNumber()
{
    return Doc::DocumentGroup() + RunSetupOffset;
}
DWORD UnitSettingsNumber()
{
    return Doc::UnitEventGroup() + UnitSettingsChanged;
}
DWORD UnitAttachedNumber()
{
    return Doc::UnitEventGroup() + UnitAttached;
}
DWORD OutputsRestartNumber()
{
    return Doc::UnitEventGroup() + OutputsRestart;
}
DWORD OutputsStopNumber()
{
    return Doc::UnitEventGroup() + OutputsStop;
}
DWORD DeviceChangedNumber()
{
    return Doc::DeviceEventGroup() + DeviceChanged;
}

// The host's state service: the registry's object numbered by the device group.
IKXFStateService* StateService()
{
    return GetRegistryObject<IKXFStateService>(Doc::DeviceEventGroup(), IID_IKXFStateService);
}

bool AnyOutputOn(const EventConfig& configuration)
{
    const int count = configuration.AnalogOutputCount + configuration.DigitalOutputCount;
    for (int i = 0; i < count && i < configuration.GetCount(); ++i)
        if (configuration.GetEvent(i).On)
            return true;
    return false;
}

} // namespace

KXFTableEntry Doc::s_eventTable[] = {
    KXFTable::Header(),
    KXFTable::Execute<Doc>(&SetupCommandNumber, &Doc::OnSetupExecute),
    KXFTable::Update<Doc>(&SetupCommandNumber, &Doc::OnSetupUpdate),
    KXFTable::Notification<Doc>(&UnitAttachedNumber, &Doc::OnUnitAttached),
    KXFTable::Notification<Doc>(&OutputsRestartNumber, &Doc::OnOutputsRestart),
    KXFTable::Notification<Doc>(&DeviceChangedNumber, &Doc::OnUnitAttached),
    KXFTable::Notification<Doc>(&OutputsStopNumber, &Doc::OnOutputsStop),
    KXFTable::FlagNotification<Doc>(&UnitSettingsNumber, &Doc::OnUnitSettingsChanged),
    KXFTable::Message<Doc>(&RunSetupNumber, &Doc::OnRunSetup),
    KXFTable::TextMessage<Doc>(&ApplySettingsNumber, &Doc::OnApplySettings),
    KXFTable::End(),
};

void Doc::LogFailure(const wchar_t* handler)
{
    QLX::LogCaughtFailure(L"OnlineEvents::Doc", handler);
}

DWORD Doc::DocumentGroup()
{
    static const DWORD group = KXFObjects::IdGroupBase(CLSID_OnlineEventsDocument);
    return group;
}

DWORD Doc::UnitEventGroup()
{
    static const DWORD group = KXFObjects::IdGroupBase(GUID_UnitEventGroup);
    return group;
}

DWORD Doc::DeviceEventGroup()
{
    static const DWORD group = KXFObjects::IdGroupBase(GUID_DeviceEventGroup);
    return group;
}

Doc::Doc(IUnknown* owner, IUnknown* classObject)
    : VarnChildDocument(owner, classObject), persistence_(*this), configuration_(new EventConfig)
{
    AttachUnit();
}

Doc::~Doc()
{
    unitObject_.reset();
    unit_.reset();
    configuration_.reset();
}

HRESULT STDMETHODCALLTYPE Doc::QueryPersistence(DWORD flag, DWORD kind, IUnknown** persistence, DWORD* extra)
{
    if (extra)
        *extra = 0;
    if (!persistence)
        return E_POINTER;
    *persistence = nullptr;
    if (flag != 0 || kind != 2)
        return 1;
    *persistence = &persistence_;
    persistenceAttached_ = true;
    return 0;
}

void Doc::AttachUnit()
{
    ComHeld<IDeviceObject> device;
    if (IHardwareLink* link = HardwareLink())
        Receive(device, [&](IDeviceObject** out) { return link->GetCurrentDevice(out); });
    unitObject_ = std::move(device);
    unit_.reset(Ask<IRecordingUnit>(unitObject_.get(), IID_IRecordingUnit));
}

ComHeld<IOnlineEventControl> Doc::Control() const
{
    return ComHeld<IOnlineEventControl>(Ask<IOnlineEventControl>(unit_.get(), IID_IOnlineEventControl));
}

bool Doc::IsFeatureSupported()
{
    const ComHeld<IOnlineEventControl> control = Control();
    SHORT supported = 0;
    return control && SUCCEEDED(control->IsSupported(&supported)) && supported != 0;
}

bool Doc::ApplyToUnit(const EventConfig& configuration, IRecordingUnit* unit)
{
    const ComHeld<IOnlineEventControl> control(Ask<IOnlineEventControl>(unit, IID_IOnlineEventControl));
    if (!control)
        return false;
    bool accepted = true;
    EventConfig shaped;
    shaped.InitFromDevice(unit);
    shaped.CopyFrom(configuration, false);
    // Rules on inputs the unit lacks, or on no input at all, go out on input 0.
    const int count = shaped.AnalogOutputCount + shaped.DigitalOutputCount;
    for (int i = 0; i < count && i < shaped.GetCount(); ++i)
        for (OnlineEventRule& rule : shaped.GetEvent(i).Rules)
            if (rule.Input >= shaped.InputCount || rule.Input < 0)
                rule.Input = 0;
    for (int i = 0; i < shaped.GetCount(); ++i) {
        const OutputRecord record = BuildOutputRecord(shaped.GetEvent(i));
        if (control->SetOutput(record.data()) != 0)
            accepted = false;
    }
    return accepted;
}

bool Doc::GetMasterDeviceName(QLXString& name)
{
    name = QLXString();
    if (!unitObject_)
        return false;
    ComHeld<IDeviceProperties> properties;
    if (FAILED(Receive(properties, [&](IDeviceProperties** out) { return unitObject_->GetPropertyObject(0, out); })) ||
        !properties)
        return false;
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = properties->GetProperty(DeviceProperty_Name, &value);
    properties.reset();
    if (hr == 0 && value.vt == VT_BSTR && value.bstrVal)
        name = QLXString(static_cast<const wchar_t*>(value.bstrVal));
    VariantClear(&value);
    return hr == 0;
}

HWND Doc::MessageOwner()
{
    HWND window = nullptr;
    if (auto* host = GetFrameworkService<IHostApplication>(CLSID_HostApplication, IID_IHostApplication))
        if (FAILED(host->GetMainWindow(&window)))
            window = nullptr;
    return window;
}

void Doc::ShowMessage(UINT textId, UINT captionId, UINT style)
{
    const HINSTANCE module = QLX::GetModuleInstance();
    const QLXString text = LoadResourceString(module, textId, true);
    const QLXString caption = LoadResourceString(module, captionId, true);
    MessageBoxW(MessageOwner(), text.c_str(), caption.c_str(), style);
}

void Doc::RegisterPersistence()
{
    IKXFLink* owner = OwnerLink();
    if (!owner)
        return;
    ComHeld<IKXFStreamStorage> storage;
    if (FAILED(Receive(storage, [&](void** out) { return owner->GetLinkedObject(IID_IKXFStreamStorage, out); })) ||
        !storage)
        return;
    ComHeld<IQLXString> unused;
    const HRESULT registered = Receive(unused, [&](IQLXString** out) {
        return storage->RegisterStream(BindingLink(), 0, &persistence_, 0, 0, out);
    });
    // A refused registration is tried again with the next settings.
    if (SUCCEEDED(registered))
        persistenceAttached_ = true;
}

void Doc::OnSetupExecute()
{
    try {
        const HRESULT sent = Send(RunSetupNumber(), RunSetupSendOption);
        if (FAILED(sent))
            throw XHResult(sent);
    } catch (...) {
        LogFailure(L"setup command");
    }
}

void Doc::OnSetupUpdate(IKXFCommandState* state)
{
    if (!state)
        return;
    try {
        WORD locked = 0;
        if (IKXFStateService* service = StateService())
            if (FAILED(service->GetLockFlag(&locked)))
                locked = 0;
        bool checked = false;
        if (!locked && IsFeatureSupported()) {
            EventConfig shown;
            shown.InitFromDevice(unit_.get());
            shown.CopyFrom(*configuration_, false);
            checked = AnyOutputOn(shown);
        }
        state->Enable(locked ? KXFCommand_Disabled : KXFCommand_Enabled);
        state->Check(checked ? 1 : 0, CheckStyle);
    } catch (...) {
        LogFailure(L"menu state");
    }
}

void Doc::OnUnitAttached()
{
    try {
        AttachUnit();
        if (IsFeatureSupported())
            ApplyConfiguration();
    } catch (...) {
        LogFailure(L"unit attached");
    }
}

void Doc::OnOutputsRestart()
{
    try {
        const bool anyOn = AnyOutputOn(*configuration_);
        {
            const ComHeld<IOnlineEventControl> control = Control();
            if (!control)
                return;
            if (!anyOn)
                control->SwitchOff();
        }
        if (anyOn)
            ApplyConfiguration();
    } catch (...) {
        LogFailure(L"outputs restart");
    }
}

void Doc::OnOutputsStop()
{
    if (const ComHeld<IOnlineEventControl> control = Control())
        control->SwitchOff();
}

void Doc::OnUnitSettingsChanged(BYTE flag)
{
    try {
        if (!flag)
            return;
        if (!Control())
            return;
        // Only the first analog output that is on matters: the stimulator shares them all.
        for (int i = 0; i < configuration_->GetCount(); ++i) {
            const OnlineEvent& event = configuration_->GetEvent(i);
            if (event.Output <= 0 || !event.On)
                continue;
            const ComHeld<IUnitSettings> settings(Ask<IUnitSettings>(unit_.get(), IID_IUnitSettings));
            if (!settings)
                return;
            ComHeld<IStimulatorSettings> stimulator;
            SHORT enabled = 0;
            if (SUCCEEDED(Receive(stimulator, [&](IStimulatorSettings** out) {
                    return settings->GetStimulatorSettings(out);
                })) &&
                stimulator && FAILED(stimulator->IsEnabled(&enabled)))
                enabled = 0;
            if (enabled)
                ShowMessage(IDS_STIMULATOR_TEXT, IDS_STIMULATOR_CAPTION, MB_ICONINFORMATION);
            return;
        }
    } catch (...) {
        LogFailure(L"unit settings changed");
    }
}

LONG Doc::OnApplySettings(const QLXString& text)
{
    try {
        QLXString copy = text;
        const char* narrow = copy.NarrowText();
        // A text that cannot be read leaves the document and the unit as they were.
        EventConfig received;
        if (!received.Parse(narrow ? std::string(narrow) : std::string()))
            throw std::runtime_error("Online Events: Unreadable settings text.");
        configuration_->CopyFrom(received, true);
        if (!persistenceAttached_)
            RegisterPersistence();
        modified_ = true;
        ApplyConfiguration();
        return 1;
    } catch (...) {
        // Storage and framework errors end here as well: nothing leaves the handler.
        LogFailure(L"apply settings");
        ShowMessage(IDS_INTERNAL_ERROR_TEXT, IDS_INTERNAL_ERROR_CAPTION, MB_ICONERROR);
        return 0;
    }
}

} // namespace OnlineEvents
