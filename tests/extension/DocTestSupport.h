#pragma once
// An online events document inside a host document on a simulated unit, with the
// framework running in the test process and the document class registered.

#include "HostDocument.h"
#include "MessageBoxEcho.h"
#include "SimulatedUnit.h"

#include "extension/FrameworkHostUi.h"
#include "extension/FrameworkServices.h"
#include "extension/OnlineEventsDoc.h"
#include "extension/OnlineEventsDocClass.h"

#include <functional>
#include <string>
#include <vector>

namespace VireoTest {

// The document class alone; the self-test stays out of the framework's registry,
// which other suites count.
inline void RegisterModuleOnce()
{
    static const bool registered = [] {
        OnlineEvents::InstallFrameworkHostUi();
        auto* registry = GetFrameworkService<IKXFObjectRegistry>(CLSID_KXFFramework, IID_IKXFObjectRegistry);
        auto* documentClass = new OnlineEvents::DocClass;
        documentClass->AddRef();
        if (registry)
            registry->RegisterClassObject(static_cast<ICustomDocClass*>(documentClass));
        documentClass->Release();
        return true;
    }();
    (void)registered;
}

struct DocFixture {
    VireoHost::SimulatedUnit* unit = nullptr;
    VireoHost::HostDocument* host = nullptr;
    OnlineEvents::Doc* doc = nullptr;
    std::vector<std::wstring> boxes;
    VireoHost::MessageBoxEcho echo{[this](const std::wstring& caption, const std::wstring& text) {
        boxes.push_back(VireoHost::MessageBoxEcho::Line(caption, text));
    }};

    using MakeHost = std::function<VireoHost::HostDocument*(VireoHost::SimulatedUnit*)>;

    explicit DocFixture(const VireoHost::UnitModel& model = VireoHost::UnitModel(), const MakeHost& makeHost = {})
    {
        RegisterModuleOnce();
        unit = new VireoHost::SimulatedUnit(model);
        host = makeHost ? makeHost(unit) : new VireoHost::HostDocument(unit);
        std::wstring error;
        if (SUCCEEDED(host->CreateModuleDocument(CLSID_OnlineEventsDocument, error)))
            doc = static_cast<OnlineEvents::Doc*>(static_cast<ICustomDocument2*>(host->ModuleDocument()));
    }
    ~DocFixture()
    {
        host->Close();
        host->Release();
        unit->Release();
    }

    void Raise(DWORD number, BYTE* flag = nullptr) { host->Raise(number, 0, flag); }
    HRESULT Apply(const std::string& text)
    {
        return host->SendText(OnlineEvents::Doc::DocumentGroup() + 2, QLXString::FromNarrow(text.c_str(), 0).c_str());
    }
    std::vector<VireoHost::UnitCall> TakeCalls()
    {
        std::vector<VireoHost::UnitCall> calls = unit->Calls();
        unit->ClearCalls();
        return calls;
    }
};

// A settings text with one output block per entry, each with the rules given.
struct RuleText {
    int input;
    bool above;
    double hysteresis;
    double level;
};
struct OutputText {
    int output;
    bool on;
    std::vector<RuleText> rules;
};
std::string SettingsText(int analog, int digital, const std::vector<OutputText>& outputs);

} // namespace VireoTest
