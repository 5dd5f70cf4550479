#pragma once
// A document around the shared recording unit, and the user's moves, for driving the
// setup dialog without a host.

#include "dialog/DetectorDialog.h"
#include "dialog/DetectorDocument.h"
#include "eventconfig/EventConfig.h"
#include "hostapi/HostInterfaces.h"
#include "hostapi/OnlineEvents.h"
#include "resources/resource.h"
#include "support/FakeRecordingUnit.h"
#include "support/HostAnswers.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace DialogTest {

class FakeDocument : public OnlineEvents::DetectorDocument {
public:
    explicit FakeDocument(VireoTest::FakeRecordingUnit* unit) : unit_(unit) {}
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
    VireoTest::FakeRecordingUnit* unit_;
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
            if (!IS_INTRESOURCE(name) && std::wstring(name) == OnlineEventsContract::PaneProperty)
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
            if (HasPaneProperty(child) && reinterpret_cast<INT_PTR>(GetPropW(child, OnlineEventsContract::PaneProperty)) == s->number)
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
    HWND tabs = GetDlgItem(dialog, IDC_OUTPUT_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs, IDC_OUTPUT_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_OUTPUT_TABS, reinterpret_cast<LPARAM>(&header));
}

inline std::wstring TabLabel(HWND dialog, int index)
{
    wchar_t buffer[130] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 129;
    SendMessageW(GetDlgItem(dialog, IDC_OUTPUT_TABS), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
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
    VireoTest::FakeRecordingUnit unit;
    FakeDocument document{&unit};
    OutputLimits limits{sizeof(OutputLimits), 0, 10.0, 10.0};
    EventConfig config = MakeConfig(2, 8, 4);
    std::unique_ptr<OnlineEvents::DetectorDialog> dialog;

    DialogFixture()
    {
        unit.inputs = 4;
        unit.ranges = {L"10 V", L"5 V", L"2 V", L"200 mV"};
    }
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
