// Times the setup dialog on a unit with 2 analog and 8 digital outputs: building and
// setting it up until the first page shows, and one tab change. As the reference, the
// same windows are made straight from the same templates with no classes of ours.

#include "BenchTimer.h"
#include "dialog/DetectorDialog.h"
#include "eventconfig/EventConfig.h"
#include "foundation/ModuleInstance.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 15;

// Milliseconds.
double Now() { return Bench::Now() * 1000.0; }

// Best of several runs, in milliseconds; each run may prepare untimed state first.
double Best(const std::function<void()>& prepare, const std::function<void()>& run,
            const std::function<void()>& cleanup)
{
    double best = 1e300;
    for (int i = 0; i < Rounds; ++i) {
        prepare();
        const double start = Now();
        run();
        best = std::min(best, Now() - start);
        cleanup();
    }
    return best;
}

INT_PTR CALLBACK PlainProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND PlainPane(HWND dialog, int templateId, int placeId, int shift)
{
    HWND pane = CreateDialogParamW(QLX::GetModuleInstance(), MAKEINTRESOURCEW(templateId), dialog, PlainProc, 0);
    RECT place;
    GetWindowRect(GetDlgItem(dialog, placeId), &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    const int height = place.bottom - place.top;
    SetWindowPos(pane, nullptr, place.left, place.top + shift * height, place.right - place.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return pane;
}

// The reference: the dialog and its six panes from the templates, ten labelled tabs.
HWND PlainDialog(const EventConfig& config)
{
    HWND dialog = CreateDialogParamW(QLX::GetModuleInstance(), MAKEINTRESOURCEW(IDD_DETECTOR), nullptr, PlainProc, 0);
    HWND tabs = GetDlgItem(dialog, IDC_OUTPUT_TABS);
    for (int i = 0; i < config.GetCount(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(config.GetEvent(i).Name.c_str());
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    ShowWindow(PlainPane(dialog, IDD_ONOFF_PANE, IDC_ONOFF_PLACE, 0), SW_SHOW);
    for (int j = 0; j < 4; ++j) {
        HWND pane = PlainPane(dialog, IDD_RULE_PANE, IDC_RULE_PLACE, j);
        if (j == 0)
            ShowWindow(pane, SW_SHOW);
    }
    ShowWindow(PlainPane(dialog, IDD_SETTINGS_PANE, IDC_SETTINGS_PLACE, 0), SW_SHOW);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    return dialog;
}

// A unit of four inputs that describes their ranges, and a document around it.
class BenchUnit : public IRecordingUnit, public IUnitSettings {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRecordingUnit))
            *object = static_cast<IRecordingUnit*>(this);
        else if (IsEqualIID(iid, IID_IUnitSettings))
            *object = static_cast<IUnitSettings*>(this);
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetSamplingState(SHORT* sampling) override { return *sampling = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetInputCount(LONG* count) override { return *count = 4, S_OK; }
    HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) override { return *count = 2, S_OK; }
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG, IDigitalOutputGroup** group) override
    {
        return *group = nullptr, E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetStimulatorSettings(IStimulatorSettings** settings) override
    {
        return *settings = nullptr, E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetInputSettingsText(DWORD, LONG input, IQLXString** text) override
    {
        static const wchar_t* const ranges[] = {L"10 V", L"5 V", L"2 V", L"200 mV"};
        const std::wstring xml = std::wstring(L"<Input><PhysicalGainIndex>") + ranges[input & 3] +
                                 L"</PhysicalGainIndex></Input>";
        *text = QLXString(xml.c_str()).GetInterface();
        return S_OK;
    }
};

class BenchDocument : public OnlineEvents::DetectorDocument {
public:
    bool GetMasterDeviceName(QLXString& name) override
    {
        name = QLXString(L"Korvane 8/35");
        return true;
    }
    IRecordingUnit* RecordingUnit() const override { return &unit_; }

private:
    mutable BenchUnit unit_;
};

// As a click on the tab does: the dialog may refuse, then hears of the change.
void SelectTab(HWND dialog, int index)
{
    HWND tabs = GetDlgItem(dialog, IDC_OUTPUT_TABS);
    NMHDR asking{tabs, IDC_OUTPUT_TABS, static_cast<UINT>(TCN_SELCHANGING)};
    if (SendMessageW(dialog, WM_NOTIFY, IDC_OUTPUT_TABS, reinterpret_cast<LPARAM>(&asking)))
        return;
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs, IDC_OUTPUT_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_OUTPUT_TABS, reinterpret_cast<LPARAM>(&header));
    UpdateWindow(dialog);
}

void RepaintWhole(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    EventConfig config;
    config.SetOutputCounts(2, 8);
    config.AddDefaultRule();
    config.InputCount = 4;

    HWND plain = nullptr;
    const double reference = Best([] {}, [&] { plain = PlainDialog(config); }, [&] { DestroyWindow(plain); });
    plain = PlainDialog(config);
    const double referencePaint = Best([] {}, [&] { RepaintWhole(plain); }, [] {});
    DestroyWindow(plain);
    // One rule more on every other output, so a tab change also resizes the dialog.
    for (int i = 1; i < config.GetCount(); i += 2)
        config.InsertRule(i, 0);
    BenchDocument document;
    OutputLimits limits{sizeof(OutputLimits), 0, 10.0, 10.0};
    std::unique_ptr<OnlineEvents::DetectorDialog> dialog;
    const auto build = [&] {
        dialog = std::make_unique<OnlineEvents::DetectorDialog>(nullptr, nullptr, limits, config, &document);
        dialog->Create();
        dialog->ShowWindow(SW_SHOW);
        dialog->UpdateWindow();
    };
    OnlineEvents::DetectorDialog::SetLastSelectedTab(0);
    const double setup = Best([] {}, build, [&] { dialog.reset(); });

    build();
    // Even outputs have one rule, odd ones two: 0 to 2 keeps the dialog's size, 0 to 1 resizes it.
    int tab = 0;
    const double sameSize = Best([] {}, [&] { SelectTab(dialog->GetHandle(), tab = (tab + 2) % 10); }, [] {});
    const double resizing = Best([] {}, [&] { SelectTab(dialog->GetHandle(), tab = (tab + 1) % 10); }, [] {});
    dialog.reset();

    std::printf("reference set-up (templates only): %.3f ms\n", reference);
    std::printf("dialog set-up until the first page shows: %.3f ms\n", setup);
    std::printf("ratio: %.2f (goal at most 1.5)\n", setup / reference);
    std::printf("tab change, same rule count: %.3f ms (goal under 10)\n", sameSize);
    std::printf("reference's full paint of the dialog: %.3f ms\n", referencePaint);
    std::printf("tab change, dialog resized by a rule pane: %.3f ms, %.2f of the full paint (goal at most 1.5)\n",
                resizing, resizing / referencePaint);
    return 0;
}
