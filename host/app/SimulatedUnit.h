#pragma once
// The simulated recording unit: the device object of the current master device,
// a recording unit of the shape its model gives, and a recorder of every output
// record and switch-off it is sent.

#include "UnitCalls.h"
#include "UnitModel.h"

#include "hostapi/HostInterfaces.h"

#include <vector>

namespace VireoHost {

class SimulatedUnit : public IDeviceObject,
                      public IRecordingUnit,
                      public IOnlineEventControl,
                      public IUnitSettings,
                      public IDeviceProperties,
                      public IStimulatorSettings {
public:
    // One reference for the caller.
    explicit SimulatedUnit(const UnitModel& model);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDeviceObject
    HRESULT STDMETHODCALLTYPE GetPropertyObject(DWORD which, IDeviceProperties** properties) override;
    // IRecordingUnit
    HRESULT STDMETHODCALLTYPE GetSamplingState(SHORT* sampling) override;
    HRESULT STDMETHODCALLTYPE GetInputCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG index, IDigitalOutputGroup** group) override;
    // IOnlineEventControl
    HRESULT STDMETHODCALLTYPE IsSupported(SHORT* supported) override;
    HRESULT STDMETHODCALLTYPE IsActive(SHORT* active) override;
    HRESULT STDMETHODCALLTYPE GetOutputLimits(OutputLimits* limits) override;
    HRESULT STDMETHODCALLTYPE SetOutput(const void* record) override;
    HRESULT STDMETHODCALLTYPE SwitchOff() override;
    // IUnitSettings
    HRESULT STDMETHODCALLTYPE GetStimulatorSettings(IStimulatorSettings** settings) override;
    HRESULT STDMETHODCALLTYPE GetInputSettingsText(DWORD reserved, LONG input, IQLXString** text) override;
    // IDeviceProperties
    HRESULT STDMETHODCALLTYPE GetProperty(DWORD key, VARIANT* value) override;
    // IStimulatorSettings
    HRESULT STDMETHODCALLTYPE IsEnabled(SHORT* enabled) override;

    const UnitModel& Model() const { return model_; }
    UnitModel& Model() { return model_; }
    const std::vector<UnitCall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

private:
    virtual ~SimulatedUnit() = default;

    volatile LONG refs_ = 1;
    UnitModel model_;
    std::vector<UnitCall> calls_;
};

} // namespace VireoHost
