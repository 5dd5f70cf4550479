#include "SimulatedUnit.h"
#include "HostString.h"

#include "host/HostCom.h"

#include <cstring>
#include <new>

namespace VireoHost {

using HostCom::GiveOut;
using HostCom::ReleaseWith;

namespace {

// One digital output group; it only knows its line count.
class OutputGroup : public IDigitalOutputGroup {
public:
    explicit OutputGroup(LONG lines) : lines_(lines) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<IDigitalOutputGroup*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseWith(refs_, [this] { delete this; }); }
    HRESULT STDMETHODCALLTYPE GetLineCount(LONG* count) override
    {
        return GiveOut(count, lines_);
    }

private:
    virtual ~OutputGroup() = default;
    volatile LONG refs_ = 1;
    LONG lines_;
};

} // namespace

SimulatedUnit::SimulatedUnit(const UnitModel& model) : model_(model) {}

HRESULT SimulatedUnit::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDeviceObject))
        *object = static_cast<IDeviceObject*>(this);
    else if (IsEqualIID(iid, IID_IRecordingUnit))
        *object = static_cast<IRecordingUnit*>(this);
    else if (IsEqualIID(iid, IID_IOnlineEventControl) && model_.control)
        *object = static_cast<IOnlineEventControl*>(this);
    else if (IsEqualIID(iid, IID_IUnitSettings) && model_.settings)
        *object = static_cast<IUnitSettings*>(this);
    else if (IsEqualIID(iid, IID_IDeviceProperties))
        *object = static_cast<IDeviceProperties*>(this);
    else if (IsEqualIID(iid, IID_IStimulatorSettings))
        *object = static_cast<IStimulatorSettings*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG SimulatedUnit::AddRef()
{
    return InterlockedIncrement(&refs_);
}

ULONG SimulatedUnit::Release()
{
    return ReleaseWith(refs_, [this] { delete this; });
}

HRESULT SimulatedUnit::GetPropertyObject(DWORD, IDeviceProperties** properties)
{
    if (!properties)
        return E_POINTER;
    *properties = static_cast<IDeviceProperties*>(this);
    AddRef();
    return S_OK;
}

HRESULT SimulatedUnit::GetSamplingState(SHORT* sampling)
{
    return GiveOut(sampling, model_.sampling ? -1 : 0);
}

HRESULT SimulatedUnit::GetInputCount(LONG* count)
{
    return GiveOut(count, static_cast<LONG>(model_.inputRanges.size()));
}

HRESULT SimulatedUnit::GetAnalogOutputCount(LONG* count)
{
    return GiveOut(count, model_.analogOutputs);
}

HRESULT SimulatedUnit::GetDigitalOutputGroupCount(LONG* count)
{
    return GiveOut(count, static_cast<LONG>(model_.digitalGroups.size()));
}

HRESULT SimulatedUnit::GetDigitalOutputGroup(LONG index, IDigitalOutputGroup** group)
{
    if (!group)
        return E_POINTER;
    *group = nullptr;
    if (index < 0 || index >= static_cast<LONG>(model_.digitalGroups.size()))
        return E_INVALIDARG;
    *group = new (std::nothrow) OutputGroup(model_.digitalGroups[static_cast<size_t>(index)]);
    return *group ? S_OK : E_OUTOFMEMORY;
}

HRESULT SimulatedUnit::IsSupported(SHORT* supported)
{
    return GiveOut(supported, model_.supported ? -1 : 0);
}

HRESULT SimulatedUnit::IsActive(SHORT* active)
{
    return GiveOut(active, model_.active ? -1 : 0);
}

HRESULT SimulatedUnit::GetOutputLimits(OutputLimits* limits)
{
    if (!limits || limits->size != sizeof(OutputLimits))
        return E_INVALIDARG;
    if (model_.limitsFail)
        return E_FAIL;
    limits->maxPulseDelay = model_.maxPulseDelay;
    limits->maxRetriggerHoldoff = model_.maxHoldoff;
    return S_OK;
}

HRESULT SimulatedUnit::SetOutput(const void* record)
{
    if (!record)
        return E_POINTER;
    UnitCall call;
    std::memcpy(call.record.data(), record, RecordSize);
    calls_.push_back(call);
    return S_OK;
}

HRESULT SimulatedUnit::SwitchOff()
{
    UnitCall call;
    call.switchOff = true;
    calls_.push_back(call);
    return S_OK;
}

HRESULT SimulatedUnit::GetStimulatorSettings(IStimulatorSettings** settings)
{
    if (!settings)
        return E_POINTER;
    *settings = static_cast<IStimulatorSettings*>(this);
    AddRef();
    return S_OK;
}

HRESULT SimulatedUnit::GetInputSettingsText(DWORD, LONG input, IQLXString** text)
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    const std::wstring settings = model_.InputSettingsText(input);
    if (settings.empty())
        return E_INVALIDARG;
    *text = NewHostString(settings);
    return *text ? S_OK : E_OUTOFMEMORY;
}

HRESULT SimulatedUnit::GetProperty(DWORD key, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantInit(value);
    if (key != DeviceProperty_Name)
        return DISP_E_MEMBERNOTFOUND;
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(model_.name.c_str());
    return S_OK;
}

HRESULT SimulatedUnit::IsEnabled(SHORT* enabled)
{
    return GiveOut(enabled, model_.stimulator ? -1 : 0);
}

} // namespace VireoHost
