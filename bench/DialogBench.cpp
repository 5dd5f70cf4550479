// Times the setup dialog on a unit with 2 analog and 8 digital outputs: building and
// setting it up until the first page shows, and one tab change. As the reference, the
// same windows are made straight from the same templates with no classes of ours.

#include "eventconfig/EventConfig.h"
#include "foundation/ModuleInstance.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 15;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

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
    std::printf("reference set-up (templates only): %.3f ms\n", reference);
    return 0;
}
