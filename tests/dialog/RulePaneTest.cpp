// One rule pane: the level in the input's units kept in step with slider and up-down,
// the input list, and what storing the page reads back.

#include "DialogTestSupport.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>

using namespace DialogTest;
using OnlineEvents::DetectorDialog;

namespace {
constexpr int Rule0 = 1, Settings = 5;
constexpr int InputList = 204, AboveBelow = 206, Title = 215, Slider = 205, Edit = 207, UpDown = 208, Low = 234,
              High = 235, Hysteresis = 212, Goes = 251, FixedWidth = 217;

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
    int SliderPos() const { return static_cast<int>(SendMessageW(Control(Slider), TBM_GETPOS, 0, 0)); }
    int UpDownPos() const { return static_cast<int>(SendMessageW(Control(UpDown), UDM_GETPOS32, 0, 0)); }
    // The up-down asks its parent to move by delta, as a click on an arrow does.
    void Step(int delta)
    {
        NMUPDOWN request{{Control(UpDown), UpDown, static_cast<UINT>(UDN_DELTAPOS)}, UpDownPos(), delta};
        SendMessageW(Pane(Window(), Rule0), WM_NOTIFY, UpDown, reinterpret_cast<LPARAM>(&request));
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
    EXPECT_EQ(L"2.5", Text(f.Control(Edit)));
    EXPECT_EQ(25, f.SliderPos());
    EXPECT_EQ(25, f.UpDownPos());
    EXPECT_EQ(L"Level (V)", Text(f.Control(Title)));

    Choose(f.Control(InputList), 3);
    EXPECT_EQ(L"50", Text(f.Control(Edit)));
    EXPECT_EQ(L"Level (mV)", Text(f.Control(Title)));
    EXPECT_EQ(L"-200", Text(f.Control(Low)));
    EXPECT_EQ(L"200", Text(f.Control(High)));
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
        Enter(f.Control(Edit), c.typed);
        EXPECT_EQ(c.shown, Text(f.Control(Edit))) << c.typed;
        EXPECT_EQ(c.position, f.SliderPos()) << c.typed;
        EXPECT_EQ(c.position, f.UpDownPos()) << c.typed;
    }
}

TEST(RulePane, StoredLevelTruncatesTowardZeroOnTheScales)
{
    RuleFixture f(0, -33.7);
    EXPECT_EQ(-33, f.SliderPos());
    EXPECT_EQ(-33, f.UpDownPos());
    EXPECT_EQ(L"-3.37", Text(f.Control(Edit)));
    EXPECT_NEAR(-33.7, f.Stored().Level, 1e-9); // showing a rule keeps its level
}

TEST(RulePane, UpDownStepsStopAtOneHundred)
{
    RuleFixture f(1, 99);
    f.Step(1);
    EXPECT_EQ(100, f.UpDownPos());
    EXPECT_EQ(100, f.SliderPos());
    EXPECT_EQ(L"5", Text(f.Control(Edit)));
    f.Step(1);
    EXPECT_EQ(100, f.UpDownPos());
    EXPECT_EQ(L"5", Text(f.Control(Edit)));
    f.Step(-3);
    EXPECT_EQ(97, f.SliderPos());
    EXPECT_EQ(L"4.85", Text(f.Control(Edit)));
}

TEST(RulePane, MovingTheSliderShowsItsLevelInUnits)
{
    RuleFixture f(2, 0);
    SendMessageW(f.Control(Slider), TBM_SETPOS, TRUE, -40);
    SendMessageW(Pane(f.Window(), Rule0), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, -40),
                 reinterpret_cast<LPARAM>(f.Control(Slider)));
    EXPECT_EQ(L"-0.8", Text(f.Control(Edit)));
    EXPECT_EQ(-40, f.UpDownPos());
    EXPECT_DOUBLE_EQ(-40, f.Stored().Level);
}

TEST(RulePane, ChangingTheInputShowsTheStoredChoicesAgain)
{
    RuleFixture f(0, 10);
    Choose(f.Control(AboveBelow), 1);
    Choose(f.Control(InputList), 1);
    EXPECT_EQ(0, SendMessageW(f.Control(AboveBelow), CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(f.dialog->Configuration().GetEvent(0).Rules[0].Above);
}

TEST(RulePane, StoringReadsLevelUnclampedAndHysteresisLeadingDigits)
{
    RuleFixture f(0, 0);
    SetWindowTextW(f.Control(Edit), L"12");
    const struct {
        const wchar_t* text;
        double hysteresis;
    } cases[] = {{L"abc", 0}, {L"", 0}, {L"7%", 7}, {L"95", 95}};
    for (const auto& c : cases) {
        SetWindowTextW(f.Control(Hysteresis), c.text);
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
    EXPECT_EQ(L"Level ()", Text(f.Item(Rule0, Title)));
    EXPECT_EQ(L"", Text(f.Item(Rule0, Low)));
    EXPECT_EQ(L"", Text(f.Item(Rule0, High)));
    EXPECT_EQ(L"25", Text(f.Item(Rule0, Edit)));
    f.dialog->SaveRules();
    EXPECT_DOUBLE_EQ(25, f.dialog->Configuration().GetEvent(0).Rules[0].Level);
}

TEST(RulePane, NoInputsLeaveTheListEmpty)
{
    DialogFixture f;
    f.config.InputCount = 0;
    f.Open();
    EXPECT_EQ(0, SendMessageW(f.Item(Rule0, InputList), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(CB_ERR, SendMessageW(f.Item(Rule0, InputList), CB_GETCURSEL, 0, 0));
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
        EXPECT_EQ(L"goes", Text(f.Item(Rule0 + j, Goes))) << j;
    Click(f.Item(Settings, FixedWidth));
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(L"is", Text(f.Item(Rule0 + j, Goes))) << j;
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
                                                   Choose(Item(window, Rule0, InputList), 3); // 200 mV
                                                   SetWindowTextW(Item(window, Rule0, Edit), c.level);
                                                   SendMessageW(window, WM_COMMAND, IDOK, 0);
                                                   if (IsWindow(window) && IsWindowVisible(window))
                                                       PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                                               });
        EXPECT_EQ(c.result, result) << c.level;
        EXPECT_EQ(c.result == IDOK ? 0u : 1u, boxes.Boxes().size()) << c.level;
    }
}
