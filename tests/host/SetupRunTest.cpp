// The setup run from the menu item through the framework to the document, its
// dialog and the unit, with the dialog driven by a script as the host program does.

#include "DialogWatch.h"
#include "DocTestSupport.h"
#include "HostServices.h"
#include "ScriptRunner.h"

#include "extension/KXFObjects.h"

#include <gtest/gtest.h>

#include <cstring>

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
