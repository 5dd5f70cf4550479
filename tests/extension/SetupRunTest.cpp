// The setup run from the menu item through the framework to the document, its
// dialog and the unit, with the dialog driven by a script as the host program does.

#include "DialogWatch.h"
#include "DocTestSupport.h"
#include "HostServices.h"
#include "ScriptRunner.h"

#include "dialog/DetectorDialog.h"
#include "extension/KXFObjects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>

using namespace VireoTest;
using VireoHost::UnitCall;
using VireoHost::UnitModel;

namespace {

// The host's main window, offered to the module as the host application does; for the process.
HWND MainWindow()
{
    static const HWND window = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"SetupRunTestMain";
        RegisterClassW(&windowClass);
        HWND made = CreateWindowExW(0, windowClass.lpszClassName, L"Kestrana", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
        static VireoHost::HostApplication application(made);
        DWORD cookie = 0;
        CoRegisterClassObject(CLSID_HostApplication, static_cast<IHostApplication*>(&application),
                              CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
        return made;
    }();
    return window;
}

struct SetupOutcome {
    int opened = 0;
    int result = 0;
    HWND owner = nullptr;
    std::vector<std::wstring> printed;
};

// Chooses the setup menu item once (or sends no command and runs the setup message
// itself), with the script acting on the dialog.
SetupOutcome ChooseSetup(DocFixture& f, const std::wstring& script, bool throughMenu = true)
{
    SetupOutcome outcome;
    std::vector<VireoHost::ScriptAction> actions;
    EXPECT_TRUE(VireoHost::ParseScript(script, actions).ok);
    VireoHost::ScriptRunner runner(MainWindow(), actions, L"",
                                   [&](const std::wstring& line) { outcome.printed.push_back(line); });
    runner.Start();
    VireoHost::DialogWatch watch;
    if (throughMenu)
        EXPECT_EQ(KXFObjects::MenuInstaller()->ExecuteCommand(OnlineEvents::Doc::DocumentGroup() + 1,
                                                              f.host->ModuleDocument()),
                  KXF_HANDLED);
    else
        EXPECT_EQ(f.doc->OnRunSetup(), 1);
    runner.Stop();
    outcome.opened = watch.Opened();
    outcome.result = watch.Opened() ? watch.Result() : 0;
    outcome.owner = watch.Owner();
    return outcome;
}

int SwitchOffs(const std::vector<UnitCall>& calls)
{
    int count = 0;
    for (const UnitCall& call : calls)
        count += call.switchOff ? 1 : 0;
    return count;
}

std::vector<int> SentOutputs(const std::vector<UnitCall>& calls)
{
    std::vector<int> outputs;
    for (const UnitCall& call : calls) {
        int32_t output = 0;
        std::memcpy(&output, call.record.data() + 8, sizeof output);
        if (!call.switchOff)
            outputs.push_back(output);
    }
    return outputs;
}

TEST(SetupRun, AnUnsupportedUnitIsNamedOrCalledNone)
{
    struct Case {
        const wchar_t* name;
        bool control;
        const wchar_t* shown;
    } cases[] = {{L"", true, L"(none)"}, {L"Korvane 2/10", true, L"(Korvane 2/10)"}, {L"Korvane 2/10", false,
                                                                                        L"(Korvane 2/10)"}};
    for (const Case& c : cases) {
        MainWindow();
        UnitModel model;
        model.name = c.name;
        model.supported = false;
        model.control = c.control;
        DocFixture f(model);
        const SetupOutcome outcome = ChooseSetup(f, L"ok\n");
        EXPECT_EQ(outcome.opened, 0);
        ASSERT_EQ(f.boxes.size(), 1u);
        EXPECT_EQ(f.boxes[0].rfind(L"MessageBox: Vireo: Vireo is not available for the current master device " +
                                       std::wstring(c.shown) + L". A suitable Korvane must be connected",
                                   0),
                  0u)
            << f.boxes[0];
        EXPECT_NE(f.boxes[0].find(L"\\n\\n"), std::wstring::npos) << "the second paragraph names the units";
        EXPECT_TRUE(f.TakeCalls().empty());
    }
}

TEST(SetupRun, AUnitWithoutOutputsGetsTheUnsuitableDeviceMessageAndNoDialog)
{
    MainWindow();
    UnitModel model;
    model.analogOutputs = 0;
    model.digitalGroups = {};
    DocFixture f(model);
    EXPECT_EQ(ChooseSetup(f, L"ok\n").opened, 0);
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0].rfind(L"MessageBox: Vireo: Vireo is not available for the current master device (", 0), 0u)
        << f.boxes[0];
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(SetupRun, SamplingWithInactiveOutputsIsRefusedWithAMessage)
{
    MainWindow();
    UnitModel model;
    model.sampling = true;
    model.active = false;
    DocFixture f(model);
    EXPECT_EQ(ChooseSetup(f, L"ok\n").opened, 0);
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0], L"MessageBox: Vireo: You cannot turn on Vireo while sampling.\\n\\nStop sampling and then "
                          L"set up Vireo.");
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(SetupRun, UnavailableLimitsStopWithoutAMessage)
{
    MainWindow();
    UnitModel model;
    model.limitsFail = true;
    DocFixture f(model);
    EXPECT_EQ(ChooseSetup(f, L"ok\n").opened, 0);
    EXPECT_TRUE(f.boxes.empty());
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(SetupRun, OkSendsTheSettingsAndSwitchesOffOnlyWhenNotSampling)
{
    for (bool sampling : {true, false}) {
        UnitModel model;
        model.sampling = sampling;
        DocFixture f(model);
        ASSERT_EQ(f.Apply(SettingsText(1, 0, {{1, true, {{0, true, 5, 40}}}})), S_OK);
        f.TakeCalls();
        f.doc->SetModified(false);
        const SetupOutcome outcome = ChooseSetup(f, L"ok\n");
        EXPECT_EQ(outcome.opened, 1);
        EXPECT_EQ(outcome.result, 1);
        EXPECT_EQ(outcome.owner, MainWindow()) << "the dialog belongs to the host's main window";
        const std::vector<UnitCall> calls = f.TakeCalls();
        EXPECT_EQ(SentOutputs(calls), (std::vector<int>{1, 2, -1, -2, -3, -4, -5, -6, -7, -8}));
        EXPECT_EQ(SwitchOffs(calls), sampling ? 0 : 1);
        if (!sampling) {
            EXPECT_TRUE(calls.back().switchOff) << "switched off after the settings";
        }
        EXPECT_TRUE(f.doc->IsModified());
        EXPECT_TRUE(f.boxes.empty()) << (f.boxes.empty() ? "" : QLXString(f.boxes[0].c_str()).NarrowText());
    }
}

TEST(SetupRun, CancelSendsNothingAndLeavesTheModifiedFlag)
{
    for (bool modified : {false, true}) {
        DocFixture f;
        ASSERT_EQ(f.Apply(SettingsText(1, 0, {{1, true, {}}})), S_OK);
        f.TakeCalls();
        f.doc->SetModified(modified);
        const SetupOutcome outcome = ChooseSetup(f, L"cancel\n");
        EXPECT_EQ(outcome.opened, 1);
        EXPECT_EQ(outcome.result, 2);
        EXPECT_TRUE(f.TakeCalls().empty());
        EXPECT_EQ(f.doc->IsModified(), modified);
    }
}

TEST(SetupRun, AScriptThatLeavesTheDialogOpenCancelsIt)
{
    DocFixture f;
    const SetupOutcome outcome = ChooseSetup(f, L"wait 30\n");
    EXPECT_EQ(outcome.opened, 1);
    EXPECT_EQ(outcome.result, 2);
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(SetupRun, OutputsTheUnitLacksStayInTheDocument)
{
    UnitModel model;
    model.analogOutputs = 1;
    model.digitalGroups = {};
    DocFixture f(model);
    ASSERT_EQ(f.Apply(SettingsText(2, 0, {{1, false, {}}, {3, true, {{2, false, 7, 60}}}})), S_OK);
    f.TakeCalls();
    ChooseSetup(f, L"ok\n");
    EXPECT_EQ(SentOutputs(f.TakeCalls()), std::vector<int>{1});
    const int kept = f.doc->Configuration().FindOutput(3);
    ASSERT_GE(kept, 0);
    const OnlineEvent& event = f.doc->Configuration().GetEvent(kept);
    EXPECT_TRUE(event.On);
    ASSERT_EQ(event.Rules.size(), 1u);
    EXPECT_EQ(event.Rules[0].Level, 60);
}

// Chained after the document: sees the messages the document lets go on.
class MessageProbe : public IMessageHandler {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageHandler) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage* message) override
    {
        DWORD number = 0;
        DWORD flags = 0;
        message->GetNumber(&number);
        message->GetFlags(&flags);
        if (number == OnlineEvents::Doc::DocumentGroup() + 2)
            applyFlags.push_back(flags);
        return 0;
    }
    HRESULT STDMETHODCALLTYPE Connect(IUnknown*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Chain(IMessageHandler*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Unchain(IUnknown*) override { return S_OK; }
    std::vector<DWORD> applyFlags;
};

TEST(SetupRun, TheSettingsGoOutWithOptionOneUnlessTheQuietStateBitIsSet)
{
    for (DWORD state : {0u, 1u, 2u}) {
        MessageProbe probe; // outlives the document, which holds it
        DocFixture f;
        ASSERT_EQ(f.doc->Chain(&probe), S_OK);
        f.doc->SetEventHandlerState(state);
        ChooseSetup(f, L"ok\n");
        EXPECT_EQ(probe.applyFlags, std::vector<DWORD>{(state & 1) ? 0u : 1u}) << state;
        EXPECT_FALSE(f.TakeCalls().empty());
    }
}

TEST(SetupRun, TheMenuItemIsChosenAgainForEachDialog)
{
    DocFixture f;
    const SetupOutcome first = ChooseSetup(f, L"cancel\n");
    const SetupOutcome second = ChooseSetup(f, L"ok\n");
    EXPECT_EQ(first.result, 2);
    EXPECT_EQ(second.result, 1);
    EXPECT_EQ(SwitchOffs(f.TakeCalls()), 1);
}


// ---- the dialog under a user's hands: posted clicks and keys through its own loop ----

const OnlineEvent& Output(DocFixture& f, int output)
{
    const EventConfig& config = f.doc->Configuration();
    return config.GetEvent(config.FindOutput(output));
}

// Digital Output 1 (tab 2) switched on with fixed-width pulses.
constexpr wchar_t FixedWidthPage[] = L"tab 2\nclick onoff 216\nclick settings 217\n";

TEST(SetupByHand, ARefusedFieldHoldsThePageWhateverTheUserDoesNext)
{
    using Read = std::function<double(const OnlineEvent&)>;
    const struct {
        const wchar_t* field;
        const wchar_t* bad;
        Read read;
        double kept; // after the user puts it right with 3; the level is clamped instead
    } fields[] = {
        {L"settings 220", L"100", [](const OnlineEvent& e) { return e.PulseDuration; }, 3},
        {L"settings 221", L"20", [](const OnlineEvent& e) { return e.PulseDelay; }, 3},
        {L"rule0 212", L"200", [](const OnlineEvent& e) { return e.Rules.at(0).Hysteresis; }, 3},
        {L"rule0 207", L"120", [](const OnlineEvent& e) { return e.Rules.at(0).Level; }, 100},
    };
    const wchar_t* nexts[] = {L"tab 3", L"select rule0 206 1", L"slide rule0 205 50", L"key Tab", L"ok"};
    for (const auto& field : fields) {
        const bool clamped = field.kept == 100;
        for (const wchar_t* next : nexts) {
            DocFixture f;
            std::wstring script = std::wstring(FixedWidthPage) + L"type " + field.field + L" " + field.bad + L"\n" +
                                  next + L"\n";
            if (!clamped)
                script += std::wstring(L"type ") + field.field + L" 3\n";
            const SetupOutcome outcome = ChooseSetup(f, script + L"ok\n");
            const std::string where = QLXString((std::wstring(field.field) + L" then " + next).c_str()).NarrowText();
            EXPECT_EQ(outcome.result, 1) << where;
            EXPECT_EQ(f.boxes.size(), clamped ? 0u : 1u) << where;
            // A slide sets the level itself.
            const double kept = clamped && std::wstring(next).rfind(L"slide", 0) == 0 ? 50 : field.kept;
            EXPECT_EQ(field.read(Output(f, -1)), kept) << where;
        }
    }
}

// Two refused fields loaded from a document: each move between them is refused once,
// and Cancel or Escape always closes.
TEST(SetupByHand, OneRefusalPerMoveAndTheUserCanAlwaysLeave)
{
    std::string text = SettingsText(0, 1, {{-1, true, {{0, true, 5, 0}}}});
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"PulseDuration = 0.001", "PulseDuration = 100"},
                                   {"PulseDelay = 0\n", "PulseDelay = 20\n"},
                                   {"LimitedDuration = 0", "LimitedDuration = 1"}})
        text.replace(text.find(from), from.size(), to);
    for (const wchar_t* leave : {L"cancel", L"key Escape"}) {
        DocFixture f;
        ASSERT_EQ(f.Apply(text), S_OK);
        f.TakeCalls();
        const SetupOutcome outcome =
            ChooseSetup(f, std::wstring(L"tab 2\nclick settings 220\nclick settings 221\nkey Tab\n") + leave + L"\n");
        EXPECT_EQ(outcome.opened, 1);
        EXPECT_EQ(outcome.result, 2);
        EXPECT_EQ(f.boxes.size(), 2u) << "one for each move away from the refused field";
        EXPECT_TRUE(f.TakeCalls().empty());
    }
}

// The dialog manager takes the focused push button as the default: Enter on help
// shows help and keeps the dialog open, Enter on a rule's plus button adds a rule.
TEST(SetupByHand, EnterPressesTheFocusedButton)
{
    DocFixture help;
    const SetupOutcome helped = ChooseSetup(help, L"key Shift+Tab\nkey Shift+Tab\nkey Shift+Tab\nkey Enter\nwait 20\n");
    EXPECT_EQ(helped.opened, 1);
    EXPECT_EQ(helped.result, 2) << "Enter went to OK";

    DocFixture plus;
    ChooseSetup(plus, L"tab 0\nclick onoff 216\nclick rule0 212\nkey Tab\nkey Enter\nkey Enter\nok\n");
    EXPECT_EQ(Output(plus, 1).Rules.size(), 3u);
}

TEST(SetupByHand, TheKeyboardAloneSetsUpAnOutputAsTheMouseDoes)
{
    const wchar_t* mouse = L"tab 1\nclick onoff 216\nselect onoff 206 1\nselect rule0 204 1\nselect rule0 206 1\n"
                           L"type rule0 207 2.5\ntype rule0 212 10\nclick rule0 231\ntype settings 221 0.5\n"
                           L"click settings 218\ntype settings 222 7\nok\n";
    // From the on/off box back to the tab control for the next tab, forward again into
    // the page, and through the new rule's pane to the output settings.
    const wchar_t* keyboard = L"key Shift+Tab\nkey Shift+Tab\nkey Shift+Tab\nkey Shift+Tab\nkey Right\n"
                              L"key Tab\nkey Tab\nkey Tab\nkey Tab\nkey Space\nkey Tab\nkey Down\nkey Tab\nkey Down\n"
                              L"key Tab\nkey Down\nkey Tab\nkey Tab\nkeys 2.5\nkey Tab\nkeys 10\nkey Tab\nkey Space\n"
                              L"key Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\n"
                              L"key Tab\nkeys 0.5\nkey Tab\nkey Space\nkey Tab\nkeys 7\nkey Enter\n";
    std::string texts[2];
    int i = 0;
    for (const wchar_t* script : {mouse, keyboard}) {
        OnlineEvents::DetectorDialog::SetLastSelectedTab(0);
        DocFixture f;
        EXPECT_EQ(ChooseSetup(f, script).result, 1);
        EXPECT_TRUE(f.boxes.empty());
        f.doc->Configuration().Serialize(texts[i++]);
    }
    EXPECT_EQ(texts[1], texts[0]);
    EXPECT_NE(texts[0].find("PulseNumLimit = 7"), std::string::npos) << texts[0];
}

// Whether every field the user could edit on an output holds a value its check accepts.
std::string OutOfRange(const OnlineEvent& e, double maxDelay)
{
    auto outside = [](double v, double low, double high) { return !(v >= low && v <= high); };
    if (!e.On)
        return {};
    if (outside(e.PulseDelay, 0, maxDelay) || (e.LimitedDuration && outside(e.PulseDuration, 0, 60)) ||
        (e.LimitedDuration && outside(e.RetriggerHoldoffTime, 0, maxDelay)) ||
        (e.LimitedNumPulses && outside(e.PulseNumLimit, 0, 30000)))
        return "pulse settings of output " + std::to_string(e.Output);
    for (const OnlineEventRule& rule : e.Rules)
        if (outside(rule.Hysteresis, 0, 95) || outside(rule.Level, -100, 100))
            return "a rule of output " + std::to_string(e.Output);
    return {};
}

// A number given on the command line by hand (--setup-actions=N, --setup-seed=N), else fallback.
int CommandLineNumber(const std::wstring& option, int fallback)
{
    const std::wstring line = GetCommandLineW();
    const size_t at = line.find(option);
    return at == std::wstring::npos ? fallback : _wtoi(line.c_str() + at + option.size());
}

TEST(SetupByHand, SeededRandomSessionsOnlyEverStoreAcceptedValues)
{
    const std::vector<std::wstring> fields = {L"settings 220", L"settings 221", L"settings 222", L"settings 250",
                                              L"rule0 207",    L"rule0 212",    L"rule1 207",    L"rule1 212"};
    const std::vector<std::wstring> values = {L"0", L"0.5", L"7", L"12", L"59.5", L"65", L"200", L"-15", L"1e5", L""};
    const std::vector<std::wstring> keys = {L"Tab",  L"Shift+Tab", L"Space", L"Up",     L"Down",     L"Left",
                                            L"Right", L"Home",     L"End",   L"PageUp", L"PageDown", L"Enter"};
    const std::vector<std::wstring> clicks = {L"onoff 216",  L"settings 217", L"settings 218", L"rule0 231",
                                              L"rule0 230", L"rule1 231",    L"rule1 230",    L"rule2 230"};
    std::mt19937 random(static_cast<unsigned>(CommandLineNumber(L"--setup-seed=", 2112)));
    auto pick = [&](const std::vector<std::wstring>& from) { return from[random() % from.size()]; };
    auto number = [&](int low, int high) { return std::to_wstring(low + static_cast<int>(random() % (high - low + 1))); };

    UnitModel model;
    model.digitalGroups = {2}; // four outputs
    DocFixture f(model);
    int oks = 0;
    for (int done = 0, actions = CommandLineNumber(L"--setup-actions=", 240); done < actions;) {
        std::wstring script;
        for (int k = 0; k < 30; ++k, ++done) {
            switch (random() % 9) {
            case 0: script += L"tab " + number(0, 3); break;
            case 1: script += L"click " + pick(clicks); break;
            case 2: script += L"select rule" + number(0, 1) + L" " + (random() % 2 ? L"204 " + number(0, 3) : L"206 1"); break;
            case 3: case 4: script += L"type " + pick(fields) + L" " + pick(values); break;
            case 5: script += L"slide rule" + number(0, 1) + L" 205 " + number(-120, 120); break;
            case 6: script += L"spin rule0 208 " + number(-2, 2); break;
            case 7: script += L"key " + pick(keys); break;
            default: script += L"keys " + number(0, 99); break;
            }
            script += L"\n";
        }
        const SetupOutcome outcome = ChooseSetup(f, script + L"ok\n");
        ASSERT_EQ(outcome.opened, 1);
        const std::vector<UnitCall> sent = f.TakeCalls();
        if (outcome.result != 1)
            continue;
        ++oks;
        const EventConfig& config = f.doc->Configuration();
        for (int i = 0; i < config.GetCount(); ++i)
            ASSERT_EQ(OutOfRange(config.GetEvent(i), model.maxPulseDelay), "") << QLXString(script.c_str()).NarrowText();
        // What the unit got is what the document's own settings send.
        std::string text;
        config.Serialize(text);
        DocFixture fresh(model);
        ASSERT_EQ(fresh.Apply(text), S_OK);
        std::vector<std::vector<unsigned char>> expected, received;
        for (const UnitCall& call : fresh.TakeCalls())
            if (!call.switchOff)
                expected.emplace_back(call.record.begin(), call.record.end());
        for (const UnitCall& call : sent)
            if (!call.switchOff)
                received.emplace_back(call.record.begin(), call.record.end());
        EXPECT_EQ(received, expected);
    }
    EXPECT_GT(oks, 0);
}

TEST(SetupRun, ARefusedSettingsSendAfterOkIsReportedAndNothingIsSwitchedOff)
{
    for (bool disabled : {true, false}) {
        MainWindow();
        DocFixture f;
        f.TakeCalls();
        if (disabled)
            f.doc->SetEnabled(false);
        else // to a target that takes no messages
            static_cast<IMessageHandler*>(f.doc)->Connect(static_cast<IRecordingUnit*>(f.unit), FALSE);
        // The menu command would need the refused sender too.
        EXPECT_EQ(ChooseSetup(f, L"ok\n", false).result, 1);
        EXPECT_TRUE(f.TakeCalls().empty()) << "no settings and no SwitchOff";
        EXPECT_FALSE(f.doc->IsModified());
        EXPECT_EQ(f.boxes, std::vector<std::wstring>{L"MessageBox: Vireo: An internal error occurred while setting up "
                                                     L"Vireo.  Please contact your distributor for assistance."});
    }
}

} // namespace
