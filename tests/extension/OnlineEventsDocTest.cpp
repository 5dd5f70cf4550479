#include "DocTestSupport.h"

#include "ScriptRunner.h"
#include "extension/KXFObjects.h"
#include "support/FakeCommandState.h"
#include "support/WindowDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace VireoTest;
using VireoHost::UnitCall;
using VireoHost::UnitModel;

namespace {

int32_t Field(const UnitCall& call, size_t offset)
{
    int32_t value;
    std::memcpy(&value, call.record.data() + offset, sizeof value);
    return value;
}

// The output numbers of the records sent, in order.
std::vector<int> Outputs(const std::vector<UnitCall>& calls)
{
    std::vector<int> outputs;
    for (const UnitCall& call : calls)
        outputs.push_back(call.switchOff ? 0 : Field(call, 8));
    return outputs;
}

DWORD UnitEvent(DWORD offset)
{
    return OnlineEvents::Doc::UnitEventGroup() + offset;
}

TEST(OnlineEventsDoc, TheMessageBaseIsTheDocumentClassGroupAndStaysTheSame)
{
    DocFixture f;
    ASSERT_NE(f.doc, nullptr);
    const DWORD base = OnlineEvents::Doc::DocumentGroup();
    EXPECT_NE(base, 0u);
    EXPECT_EQ(base & 0xFFFF, 0u);
    EXPECT_EQ(base, KXFObjects::IdGroupBase(CLSID_OnlineEventsDocument));
    EXPECT_EQ(OnlineEvents::Doc::DocumentGroup(), base);
}

TEST(OnlineEventsDoc, ApplySettingsMergesMarksModifiedRegistersAndSendsEveryUnitOutput)
{
    DocFixture f;
    ASSERT_NE(f.doc, nullptr);
    EXPECT_TRUE(f.TakeCalls().empty());
    EXPECT_FALSE(f.doc->IsModified());
    f.Apply(SettingsText(1, 0, {{1, true, {{0, true, 10, 50}, {1, false, 10, 50}, {2, true, 5, -12.5}}}}));
    EXPECT_TRUE(f.doc->IsModified());
    EXPECT_TRUE(f.doc->PersistenceAttached());
    ASSERT_EQ(f.host->Registered().size(), 1u);
    EXPECT_EQ(f.host->Registered()[0], f.doc->Persistence());
    const std::vector<UnitCall> calls = f.TakeCalls();
    // The unit's ten outputs, the ones the settings lack with their defaults.
    EXPECT_EQ(Outputs(calls), (std::vector<int>{1, 2, -1, -2, -3, -4, -5, -6, -7, -8}));
    const UnitCall& first = calls[0];
    EXPECT_EQ(Field(first, 12), 1);
    EXPECT_EQ(Field(first, 48 + 4), 16000);
    EXPECT_EQ(Field(first, 64 + 4), 19200);
    EXPECT_EQ(Field(first, 80 + 4), -4000);
    EXPECT_EQ(first.record[96 + 12], 0);
    EXPECT_EQ(Field(calls[1], 12), 0);
    EXPECT_TRUE(f.boxes.empty());
    // A second message does not register the persistence again.
    f.Apply(SettingsText(1, 0, {{1, false, {}}}));
    EXPECT_EQ(f.host->Registered().size(), 1u);
}

TEST(OnlineEventsDoc, SettingsGoOnToTheFrameworkButAnInternalErrorEndsThemWithAMessage)
{
    DocFixture fine;
    EXPECT_EQ(fine.Apply(SettingsText(0, 0, {})), 0);
    EXPECT_TRUE(fine.boxes.empty());

    UnitModel model;
    model.analogOutputs = 5000;
    DocFixture f(model);
    EXPECT_EQ(f.Apply(SettingsText(1, 0, {{1, true, {}}})), 1);
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0], L"MessageBox: Vireo: An internal error occurred while setting up Vireo.  Please contact "
                          L"your distributor for assistance.");
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(OnlineEventsDoc, OutputsTheUnitLacksAreKeptButNeverSent)
{
    UnitModel model;
    model.analogOutputs = 1;
    model.digitalGroups = {2};
    DocFixture f(model);
    f.Apply(SettingsText(2, 0, {{1, true, {{0, true, 5, 10}}}, {3, true, {{0, true, 5, 10}}}}));
    EXPECT_EQ(Outputs(f.TakeCalls()), (std::vector<int>{1, -1, -2}));
    EXPECT_NE(f.doc->Configuration().FindOutput(3), -1);
}

TEST(OnlineEventsDoc, ARuleOnAnInputTheUnitLacksGoesOutOnInputZero)
{
    DocFixture f;
    f.Apply(SettingsText(1, 0, {{1, true, {{7, false, 10, 50}}}}));
    const UnitCall call = f.TakeCalls().at(0);
    EXPECT_EQ(call.record[48 + 12], 1);
    EXPECT_EQ(call.record[48 + 13], 1);
    EXPECT_EQ(Field(call, 48 + 4), 19200);
    const OnlineEvent& kept = f.doc->Configuration().GetEvent(f.doc->Configuration().FindOutput(1));
    EXPECT_EQ(kept.Rules.at(0).Input, 7);
}

TEST(OnlineEventsDoc, ABrokenOffSettingsTextChangesNothingAndShowsTheInternalError)
{
    DocFixture f;
    std::string text = SettingsText(2, 0, {{1, true, {{2, true, 5, 25}}}, {2, true, {{1, true, 5, 25}}}});
    text.resize(text.find("BeginOnlineEvent", text.find("EndOnlineEvent")));
    EXPECT_EQ(f.Apply(text), 1);
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0], L"MessageBox: Vireo: An internal error occurred while setting up Vireo.  Please contact "
                          L"your distributor for assistance.");
    EXPECT_FALSE(f.doc->IsModified());
    EXPECT_FALSE(f.doc->PersistenceAttached());
    EXPECT_TRUE(f.TakeCalls().empty());
    EXPECT_EQ(f.doc->Configuration().GetCount(), 0);
}

// A host document whose storage turns down the first registration.
class RefusingHost : public VireoHost::HostDocument {
public:
    using HostDocument::HostDocument;
    HRESULT STDMETHODCALLTYPE RegisterStream(IKXFLink* link, DWORD a, IPersistStream* stream, DWORD b, DWORD c,
                                             IQLXString** text) override
    {
        if (refused_++ == 0)
            return E_FAIL;
        return HostDocument::RegisterStream(link, a, stream, b, c, text);
    }

private:
    int refused_ = 0;
};

TEST(OnlineEventsDoc, ARefusedRegistrationIsTriedAgainWithTheNextSettings)
{
    DocFixture f(UnitModel(), [](VireoHost::SimulatedUnit* unit) { return new RefusingHost(unit); });
    f.Apply(SettingsText(0, 0, {}));
    EXPECT_FALSE(f.doc->PersistenceAttached());
    EXPECT_TRUE(f.host->Registered().empty());
    f.Apply(SettingsText(0, 0, {}));
    EXPECT_TRUE(f.doc->PersistenceAttached());
    EXPECT_EQ(f.host->Registered().size(), 1u);
}

TEST(OnlineEventsDoc, PersistenceQueryAnswersOnlyFlagZeroKindTwo)
{
    DocFixture f;
    IUnknown* persistence = reinterpret_cast<IUnknown*>(1);
    DWORD extra = 7;
    EXPECT_EQ(f.doc->QueryPersistence(0, 1, &persistence, &extra), 1);
    EXPECT_EQ(persistence, nullptr);
    EXPECT_EQ(extra, 0u);
    EXPECT_FALSE(f.doc->PersistenceAttached());
    EXPECT_EQ(f.doc->QueryPersistence(1, 2, &persistence, &extra), 1);
    EXPECT_EQ(f.doc->QueryPersistence(0, 2, &persistence, &extra), 0);
    EXPECT_EQ(persistence, static_cast<IUnknown*>(f.doc->Persistence()));
    EXPECT_TRUE(f.doc->PersistenceAttached());
    // Once the host has asked, settings do not register the persistence again.
    f.Apply(SettingsText(0, 0, {}));
    EXPECT_TRUE(f.host->Registered().empty());
}

TEST(OnlineEventsDoc, AttachAndDeviceNotificationsReattachAndApply)
{
    DocFixture f;
    f.Apply(SettingsText(1, 0, {{1, true, {{0, true, 5, 10}}}}));
    f.TakeCalls();
    f.Raise(UnitEvent(13));
    EXPECT_EQ(f.TakeCalls().size(), 10u);
    f.Raise(OnlineEvents::Doc::DeviceEventGroup() + 18);
    EXPECT_EQ(f.TakeCalls().size(), 10u);
    f.unit->Model().supported = false;
    f.Raise(UnitEvent(13));
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(OnlineEventsDoc, NotificationsReachOnlyTheDocumentOfTheirHostDocument)
{
    DocFixture first;
    DocFixture second;
    first.Raise(UnitEvent(16));
    EXPECT_EQ(first.TakeCalls().size(), 1u);
    EXPECT_TRUE(second.TakeCalls().empty());
    second.host->Close();
    second.Raise(UnitEvent(16));
    EXPECT_TRUE(second.TakeCalls().empty());
}

TEST(OnlineEventsDoc, RestartAppliesWhenAnOutputIsOnAndSwitchesOffOtherwise)
{
    DocFixture f;
    f.Raise(UnitEvent(15));
    std::vector<UnitCall> calls = f.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].switchOff);
    f.Apply(SettingsText(0, 1, {{-1, true, {{0, true, 5, 10}}}}));
    f.TakeCalls();
    f.Raise(UnitEvent(15));
    EXPECT_EQ(f.TakeCalls().size(), 10u);
    f.Raise(UnitEvent(16));
    calls = f.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].switchOff);
}

TEST(OnlineEventsDoc, StimulatorWarningOnlyForAnAnalogOutputThatIsOn)
{
    UnitModel model;
    model.stimulator = true;
    DocFixture f(model);
    BYTE flag = 1;
    f.Raise(UnitEvent(0), &flag);
    EXPECT_TRUE(f.boxes.empty());
    f.Apply(SettingsText(0, 1, {{-1, true, {}}}));
    f.Raise(UnitEvent(0), &flag);
    EXPECT_TRUE(f.boxes.empty());
    f.Apply(SettingsText(2, 0, {{1, false, {}}, {2, true, {}}}));
    f.Raise(UnitEvent(0), &flag);
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0], L"MessageBox: Vireo: Currently Vireo is using the analog outputs and the Stimulator is "
                          L"enabled. The Stimulator will take precedence.");
    flag = 0;
    f.Raise(UnitEvent(0), &flag);
    f.unit->Model().stimulator = false;
    flag = 1;
    f.Raise(UnitEvent(0), &flag);
    EXPECT_EQ(f.boxes.size(), 1u);
    EXPECT_TRUE(f.TakeCalls().size() > 0);
}

TEST(OnlineEventsDoc, MenuStateFollowsLockSupportAndOutputsThatAreOn)
{
    DocFixture f;
    const DWORD command = OnlineEvents::Doc::DocumentGroup() + 1;
    FakeCommandState state;
    EXPECT_EQ(f.doc->Update(command, &state), 0);
    EXPECT_EQ(state.enabled, KXFCommand_Enabled);
    EXPECT_EQ(state.checked, 0);
    EXPECT_EQ(state.style, 3u);
    f.Apply(SettingsText(1, 0, {{1, true, {}}}));
    f.doc->Update(command, &state);
    EXPECT_EQ(state.checked, 1);
    f.unit->Model().supported = false;
    f.doc->Update(command, &state);
    EXPECT_EQ(state.enabled, KXFCommand_Enabled);
    EXPECT_EQ(state.checked, 0);

    IKXFStateService* service = nullptr;
    ASSERT_EQ(KXFObjects::ObjectRegistry()->GetObject(OnlineEvents::Doc::DeviceEventGroup(), IID_IKXFStateService,
                                                      reinterpret_cast<void**>(&service)),
              S_OK);
    service->SetLockFlag(1);
    f.unit->Model().supported = true;
    f.doc->Update(command, &state);
    service->SetLockFlag(0);
    service->Release();
    EXPECT_EQ(state.enabled, KXFCommand_Disabled);
    EXPECT_EQ(state.checked, 0);
}

TEST(OnlineEventsDoc, HandlersLogWhatTheyCaught)
{
    const std::wstring tooManyOutputs = L"Online Events: Illegal output count.";
    const DWORD command = OnlineEvents::Doc::DocumentGroup() + 1;
    struct Case {
        const wchar_t* handler;
        std::wstring caught;
        std::function<void(DocFixture&)> trigger;
    } cases[] = {
        {L"unit attached", tooManyOutputs, [](DocFixture& f) { f.Raise(UnitEvent(13)); }},
        {L"outputs restart", tooManyOutputs, [](DocFixture& f) { f.Raise(UnitEvent(15)); }},
        {L"menu state", tooManyOutputs,
         [command](DocFixture& f) {
             FakeCommandState state;
             f.doc->Update(command, &state);
         }},
        {L"run setup", tooManyOutputs, [](DocFixture& f) { f.doc->OnRunSetup(); }},
        {L"apply settings", tooManyOutputs,
         [](DocFixture& f) {
             f.Apply(SettingsText(1, 0, {{1, true, {}}}));
         }},
        {L"setup command", L"XHResult 0x80004005",
         [command](DocFixture& f) {
             f.doc->SetEnabled(false);
             f.doc->Execute(command);
         }},
    };
    for (const Case& c : cases) {
        DocFixture f;
        f.Apply(SettingsText(1, 0, {{1, true, {}}}));
        // More outputs than a configuration can hold: shaping one after the unit throws.
        f.unit->Model().digitalGroups = {2000};
        WideErrorCapture log;
        c.trigger(f);
        const std::wstring line =
            L"QLXBOOTLOG: OnlineEvents::Doc: " + std::wstring(c.handler) + L": " + c.caught + L"\n";
        EXPECT_NE(log.Text().find(line), std::wstring::npos) << QLXString(log.Text().c_str()).NarrowText();
    }
}

// Ends every setup dialog the test opens with Cancel.
struct CancelDialogs {
    VireoHost::ScriptRunner runner;
    CancelDialogs() : runner(nullptr, Cancels(), L"", [](const std::wstring&) {}) { runner.Start(); }
    static std::vector<VireoHost::ScriptAction> Cancels()
    {
        std::vector<VireoHost::ScriptAction> actions(4);
        for (VireoHost::ScriptAction& action : actions)
            action.kind = VireoHost::ActionKind::Cancel;
        return actions;
    }
};

TEST(OnlineEventsDoc, SetupCommandIsHandledAndTheRunSetupMessageIsPassedOn)
{
    DocFixture f;
    CancelDialogs cancel;
    EXPECT_EQ(f.doc->Execute(OnlineEvents::Doc::DocumentGroup() + 1), 0);
    EXPECT_EQ(f.doc->Execute(OnlineEvents::Doc::DocumentGroup() + 9), 1);
    EXPECT_EQ(f.doc->OnRunSetup(), 1);
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(OnlineEventsDoc, TheSetupCommandIsInstalledAsTheClassesFirstCommand)
{
    DocFixture f;
    const DWORD number = OnlineEvents::Doc::DocumentGroup() + 1;
    IKXFCommand* command = nullptr;
    ASSERT_EQ(KXFObjects::MenuInstaller()->FindCommand(number, &command), S_OK);
    BSTR text = nullptr;
    BSTR path = nullptr;
    command->GetText(&text);
    command->GetMenuPath(&path);
    EXPECT_STREQ(text, L"Vireo...");
    EXPECT_STREQ(path, L"Setup|&Online Event Detector^OUTPUTEXTS");
    SysFreeString(text);
    SysFreeString(path);
    command->Release();
    CancelDialogs cancel;
    EXPECT_EQ(KXFObjects::MenuInstaller()->ExecuteCommand(number, f.host->ModuleDocument()), 0);
}

TEST(OnlineEventsDoc, FindsTheMasterDeviceName)
{
    UnitModel model;
    model.name = L"Korvane 16/35";
    DocFixture f(model);
    QLXString name;
    EXPECT_TRUE(f.doc->GetMasterDeviceName(name));
    EXPECT_TRUE(name == L"Korvane 16/35");
    EXPECT_TRUE(f.doc->IsFeatureSupported());
}

TEST(OnlineEventsDoc, WithoutAUnitNothingIsAppliedAndNothingFails)
{
    EventConfig config;
    EXPECT_FALSE(OnlineEvents::Doc::ApplyToUnit(config, nullptr));
    RegisterModuleOnce();
    auto* host = new VireoHost::HostDocument(nullptr);
    std::wstring error;
    ASSERT_EQ(host->CreateModuleDocument(CLSID_OnlineEventsDocument, error), S_OK);
    auto* doc = static_cast<OnlineEvents::Doc*>(static_cast<ICustomDocument2*>(host->ModuleDocument()));
    EXPECT_FALSE(doc->HasRecordingUnit());
    EXPECT_FALSE(doc->IsFeatureSupported());
    QLXString name;
    EXPECT_FALSE(doc->GetMasterDeviceName(name));
    host->Raise(UnitEvent(16), 0, nullptr);
    host->SendText(OnlineEvents::Doc::DocumentGroup() + 2,
                   L"Version = 1\nAnalogOutputCount = 0\nDigitalOutputCount = 0\n");
    EXPECT_TRUE(doc->IsModified());
    host->Close();
    host->Release();
}

} // namespace
