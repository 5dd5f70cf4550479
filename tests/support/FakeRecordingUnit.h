#pragma once
// A recording unit whose shape the test sets: inputs with their settings texts, analog
// outputs and digital output groups, with failures and bad answers on request.

#include "foundation/QLXString.h"
#include "hostapi/HostInterfaces.h"

#include <string>
#include <vector>

namespace VireoTest {

class FakeOutputGroup : public IDigitalOutputGroup {
public:
    FakeOutputGroup(LONG lines, HRESULT status, long& live) : lines_(lines), status_(status), live_(live) { ++live_; }
    virtual ~FakeOutputGroup() { --live_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG count = --refs_;
        if (count == 0)
            delete this;
        return count;
    }
    HRESULT STDMETHODCALLTYPE GetLineCount(LONG* count) override
    {
        *count = lines_;
        return status_;
    }

private:
    ULONG refs_ = 1;
    LONG lines_;
    HRESULT status_;
    long& live_;
};

class FakeRecordingUnit : public IRecordingUnit, public IUnitSettings {
public:
    struct Group {
        LONG lines;
        HRESULT countStatus = S_OK;
        bool available = true; // false: the unit fails to hand out this group
    };

    LONG inputs = 0;
    // The settings of the first inputs: the PhysicalGainIndex value, or a whole settings
    // text when it starts with "<".
    std::vector<std::wstring> ranges;
    LONG analogOutputs = 0;
    std::vector<Group> groups;
    HRESULT groupCountStatus = S_OK;
    long liveGroups = 0; // groups handed out and not yet released

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRecordingUnit))
            *object = static_cast<IRecordingUnit*>(this);
        else if (IsEqualIID(iid, IID_IUnitSettings))
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
        *count = inputs;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) override
    {
        *count = analogOutputs;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) override
    {
        *count = static_cast<LONG>(groups.size());
        return groupCountStatus;
    }
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG index, IDigitalOutputGroup** group) override
    {
        *group = nullptr;
        if (index < 0 || static_cast<size_t>(index) >= groups.size() || !groups[index].available)
            return E_FAIL;
        *group = new FakeOutputGroup(groups[index].lines, groups[index].countStatus, liveGroups);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStimulatorSettings(IStimulatorSettings** settings) override
    {
        *settings = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetInputSettingsText(DWORD, LONG input, IQLXString** text) override
    {
        *text = nullptr;
        if (input < 0 || input >= static_cast<LONG>(ranges.size()))
            return E_INVALIDARG;
        const std::wstring& range = ranges[input];
        const std::wstring xml =
            !range.empty() && range[0] == L'<'
                ? range
                : L"<Input><Coupling>DC</Coupling><PhysicalGainIndex>" + range + L"</PhysicalGainIndex></Input>";
        *text = QLXString(xml.c_str()).GetInterface();
        return S_OK;
    }
};

} // namespace VireoTest
