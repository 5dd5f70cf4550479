// The setup dialog driven as a user drives it: tabs, markers, growing and shrinking
// with the rules, the rule buttons, OK and Cancel.

#include "DialogTestSupport.h"
#include "controls/BmpTxtButton.h"
#include "resources/resource.h"
#include "support/FakeHostApplication.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>

#include <map>

using namespace DialogTest;
using OnlineEvents::DetectorDialog;

namespace {
constexpr int OnOff = 0, Rule0 = 1, Settings = 5;

int VisibleRulePanes(HWND dialog)
{
    int visible = 0;
    for (int j = 0; j < 4; ++j)
        visible += (GetWindowLongW(Pane(dialog, Rule0 + j), GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
    return visible;
}
} // namespace

TEST(DetectorDialog, CaptionNamesTheMasterDeviceOrStaysVireo)
{
    const struct {
        bool known;
        const wchar_t* name;
        const wchar_t* caption;
    } cases[] = {{true, L"Korvane 8/35", L"Vireo - Korvane 8/35"}, {true, L"", L"Vireo"}, {false, L"X", L"Vireo"}};
    for (const auto& c : cases) {
        DialogFixture f;
        f.document.nameKnown = c.known;
        f.document.name = c.name;
        EXPECT_EQ(c.caption, Text(f.Open()));
    }
}

TEST(DetectorDialog, PanesAreMarkedAndStackedOneRuleHeightApart)
{
    DialogFixture f;
    HWND dialog = f.Open();
    for (int number = 0; number <= 5; ++number)
        EXPECT_NE(nullptr, Pane(dialog, number)) << number;
    const RECT first = Bounds(Pane(dialog, Rule0));
    const RECT place = Bounds(GetDlgItem(dialog, IDC_RULE_PLACE));
    EXPECT_EQ(place.top, first.top);
    for (int j = 1; j < 4; ++j)
        EXPECT_EQ(first.top + j * (place.bottom - place.top), Bounds(Pane(dialog, Rule0 + j)).top) << j;
    EXPECT_EQ(1, VisibleRulePanes(dialog));
    // Every pane lies above the tab control.
    for (int number = 0; number <= 5; ++number) {
        bool aboveTabs = false;
        for (HWND w = Pane(dialog, number); w; w = GetWindow(w, GW_HWNDNEXT))
            aboveTabs = aboveTabs || w == GetDlgItem(dialog, IDC_OUTPUT_TABS);
        EXPECT_TRUE(aboveTabs) << number;
    }
}

TEST(DetectorDialog, HelpButtonHasItsGlyphAndHintAndAsksTheHostForTheSetupTopic)
{
    auto& host = VireoTest::FakeHostApplication::Get();
    host.helpCalls.clear();
    DialogFixture f;
    HWND dialog = f.Open();
    HWND button = GetDlgItem(dialog, IDC_HELP_BUTTON);
    auto* help = dynamic_cast<QLXControls::TBmpTxtButton*>(TWindow::FromHandle(button));
    ASSERT_NE(nullptr, help);
    EXPECT_STREQ(L"Get dialog help", help->GetHint().c_str());
    EXPECT_NE(nullptr, help->GetGlyph());
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    ASSERT_EQ(1u, host.helpCalls.size());
    EXPECT_EQ(L"vir_setup", host.helpCalls[0].first);
    EXPECT_EQ(L"VireoHelp", host.helpCalls[0].second);
}

TEST(DetectorDialog, OneTabPerOutputMarkedWhenOn)
{
    DialogFixture f;
    f.config.GetEvent(1).On = true;
    HWND dialog = f.Open();
    ASSERT_EQ(10, TabCtrl_GetItemCount(GetDlgItem(dialog, IDC_OUTPUT_TABS)));
    EXPECT_EQ(L"Analog Output 1", TabLabel(dialog, 0));
    EXPECT_EQ(L"2 \u2022", TabLabel(dialog, 1));
    EXPECT_EQ(L"Digital Output 1", TabLabel(dialog, 2));
    EXPECT_EQ(L"8", TabLabel(dialog, 9));
}

TEST(DetectorDialog, TickingTheOutputAddsTheMarkerOnceAndClearingRemovesIt)
{
    DialogFixture f;
    HWND dialog = f.Open();
    Click(f.Item(OnOff, IDC_OUTPUT_ON));
    EXPECT_EQ(L"Analog Output 1 \u2022", TabLabel(dialog, 0));
    f.dialog->MarkOutputTab(0, true);
    EXPECT_EQ(L"Analog Output 1 \u2022", TabLabel(dialog, 0));
    Click(f.Item(OnOff, IDC_OUTPUT_ON));
    EXPECT_EQ(L"Analog Output 1", TabLabel(dialog, 0));
    f.dialog->MarkOutputTab(10, true); // beyond the outputs: nothing
}

TEST(DetectorDialog, ReopensOnTheLastTabOrOnTheFirstWhenThereAreFewerOutputs)
{
    {
        DialogFixture f;
        HWND dialog = f.Open();
        SelectTab(dialog, 7);
        EXPECT_EQ(7, DetectorDialog::LastSelectedTab());
    }
    {
        DialogFixture f;
        EXPECT_EQ(7, TabCtrl_GetCurSel(GetDlgItem(f.Open(), IDC_OUTPUT_TABS)));
        EXPECT_EQ(7, f.dialog->CurrentOutput());
    }
    DialogFixture few;
    few.config = MakeConfig(1, 4, 4);
    EXPECT_EQ(0, TabCtrl_GetCurSel(GetDlgItem(few.Open(), IDC_OUTPUT_TABS)));
    EXPECT_EQ(0, DetectorDialog::LastSelectedTab());
}

TEST(DetectorDialog, CancelKeepsTheTabButNotTheChanges)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    const EventConfig before = f.config;
    DetectorDialog dialog(nullptr, nullptr, f.limits, f.config, &f.document);
    const int result = VireoTest::RunModal([&] { return dialog.Execute(); },
                                           [](HWND window) {
                                               Click(Item(window, OnOff, IDC_OUTPUT_ON));
                                               SelectTab(window, 3);
                                               Click(Item(window, OnOff, IDC_OUTPUT_ON));
                                               PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                                           });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(3, DetectorDialog::LastSelectedTab());
    for (int i = 0; i < f.config.GetCount(); ++i)
        EXPECT_EQ(before.GetEvent(i).On, f.config.GetEvent(i).On);
}

TEST(DetectorDialog, OkStoresThePageOnShowAndEveryPageLeft)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    DetectorDialog dialog(nullptr, nullptr, f.limits, f.config, &f.document);
    const int result = VireoTest::RunModal([&] { return dialog.Execute(); },
                                           [](HWND window) {
                                               Click(Item(window, OnOff, IDC_OUTPUT_ON));
                                               SelectTab(window, 2);
                                               Choose(Item(window, OnOff, IDC_ALL_ANY), 1);
                                               Click(GetDlgItem(window, IDOK));
                                           });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(dialog.Configuration().GetEvent(0).On);
    EXPECT_FALSE(dialog.Configuration().GetEvent(2).All);
    EXPECT_FALSE(f.config.GetEvent(0).On);
    EXPECT_EQ(10, dialog.Configuration().DigitalOutputCount + dialog.Configuration().AnalogOutputCount);
}

TEST(DetectorDialog, FourRulesGrowTheDialogByThreePaneHeightsAndOneRuleShrinksItBack)
{
    DetectorDialog::SetLastSelectedTab(1);
    DialogFixture f;
    for (int i = 0; i < 3; ++i)
        f.config.InsertRule(1, 0);
    HWND dialog = f.Open();
    const RECT place = Bounds(GetDlgItem(dialog, IDC_RULE_PLACE));
    const int step = place.bottom - place.top;
    EXPECT_EQ(4, VisibleRulePanes(dialog));
    const RECT grown = Bounds(dialog), grownOk = Bounds(GetDlgItem(dialog, IDOK));
    const RECT grownSettings = Bounds(Pane(dialog, Settings));
    const RECT grownTabs = Bounds(GetDlgItem(dialog, IDC_OUTPUT_TABS));

    SelectTab(dialog, 0);
    EXPECT_EQ(1, VisibleRulePanes(dialog));
    EXPECT_EQ(grown.bottom - 3 * step, Bounds(dialog).bottom);
    EXPECT_EQ(grown.top, Bounds(dialog).top);
    EXPECT_EQ(grownOk.top - 3 * step, Bounds(GetDlgItem(dialog, IDOK)).top);
    EXPECT_EQ(grownSettings.top - 3 * step, Bounds(Pane(dialog, Settings)).top);
    EXPECT_EQ(grownTabs.bottom - 3 * step, Bounds(GetDlgItem(dialog, IDC_OUTPUT_TABS)).bottom);
    EXPECT_EQ(Bounds(GetDlgItem(dialog, IDC_SETTINGS_PLACE)).top, Bounds(Pane(dialog, Settings)).top);
}

TEST(DetectorDialog, RuleButtonsFollowTheOutputAndTheRuleLimits)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    HWND dialog = f.Open();
    EXPECT_FALSE(Enabled(dialog, Rule0, IDC_RULE_PLUS));
    EXPECT_FALSE(Enabled(dialog, Rule0, IDC_RULE_MINUS));

    Click(f.Item(OnOff, IDC_OUTPUT_ON));
    EXPECT_TRUE(Enabled(dialog, Rule0, IDC_RULE_PLUS));
    EXPECT_FALSE(Enabled(dialog, Rule0, IDC_RULE_MINUS));

    for (int added = 1; added < 4; ++added)
        Click(f.Item(Rule0, IDC_RULE_PLUS));
    EXPECT_EQ(4, VisibleRulePanes(dialog));
    EXPECT_EQ(4, f.dialog->Configuration().GetRuleCount(0));
    for (int j = 0; j < 4; ++j) {
        EXPECT_FALSE(Enabled(dialog, Rule0 + j, IDC_RULE_PLUS)) << j;
        EXPECT_TRUE(Enabled(dialog, Rule0 + j, IDC_RULE_MINUS)) << j;
    }
    Click(f.Item(Rule0 + 3, IDC_RULE_MINUS));
    EXPECT_EQ(3, VisibleRulePanes(dialog));
    EXPECT_TRUE(Enabled(dialog, Rule0, IDC_RULE_PLUS));
}

TEST(DetectorDialog, PlusInsertsAfterItsRuleAndMinusRemovesItsOwn)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    f.config.GetEvent(0).On = true;
    f.config.GetEvent(0).Rules[0].Level = 40;
    HWND dialog = f.Open();
    Click(f.Item(Rule0, IDC_RULE_PLUS));
    const EventConfig& config = f.dialog->Configuration();
    ASSERT_EQ(2, config.GetRuleCount(0));
    EXPECT_DOUBLE_EQ(40, config.GetEvent(0).Rules[0].Level);
    EXPECT_DOUBLE_EQ(0, config.GetEvent(0).Rules[1].Level);
    Click(f.Item(Rule0, IDC_RULE_MINUS));
    ASSERT_EQ(1, config.GetRuleCount(0));
    EXPECT_DOUBLE_EQ(0, config.GetEvent(0).Rules[0].Level);
    EXPECT_EQ(L"0", Text(f.Item(Rule0, IDC_LEVEL_EDIT)));
    EXPECT_EQ(1, VisibleRulePanes(dialog));
}

TEST(DetectorDialog, WithoutOutputsEverythingIsDisabledAndOkKeepsTheEmptyConfiguration)
{
    DialogFixture f;
    f.config = MakeConfig(0, 0, 4);
    HWND dialog = f.Open();
    EXPECT_EQ(0, TabCtrl_GetItemCount(GetDlgItem(dialog, IDC_OUTPUT_TABS)));
    EXPECT_FALSE(Enabled(dialog, OnOff, IDC_OUTPUT_ON));
    EXPECT_FALSE(Enabled(dialog, Rule0, IDC_LEVEL_EDIT));
    EXPECT_FALSE(Enabled(dialog, Rule0, IDC_RULE_PLUS));
    EXPECT_FALSE(Enabled(dialog, Settings, IDC_FIXED_WIDTH));
    SelectTab(dialog, 0);
    EXPECT_EQ(0, f.dialog->Configuration().GetCount());
}

TEST(DetectorDialog, OutputWithoutRulesShowsDefaultsAndStoresOnlyAChange)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    f.config.GetEvent(0).Rules.clear();
    f.config.GetEvent(1).Rules.clear();
    HWND dialog = f.Open();
    EXPECT_EQ(1, VisibleRulePanes(dialog));
    EXPECT_EQ(L"0", Text(f.Item(Rule0, IDC_LEVEL_EDIT)));
    EXPECT_EQ(L"5", Text(f.Item(Rule0, IDC_HYSTERESIS)));
    SelectTab(dialog, 1);
    EXPECT_EQ(0, f.dialog->Configuration().GetRuleCount(0));
    Enter(f.Item(Rule0, IDC_LEVEL_EDIT), L"2.5");
    SelectTab(dialog, 2);
    ASSERT_EQ(1, f.dialog->Configuration().GetRuleCount(1));
    EXPECT_DOUBLE_EQ(25, f.dialog->Configuration().GetEvent(1).Rules[0].Level);
}

TEST(DetectorDialog, PanesShownByATabChangeTakeTheOutputsEnablingAndTheDialogStaysVisible)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    for (int output : {1, 2})
        for (int i = 0; i < 2; ++i)
            f.config.InsertRule(output, 0);
    f.config.GetEvent(1).On = true;
    HWND dialog = f.Open();
    EXPECT_FALSE(IsWindowVisible(dialog));
    ShowWindow(dialog, SW_SHOW);
    const struct {
        int tab;
        bool on;
    } steps[] = {{2, false}, {1, true}, {0, false}, {2, false}};
    for (const auto& step : steps) {
        SelectTab(dialog, step.tab);
        EXPECT_TRUE(IsWindowVisible(dialog)) << step.tab;
        for (int j = 0; j < VisibleRulePanes(dialog); ++j) {
            EXPECT_TRUE(IsWindowVisible(Pane(dialog, Rule0 + j))) << step.tab << " " << j;
            EXPECT_EQ(step.on, Enabled(dialog, Rule0 + j, IDC_LEVEL_EDIT)) << step.tab << " " << j;
        }
    }
    // Set up while hidden with three rules on show: growing must not show the dialog.
    DetectorDialog::SetLastSelectedTab(2);
    EXPECT_FALSE(IsWindowVisible(f.Open()));
    EXPECT_EQ(3, VisibleRulePanes(f.Window()));
}

namespace {
// Paints of each window of the thread while a tab change grows or shrinks the dialog.
std::map<HWND, int> g_paints;
LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_PAINT)
        ++g_paints[call->hwnd];
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

TEST(DetectorDialog, ATabChangeThatResizesPaintsEachWindowOnce)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    f.config.InsertRule(1, 0);
    HWND dialog = f.Open();
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountPaints, nullptr, GetCurrentThreadId());
    for (int tab : {1, 0}) {
        g_paints.clear();
        SelectTab(dialog, tab);
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        for (const auto& [window, paints] : g_paints)
            EXPECT_LE(paints, 1) << tab << ": control " << GetDlgCtrlID(window) << " of pane "
                                 << GetDlgCtrlID(GetParent(window));
        EXPECT_EQ(g_paints[Pane(dialog, Settings)], 1) << tab;
    }
    UnhookWindowsHookEx(hook);
}
