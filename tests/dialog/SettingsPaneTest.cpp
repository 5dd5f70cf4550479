// The output settings and on/off panes: what they show, what they store and which
// controls are usable.

#include "DialogTestSupport.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>

using namespace DialogTest;
using OnlineEvents::DetectorDialog;

namespace {
constexpr int OnOff = 0, Rule0 = 1, Settings = 5;
constexpr int OutputOn = 216, AllAny = 206, FixedWidth = 217, LimitedPulses = 218, PulseWidth = 220, PulseDelay = 221,
              PulseCount = 222, Holdoff = 250, HoldoffLabel = 253, DelayLabel = 254;
const int SettingsControls[] = {FixedWidth, LimitedPulses, PulseWidth, PulseDelay, PulseCount,
                                Holdoff,    HoldoffLabel,  DelayLabel, 223,        224, 228};
const int RuleControls[] = {204, 206, 207, 208, 205, 215, 234, 235, 212, 252, 251, 211, 247, 236};

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
    EXPECT_TRUE(Enabled(f.Window(), OnOff, OutputOn));
    EXPECT_TRUE(Enabled(f.Window(), OnOff, AllAny));
    EXPECT_EQ(L"0.25", Text(f.Item(Settings, PulseWidth)));
    EXPECT_EQ(L"1.5", Text(f.Item(Settings, PulseDelay)));
    EXPECT_EQ(L"12", Text(f.Item(Settings, PulseCount)));
}

TEST(SettingsPane, TickingTheOutputEnablesWhatTheCheckBoxesAllow)
{
    SettingsFixture f(false);
    Click(f.Item(OnOff, OutputOn));
    for (int id : RuleControls)
        EXPECT_TRUE(Enabled(f.Window(), Rule0, id)) << id;
    EXPECT_TRUE(f.On(FixedWidth));
    EXPECT_TRUE(f.On(PulseDelay));
    EXPECT_FALSE(f.On(PulseWidth));
    EXPECT_FALSE(f.On(HoldoffLabel));
    EXPECT_FALSE(f.On(Holdoff));
    EXPECT_FALSE(f.On(PulseCount));

    Click(f.Item(Settings, FixedWidth));
    EXPECT_TRUE(f.On(PulseWidth));
    EXPECT_TRUE(f.On(HoldoffLabel));
    EXPECT_TRUE(f.On(Holdoff));
    Click(f.Item(Settings, LimitedPulses));
    EXPECT_TRUE(f.On(PulseCount));
    Click(f.Item(Settings, LimitedPulses));
    EXPECT_FALSE(f.On(PulseCount));
}

TEST(SettingsPane, HoldoffIsStoredWithFixedWidth)
{
    SettingsFixture f(true);
    Click(f.Item(Settings, FixedWidth));
    OnlineEvent stored = f.Stored();
    EXPECT_TRUE(stored.LimitedDuration);
    EXPECT_TRUE(stored.RetriggerHoldoff);
    Click(f.Item(Settings, FixedWidth));
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
        SetWindowTextW(f.Item(Settings, PulseCount), c.text);
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
                                                   SetWindowTextW(Item(window, Settings, PulseWidth), c.width);
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
    EXPECT_EQ(BST_CHECKED, SendMessageW(f.Item(OnOff, OutputOn), BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, SendMessageW(f.Item(OnOff, AllAny), CB_GETCURSEL, 0, 0));
    Choose(f.Item(OnOff, AllAny), 1);
    SelectTab(f.Window(), 1);
    EXPECT_FALSE(f.dialog->Configuration().GetEvent(0).All);
    EXPECT_EQ(1, SendMessageW(f.Item(OnOff, AllAny), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(f.Item(OnOff, OutputOn), BM_GETCHECK, 0, 0));
    wchar_t first[16] = L"";
    SendMessageW(f.Item(OnOff, AllAny), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(L"all", first);
}

TEST(SettingsPane, FieldsArePlainEditsAndTheConditionsLabelShowsWhole)
{
    SettingsFixture f(true);
    for (int id : {PulseWidth, PulseDelay, PulseCount, Holdoff})
        EXPECT_FALSE(GetWindowLongW(f.Item(Settings, id), GWL_STYLE) & ES_AUTOHSCROLL) << id;
    HWND label = f.Item(OnOff, 257);
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
