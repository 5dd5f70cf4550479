// The output settings and on/off panes: what they show, what they store and which
// controls are usable.

#include "DialogTestSupport.h"
#include "resources/resource.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>

using namespace DialogTest;
using OnlineEvents::DetectorDialog;

namespace {
constexpr int OnOff = 0, Rule0 = 1, Settings = 5;
const int SettingsControls[] = {IDC_FIXED_WIDTH,      IDC_LIMITED_PULSES,   IDC_PULSE_WIDTH,   IDC_PULSE_DELAY,
                                IDC_PULSE_COUNT,      IDC_HOLDOFF,          IDC_HOLDOFF_LABEL, IDC_DELAY_LABEL,
                                IDC_PULSE_WIDTH_UNIT, IDC_PULSE_DELAY_UNIT, IDC_HOLDOFF_UNIT};
const int RuleControls[] = {IDC_INPUT_LIST,    IDC_ABOVE_BELOW, IDC_LEVEL_EDIT, IDC_LEVEL_UPDOWN,
                            IDC_LEVEL_SLIDER,  IDC_LEVEL_TITLE, IDC_LEVEL_LOW,  IDC_LEVEL_HIGH,
                            IDC_HYSTERESIS,    IDC_WHEN_LABEL,  IDC_GOES_LABEL, IDC_HYSTERESIS_LABEL,
                            IDC_PERCENT_LABEL, IDC_LEVEL_MIDDLE};

struct SettingsFixture : DialogFixture {
    explicit SettingsFixture(bool on)
    {
        DetectorDialog::SetLastSelectedTab(0);
        OnlineEvent& output = config.GetEvent(0);
        output.On = on;
        output.PulseDuration = 0.25;
        output.PulseDelay = 1.5;
        output.PulseNumLimit = 12;
        output.RetriggerHoldoffTime = 2;
        Open();
    }
    bool On(int id) const { return IsWindowEnabled(Item(Settings, id)) != FALSE; }
    OnlineEvent Stored()
    {
        dialog->SaveOutputPage();
        return dialog->Configuration().GetEvent(0);
    }
};
} // namespace

TEST(SettingsPane, OutputOffDisablesEverythingButTheSwitchAndTheChoice)
{
    SettingsFixture f(false);
    for (int id : SettingsControls)
        EXPECT_FALSE(f.On(id)) << id;
    for (int id : RuleControls)
        EXPECT_FALSE(Enabled(f.Window(), Rule0, id)) << id;
    EXPECT_TRUE(Enabled(f.Window(), OnOff, IDC_OUTPUT_ON));
    EXPECT_TRUE(Enabled(f.Window(), OnOff, IDC_ALL_ANY));
    EXPECT_EQ(L"0.25", Text(f.Item(Settings, IDC_PULSE_WIDTH)));
    EXPECT_EQ(L"1.5", Text(f.Item(Settings, IDC_PULSE_DELAY)));
    EXPECT_EQ(L"12", Text(f.Item(Settings, IDC_PULSE_COUNT)));
}

TEST(SettingsPane, TickingTheOutputEnablesWhatTheCheckBoxesAllow)
{
    SettingsFixture f(false);
    Click(f.Item(OnOff, IDC_OUTPUT_ON));
    for (int id : RuleControls)
        EXPECT_TRUE(Enabled(f.Window(), Rule0, id)) << id;
    EXPECT_TRUE(f.On(IDC_FIXED_WIDTH));
    EXPECT_TRUE(f.On(IDC_PULSE_DELAY));
    EXPECT_FALSE(f.On(IDC_PULSE_WIDTH));
    EXPECT_FALSE(f.On(IDC_HOLDOFF_LABEL));
    EXPECT_FALSE(f.On(IDC_HOLDOFF));
    EXPECT_FALSE(f.On(IDC_PULSE_COUNT));

    Click(f.Item(Settings, IDC_FIXED_WIDTH));
    EXPECT_TRUE(f.On(IDC_PULSE_WIDTH));
    EXPECT_TRUE(f.On(IDC_HOLDOFF_LABEL));
    EXPECT_TRUE(f.On(IDC_HOLDOFF));
    Click(f.Item(Settings, IDC_LIMITED_PULSES));
    EXPECT_TRUE(f.On(IDC_PULSE_COUNT));
    Click(f.Item(Settings, IDC_LIMITED_PULSES));
    EXPECT_FALSE(f.On(IDC_PULSE_COUNT));
}

TEST(SettingsPane, HoldoffIsStoredWithFixedWidth)
{
    SettingsFixture f(true);
    Click(f.Item(Settings, IDC_FIXED_WIDTH));
    OnlineEvent stored = f.Stored();
    EXPECT_TRUE(stored.LimitedDuration);
    EXPECT_TRUE(stored.RetriggerHoldoff);
    Click(f.Item(Settings, IDC_FIXED_WIDTH));
    stored = f.Stored();
    EXPECT_FALSE(stored.LimitedDuration);
    EXPECT_FALSE(stored.RetriggerHoldoff);
    EXPECT_DOUBLE_EQ(0.25, stored.PulseDuration);
    EXPECT_DOUBLE_EQ(1.5, stored.PulseDelay);
    EXPECT_DOUBLE_EQ(2, stored.RetriggerHoldoffTime);
    EXPECT_TRUE(stored.On);
}

TEST(SettingsPane, PulseCountStoresItsLeadingDigits)
{
    SettingsFixture f(true);
    const struct {
        const wchar_t* text;
        int stored;
    } cases[] = {{L"", 0}, {L"x", 0}, {L"30000", 30000}, {L"17abc", 17}};
    for (const auto& c : cases) {
        SetWindowTextW(f.Item(Settings, IDC_PULSE_COUNT), c.text);
        EXPECT_EQ(c.stored, f.Stored().PulseNumLimit) << c.text;
    }
}

TEST(SettingsPane, PulseWidthOfSixtyIsAcceptedAndSixtyAndAHalfRefusedAtOk)
{
    const struct {
        const wchar_t* width;
        int result;
        size_t boxes;
    } cases[] = {{L"60", IDOK, 0}, {L"60.5", IDCANCEL, 1}};
    for (const auto& c : cases) {
        DialogFixture f;
        f.config.GetEvent(0).On = true;
        f.config.GetEvent(0).LimitedDuration = true;
        DetectorDialog::SetLastSelectedTab(0);
        DetectorDialog dialog(nullptr, nullptr, f.limits, f.config, &f.document);
        VireoTest::MessageBoxCatcher boxes;
        bool stayedOpen = false;
        const int result = VireoTest::RunModal([&] { return dialog.Execute(); },
                                               [&](HWND window) {
                                                   SetWindowTextW(Item(window, Settings, IDC_PULSE_WIDTH), c.width);
                                                   SendMessageW(window, WM_COMMAND, IDOK, 0);
                                                   stayedOpen = IsWindow(window) && IsWindowVisible(window);
                                                   if (stayedOpen)
                                                       PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                                               });
        EXPECT_EQ(c.result, result) << c.width;
        EXPECT_EQ(c.boxes, boxes.Boxes().size()) << c.width;
        if (c.result == IDOK) {
            EXPECT_DOUBLE_EQ(60, dialog.Configuration().GetEvent(0).PulseDuration);
        }
    }
}

TEST(OnOffPane, ShowsAndStoresOnAndAllOrAny)
{
    SettingsFixture f(true);
    f.dialog->Configuration().GetEvent(1).All = false;
    EXPECT_EQ(BST_CHECKED, SendMessageW(f.Item(OnOff, IDC_OUTPUT_ON), BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, SendMessageW(f.Item(OnOff, IDC_ALL_ANY), CB_GETCURSEL, 0, 0));
    Choose(f.Item(OnOff, IDC_ALL_ANY), 1);
    SelectTab(f.Window(), 1);
    EXPECT_FALSE(f.dialog->Configuration().GetEvent(0).All);
    EXPECT_EQ(1, SendMessageW(f.Item(OnOff, IDC_ALL_ANY), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(f.Item(OnOff, IDC_OUTPUT_ON), BM_GETCHECK, 0, 0));
    wchar_t first[16] = L"";
    SendMessageW(f.Item(OnOff, IDC_ALL_ANY), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(L"all", first);
}

TEST(SettingsPane, FieldsArePlainEditsAndTheConditionsLabelShowsWhole)
{
    SettingsFixture f(true);
    for (int id : {IDC_PULSE_WIDTH, IDC_PULSE_DELAY, IDC_PULSE_COUNT, IDC_HOLDOFF})
        EXPECT_FALSE(GetWindowLongW(f.Item(Settings, id), GWL_STYLE) & ES_AUTOHSCROLL) << id;
    HWND label = f.Item(OnOff, IDC_CONDITIONS_LABEL);
    const std::wstring text = Text(label);
    HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT client{};
    GetClientRect(label, &client);
    EXPECT_LE(size.cx, client.right) << "the label cuts its text off";
}
