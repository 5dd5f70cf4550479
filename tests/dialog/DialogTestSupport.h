#pragma once
// A recording unit that describes its inputs' ranges and a document around it, for
// driving the setup dialog without a host.

#include "dialog/DetectorDocument.h"
#include "eventconfig/EventConfig.h"
#include "extension/HostInterfaces.h"

#include <string>
#include <vector>

namespace DialogTest {

class FakeUnit : public IRecordingUnit, public IUnitSettings {
public:
    // One entry per input: the PhysicalGainIndex value, or a whole settings text when
    // it starts with "<".
    std::vector<std::wstring> ranges;
    bool hasSettings = true;
    int rangeQueries = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRecordingUnit))
            *object = static_cast<IRecordingUnit*>(this);
        else if (IsEqualIID(iid, IID_IUnitSettings) && hasSettings)
            *object = static_cast<IUnitSettings*>(this);
        return *object ? S_OK : E_NOINTERFACE;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetSamplingState(SHORT* sampling) override
    {
        *sampling = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputCount(LONG* count) override
    {
        *count = static_cast<LONG>(ranges.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG, IDigitalOutputGroup** group) override
    {
        *group = nullptr;
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetStimulatorSettings(IStimulatorSettings** settings) override
    {
        *settings = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetInputSettingsText(DWORD, LONG input, IQLXString** text) override
    {
        ++rangeQueries;
        *text = nullptr;
        if (input < 0 || input >= static_cast<LONG>(ranges.size()))
            return E_INVALIDARG;
        const std::wstring& range = ranges[input];
        const std::wstring xml = !range.empty() && range[0] == L'<'
                                     ? range
                                     : L"<Input><Coupling>DC</Coupling><PhysicalGainIndex>" + range +
                                           L"</PhysicalGainIndex></Input>";
        *text = QLXString(xml.c_str()).GetInterface();
        return S_OK;
    }
};

class FakeDocument : public OnlineEvents::DetectorDocument {
public:
    explicit FakeDocument(FakeUnit* unit) : unit_(unit) {}
    std::wstring name = L"Korvane 8/35";
    bool nameKnown = true;

    bool GetMasterDeviceName(QLXString& out) override
    {
        if (!nameKnown)
            return false;
        out = QLXString(name.c_str());
        return true;
    }
    IRecordingUnit* RecordingUnit() const override { return unit_; }

private:
    FakeUnit* unit_;
};

// A configuration shaped like a unit: analog then digital outputs, one default rule each.
inline EventConfig MakeConfig(int analog, int digital, int inputs)
{
    EventConfig config;
    config.SetOutputCounts(analog, digital);
    config.AddDefaultRule();
    config.InputCount = inputs;
    return config;
}

} // namespace DialogTest
