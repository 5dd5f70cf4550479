// One rule pane: the level in the input's units kept in step with slider and up-down,
// the input list, and what storing the page reads back.

#include "DialogTestSupport.h"
#include "resources/resource.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>

using namespace DialogTest;
using OnlineEvents::DetectorDialog;

namespace {
constexpr int Rule0 = 1, Settings = 5;

struct RuleFixture : DialogFixture {
    RuleFixture(int input, double level)
    {
        DetectorDialog::SetLastSelectedTab(0);
        config.GetEvent(0).Rules[0].Input = input;
        config.GetEvent(0).Rules[0].Level = level;
        config.GetEvent(0).On = true;
        Open();
    }
    HWND Control(int id) const { return Item(Rule0, id); }
    int SliderPos() const { return static_cast<int>(SendMessageW(Control(IDC_LEVEL_SLIDER), TBM_GETPOS, 0, 0)); }
    int UpDownPos() const { return static_cast<int>(SendMessageW(Control(IDC_LEVEL_UPDOWN), UDM_GETPOS32, 0, 0)); }
    // The up-down asks its parent to move by delta, as a click on an arrow does.
    void Step(int delta)
    {
        NMUPDOWN request{
            {Control(IDC_LEVEL_UPDOWN), IDC_LEVEL_UPDOWN, static_cast<UINT>(UDN_DELTAPOS)}, UpDownPos(), delta};
        SendMessageW(Pane(Window(), Rule0), WM_NOTIFY, IDC_LEVEL_UPDOWN, reinterpret_cast<LPARAM>(&request));
    }
    OnlineEventRule Stored()
    {
        dialog->SaveRules();
        return dialog->Configuration().GetEvent(0).Rules[0];
    }
};
} // namespace

TEST(RulePane, TenVoltsAtTwentyFivePercentThenTwoHundredMillivolts)
{
    RuleFixture f(0, 25);
    EXPECT_EQ(L"2.5", Text(f.Control(IDC_LEVEL_EDIT)));
    EXPECT_EQ(25, f.SliderPos());
    EXPECT_EQ(25, f.UpDownPos());
    EXPECT_EQ(L"Level (V)", Text(f.Control(IDC_LEVEL_TITLE)));

    Choose(f.Control(IDC_INPUT_LIST), 3);
    EXPECT_EQ(L"50", Text(f.Control(IDC_LEVEL_EDIT)));
    EXPECT_EQ(L"Level (mV)", Text(f.Control(IDC_LEVEL_TITLE)));
    EXPECT_EQ(L"-200", Text(f.Control(IDC_LEVEL_LOW)));
    EXPECT_EQ(L"200", Text(f.Control(IDC_LEVEL_HIGH)));
    EXPECT_EQ(25, f.SliderPos());
    EXPECT_EQ(3, f.dialog->Configuration().GetEvent(0).Rules[0].Input);
}

TEST(RulePane, TypedLevelsBeyondTheRangeAreBroughtToItsEnds)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* shown;
        int position;
    } cases[] = {{L"15", L"10", 100}, {L"-15", L"-10", -100}, {L"-3.37", L"-3.37", -33}, {L"10", L"10", 100}};
    RuleFixture f(0, 0);
    for (const auto& c : cases) {
        Enter(f.Control(IDC_LEVEL_EDIT), c.typed);
        EXPECT_EQ(c.shown, Text(f.Control(IDC_LEVEL_EDIT))) << c.typed;
        EXPECT_EQ(c.position, f.SliderPos()) << c.typed;
        EXPECT_EQ(c.position, f.UpDownPos()) << c.typed;
    }
}

TEST(RulePane, StoredLevelTruncatesTowardZeroOnTheScales)
{
    RuleFixture f(0, -33.7);
    EXPECT_EQ(-33, f.SliderPos());
    EXPECT_EQ(-33, f.UpDownPos());
    EXPECT_EQ(L"-3.37", Text(f.Control(IDC_LEVEL_EDIT)));
    EXPECT_NEAR(-33.7, f.Stored().Level, 1e-9); // showing a rule keeps its level
}

TEST(RulePane, UpDownStepsStopAtOneHundred)
{
    RuleFixture f(1, 99);
    f.Step(1);
    EXPECT_EQ(100, f.UpDownPos());
    EXPECT_EQ(100, f.SliderPos());
    EXPECT_EQ(L"5", Text(f.Control(IDC_LEVEL_EDIT)));
    f.Step(1);
    EXPECT_EQ(100, f.UpDownPos());
    EXPECT_EQ(L"5", Text(f.Control(IDC_LEVEL_EDIT)));
    f.Step(-3);
    EXPECT_EQ(97, f.SliderPos());
    EXPECT_EQ(L"4.85", Text(f.Control(IDC_LEVEL_EDIT)));
}

TEST(RulePane, MovingTheSliderShowsItsLevelInUnits)
{
    RuleFixture f(2, 0);
    SendMessageW(f.Control(IDC_LEVEL_SLIDER), TBM_SETPOS, TRUE, -40);
    SendMessageW(Pane(f.Window(), Rule0), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, -40),
                 reinterpret_cast<LPARAM>(f.Control(IDC_LEVEL_SLIDER)));
    EXPECT_EQ(L"-0.8", Text(f.Control(IDC_LEVEL_EDIT)));
    EXPECT_EQ(-40, f.UpDownPos());
    EXPECT_DOUBLE_EQ(-40, f.Stored().Level);
}

TEST(RulePane, ChangingTheInputShowsTheStoredChoicesAgain)
{
    RuleFixture f(0, 10);
    Choose(f.Control(IDC_ABOVE_BELOW), 1);
    Choose(f.Control(IDC_INPUT_LIST), 1);
    EXPECT_EQ(0, SendMessageW(f.Control(IDC_ABOVE_BELOW), CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(f.dialog->Configuration().GetEvent(0).Rules[0].Above);
}

TEST(RulePane, StoringReadsLevelUnclampedAndHysteresisLeadingDigits)
{
    RuleFixture f(0, 0);
    SetWindowTextW(f.Control(IDC_LEVEL_EDIT), L"12");
    const struct {
        const wchar_t* text;
        double hysteresis;
    } cases[] = {{L"abc", 0}, {L"", 0}, {L"7%", 7}, {L"95", 95}};
    for (const auto& c : cases) {
        SetWindowTextW(f.Control(IDC_HYSTERESIS), c.text);
        const OnlineEventRule rule = f.Stored();
        EXPECT_DOUBLE_EQ(c.hysteresis, rule.Hysteresis) << c.text;
        EXPECT_DOUBLE_EQ(120, rule.Level);
    }
}

TEST(RulePane, InputWithoutRangeEditsInPercentWithEmptyTexts)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    f.unit.ranges[1] = L"<Input><Coupling>DC</Coupling></Input>";
    f.config.GetEvent(0).Rules[0].Input = 1;
    f.config.GetEvent(0).Rules[0].Level = 25;
    f.Open();
    EXPECT_EQ(L"Level ()", Text(f.Item(Rule0, IDC_LEVEL_TITLE)));
    EXPECT_EQ(L"", Text(f.Item(Rule0, IDC_LEVEL_LOW)));
    EXPECT_EQ(L"", Text(f.Item(Rule0, IDC_LEVEL_HIGH)));
    EXPECT_EQ(L"25", Text(f.Item(Rule0, IDC_LEVEL_EDIT)));
    f.dialog->SaveRules();
    EXPECT_DOUBLE_EQ(25, f.dialog->Configuration().GetEvent(0).Rules[0].Level);
}

TEST(RulePane, NoInputsLeaveTheListEmpty)
{
    DialogFixture f;
    f.config.InputCount = 0;
    f.Open();
    EXPECT_EQ(0, SendMessageW(f.Item(Rule0, IDC_INPUT_LIST), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(CB_ERR, SendMessageW(f.Item(Rule0, IDC_INPUT_LIST), CB_GETCURSEL, 0, 0));
    f.dialog->SaveRules();
    EXPECT_EQ(0, f.dialog->Configuration().GetEvent(0).Rules[0].Input);
}

TEST(RulePane, WordingFollowsFixedWidthInEveryPane)
{
    DetectorDialog::SetLastSelectedTab(0);
    DialogFixture f;
    f.config.GetEvent(0).On = true;
    f.config.GetEvent(0).LimitedDuration = true;
    f.config.InsertRule(0, 0);
    f.Open();
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(L"goes", Text(f.Item(Rule0 + j, IDC_GOES_LABEL))) << j;
    Click(f.Item(Settings, IDC_FIXED_WIDTH));
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(L"is", Text(f.Item(Rule0 + j, IDC_GOES_LABEL))) << j;
}

TEST(RulePane, LevelCheckFollowsTheInputsRangeAtOk)
{
    const struct {
        const wchar_t* level;
        int result;
    } cases[] = {{L"-200", IDOK}, {L"-250", IDCANCEL}};
    for (const auto& c : cases) {
        DialogFixture f;
        f.config.GetEvent(0).On = true;
        DetectorDialog::SetLastSelectedTab(0);
        DetectorDialog dialog(nullptr, nullptr, f.limits, f.config, &f.document);
        VireoTest::MessageBoxCatcher boxes;
        const int result = VireoTest::RunModal([&] { return dialog.Execute(); },
                                               [&](HWND window) {
                                                   Choose(Item(window, Rule0, IDC_INPUT_LIST), 3); // 200 mV
                                                   SetWindowTextW(Item(window, Rule0, IDC_LEVEL_EDIT), c.level);
                                                   SendMessageW(window, WM_COMMAND, IDOK, 0);
                                                   if (IsWindow(window) && IsWindowVisible(window))
                                                       PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                                               });
        EXPECT_EQ(c.result, result) << c.level;
        EXPECT_EQ(c.result == IDOK ? 0u : 1u, boxes.Boxes().size()) << c.level;
    }
}
