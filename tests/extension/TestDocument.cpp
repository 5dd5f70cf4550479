#include "TestDocument.h"

#include "extension/KXFObjects.h"
#include "foundation/ModuleInstance.h"

namespace VireoTest {

DWORD TestDocBase()
{
    static const DWORD base = KXFObjects::IdGroupBase(CLSID_TestDocClass);
    return base;
}

DWORD TestEventBase()
{
    static const DWORD base = KXFObjects::IdGroupBase(TestEventGroup);
    return base;
}

TestDocLog& Log()
{
    static TestDocLog log;
    return log;
}

KXFTableEntry TestDoc::s_eventTable[] = {
    KXFTable::Header(),
    KXFTable::Execute(&TestDoc::SetupCommand, &TestDoc::OnSetup),
    KXFTable::Update(&TestDoc::SetupCommand, &TestDoc::OnSetupState),
    KXFTable::Execute(&TestDoc::OtherCommand, &TestDoc::OnOther),
    KXFTable::Invoke(6, &TestDoc::OtherCommand, &TestDoc::OnInvoke),
    KXFTable::FlagNotification(&TestDoc::FlagNotice, &TestDoc::OnFlag),
    KXFTable::Notification(&TestDoc::PlainNotice, &TestDoc::OnPlain),
    KXFTable::Message(&TestDoc::RunMessage, &TestDoc::OnRun),
    KXFTable::TextMessage(&TestDoc::ApplyMessage, &TestDoc::OnApply),
    KXFTable::End(),
};

TestDoc::TestDoc(IUnknown* owner, KXFDocumentClassBase* documentClass)
    : VarnChildDocument(owner, static_cast<ICustomDocClass*>(documentClass))
{}

TestDoc::~TestDoc()
{
    ++Log().destroyed;
    Log().countWhenDestroyed = RefCount();
    if (Log().touchSelfWhenDestroyed) {
        IUnknown* self = nullptr;
        QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self));
        self->Release();
    }
}

void TestDoc::OnSetup()
{
    ++Log().executed;
    Log().lastSend = Send(RunMessage(), 4);
}

void TestDoc::OnSetupState(IKXFCommandState* state)
{
    ++Log().updated;
    state->Enable(KXFCommand_Enabled);
    state->Check(1, 3);
}

LONG TestDoc::OnRun()
{
    ++Log().ran;
    return Log().runAnswer;
}

LONG TestDoc::OnApply(const QLXString& text)
{
    Log().texts.emplace_back(text.c_str());
    return 0;
}

KXFTableEntry TestDocClass::s_eventTable[] = {
    KXFTable::Header(),
    KXFTable::Execute(&TestDocClass::ClassCommand, &TestDocClass::OnClassCommand),
    KXFTable::End(),
};

TestDocClass::TestDocClass()
    : KXFDocumentClass<TestDoc>(QLXString(L"Test Document"), CLSID_TestDocClass, TestDocKind, TestDocBase(), 1, 0,
                                InterfaceArray<IKXFCommand>())
{}

HRESULT STDMETHODCALLTYPE TestDocClass::InstallCommandsWith(IKXFCommandHandler* handler, IUnknown* site)
{
    return InstallMenuCommand(handler, site, QLX::GetModuleInstance(), 238, L"Setup|&Test Command^GROUP");
}

} // namespace VireoTest
