#pragma once
// A recording unit that describes its inputs' ranges and a document around it, for
// driving the setup dialog without a host.

#include "dialog/DetectorDialog.h"
#include "dialog/DetectorDocument.h"
#include "eventconfig/EventConfig.h"
#include "extension/HostInterfaces.h"

#include <commctrl.h>

#include <memory>
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

// The window text of a control.
inline std::wstring Text(HWND window)
{
    wchar_t buffer[256] = L"";
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

// Whether the window carries the pane property at all (on/off has the value 0).
inline bool HasPaneProperty(HWND window)
{
    bool found = false;
    EnumPropsExW(
        window,
        [](HWND, LPWSTR name, HANDLE, ULONG_PTR lp) -> BOOL {
            if (!IS_INTRESOURCE(name) && std::wstring(name) == L"VireoPane")
                *reinterpret_cast<bool*>(lp) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The pane marked with the number (0 on/off, 1 to 4 rule panes, 5 settings), found as
// a host's script finds it.
inline HWND Pane(HWND dialog, int number)
{
    struct Search {
        int number;
        HWND found;
    } search{number, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (HasPaneProperty(child) && reinterpret_cast<INT_PTR>(GetPropW(child, L"VireoPane")) == s->number)
                s->found = child;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND Item(HWND dialog, int pane, int id) { return GetDlgItem(Pane(dialog, pane), id); }

inline bool Enabled(HWND dialog, int pane, int id) { return IsWindowEnabled(Item(dialog, pane, id)) != FALSE; }

// Clicks a button as the user does.
inline void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// Chooses a list entry as the user does: the selection, then the change notice.
inline void Choose(HWND list, int index)
{
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

// Chooses a tab as the user does.
inline void SelectTab(HWND dialog, int index)
{
    HWND tabs = GetDlgItem(dialog, 201);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs, 201, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&header));
}

inline std::wstring TabLabel(HWND dialog, int index)
{
    wchar_t buffer[130] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 129;
    SendMessageW(GetDlgItem(dialog, 201), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Replaces a field's text and leaves it, as typing and tabbing away does.
inline void Enter(HWND edit, const std::wstring& text)
{
    SetWindowTextW(edit, text.c_str());
    SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(edit));
}

inline RECT Bounds(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// A unit of four inputs (10 V, 5 V, 2 V, 200 mV) with a document and a dialog made
// modeless on a configuration; tests drive its windows.
struct DialogFixture {
    FakeUnit unit;
    FakeDocument document{&unit};
    OutputLimits limits{sizeof(OutputLimits), 0, 10.0, 10.0};
    EventConfig config = MakeConfig(2, 8, 4);
    std::unique_ptr<OnlineEvents::DetectorDialog> dialog;

    DialogFixture() { unit.ranges = {L"10 V", L"5 V", L"2 V", L"200 mV"}; }
    HWND Open()
    {
        dialog = std::make_unique<OnlineEvents::DetectorDialog>(nullptr, nullptr, limits, config, &document);
        dialog->Create();
        return dialog->GetHandle();
    }
    HWND Window() const { return dialog->GetHandle(); }
    HWND Item(int pane, int id) const { return DialogTest::Item(Window(), pane, id); }
};

} // namespace DialogTest
