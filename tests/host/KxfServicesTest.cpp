// The stand-in framework's services as a module reaches them: loaded from Kxf.dll and
// found through the framework object, its object registry and COM.

#include "HostString.h"
#include "KxfLibrary.h"

#include "host/HostControl.h"
#include "hostapi/OnlineEvents.h"
#include "support/LeakCheck.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

long KxfLive()
{
    HMODULE kxf = GetModuleHandleW(L"Kxf.dll");
    using Count = LONG(WINAPI*)();
    auto count =
        kxf ? reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(kxf, "KxfLiveObjects"))) : nullptr;
    return count ? count() : 0;
}

const bool counted = [] {
    VireoTest::RegisterLiveCounter("Kxf objects", KxfLive);
    return true;
}();

// {8E1B6C0A-51F4-4C5E-8E0B-3A8C2F9D4B10}
constexpr CLSID CLSID_FakeClass = {0x8E1B6C0A, 0x51F4, 0x4C5E, {0x8E, 0x0B, 0x3A, 0x8C, 0x2F, 0x9D, 0x4B, 0x10}};

// Plain reference counting for the fakes below; they live on the stack.
#define FAKE_UNKNOWN(Interface, iidValue)                                                                              \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override                                       \
    {                                                                                                                  \
        if (!object)                                                                                                   \
            return E_POINTER;                                                                                          \
        *object = nullptr;                                                                                             \
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, iidValue))                                              \
            return E_NOINTERFACE;                                                                                      \
        *object = static_cast<Interface*>(this);                                                                       \
        AddRef();                                                                                                      \
        return S_OK;                                                                                                   \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE AddRef() override                                                                          \
    {                                                                                                                  \
        return ++refs;                                                                                                 \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE Release() override                                                                         \
    {                                                                                                                  \
        return --refs;                                                                                                 \
    }                                                                                                                  \
    ULONG refs = 1;

// A class's command handler that also reports the class's message base.
class FakeClassHandler : public IKXFCommandHandler, public IKXFClassObject {
public:
    explicit FakeClassHandler(DWORD base, HRESULT answer = KXF_HANDLED) : base_(base), answer_(answer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKXFCommandHandler))
            *object = static_cast<IKXFCommandHandler*>(this);
        else if (IsEqualIID(iid, IID_IKXFClassObject))
            *object = static_cast<IKXFClassObject*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    HRESULT STDMETHODCALLTYPE Execute(DWORD number) override
    {
        executed.push_back(number);
        return answer_;
    }
    HRESULT STDMETHODCALLTYPE Update(DWORD number, IKXFCommandState* state) override
    {
        updated.push_back(number);
        if (state)
            state->Enable(KXFCommand_Enabled);
        return answer_;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DWORD, DWORD, DWORD_PTR, DWORD_PTR) override { return KXF_NOT_HANDLED; }

    DWORD STDMETHODCALLTYPE GetMessageBase() override { return base_; }
    HRESULT STDMETHODCALLTYPE GetKind(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsKind(REFGUID) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
    DWORD STDMETHODCALLTYPE GetFlags() override { return 0; }

    ULONG refs = 1;
    std::vector<DWORD> executed;
    std::vector<DWORD> updated;

private:
    DWORD base_;
    HRESULT answer_;
};

class FakeObserver : public IObserver {
public:
    FAKE_UNKNOWN(IObserver, IID_IObserver)

    HRESULT STDMETHODCALLTYPE Connect(IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Notify(IUnknown*, DWORD number, DWORD_PTR argument, void*) override
    {
        seen.push_back(number + static_cast<DWORD>(argument));
        if (dropOther && source)
            source->Unsubscribe(dropOther, number);
        return S_OK;
    }

    std::vector<DWORD> seen;
    IObserver* dropOther = nullptr;
    IKXFNotificationSource* source = nullptr;
};

// A unit test with three test functions: one passes, one fails, one throws.
class FakeUnitTest : public IUnitTest {
public:
    FAKE_UNKNOWN(IUnitTest, IID_IUnitTest)

    HRESULT STDMETHODCALLTYPE GetTestCount(LONG* count) override
    {
        *count = 3;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RunTest(LONG index) override
    {
        ran.push_back(index);
        if (index == 2)
            throw std::runtime_error("broken");
        passed_ = index == 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTestName(LONG, IQLXString** name) override
    {
        *name = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetResult(VARIANT_BOOL* passed, IQLXString** message) override
    {
        *passed = passed_ ? -1 : 0;
        *message = VireoHost::NewHostString(passed_ ? L"" : L"failed");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Initialise(void*, void*, void*) override
    {
        ++initialised;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetOwner(IQLXString** owner) override
    {
        *owner = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTestValue(LONG, double* value) override
    {
        *value = 60.0;
        return S_OK;
    }

    int initialised = 0;
    std::vector<LONG> ran;

private:
    bool passed_ = true;
};

LONG RefsOf(IUnknown* object)
{
    object->AddRef();
    return static_cast<LONG>(object->Release());
}

TEST(KxfObjectRegistry, HandsOutFrameworkObjectsByNumber)
{
    IKXFObjectRegistry* registry = KxfTest::ObjectRegistry();
    ASSERT_NE(registry, nullptr);
    const struct {
        DWORD number;
        const IID* iid;
    } objects[] = {
        {KXFObject_MessageFactory, &IID_IKXFMessageFactory}, {KXFObject_DocumentBinder, &IID_IKXFDocumentBinder},
        {KXFObject_ClassBinder, &IID_IKXFClassBinder},       {KXFObject_CommandFactory, &IID_IKXFCommandFactory},
        {KXFObject_MenuInstaller, &IID_IKXFMenuInstaller},
    };
    for (const auto& o : objects) {
        void* object = nullptr;
        EXPECT_EQ(registry->GetObject(o.number, *o.iid, &object), S_OK) << std::hex << o.number;
        ASSERT_NE(object, nullptr);
        static_cast<IUnknown*>(object)->Release();
        object = reinterpret_cast<void*>(1);
        EXPECT_EQ(registry->GetObject(o.number, IID_IKXFStateService, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
    }
    void* object = nullptr;
    EXPECT_EQ(registry->GetObject(0x80000099, IID_IUnknown, &object), E_INVALIDARG);
    EXPECT_EQ(registry->GetObject(KXFObject_MessageFactory, IID_IUnknown, nullptr), E_POINTER);
}

TEST(KxfStateService, IsFoundUnderTheDeviceEventGroupAndKeepsItsLockFlag)
{
    const DWORD number = KxfTest::IdGroupBase(GUID_DeviceEventGroup);
    ASSERT_NE(number, 0u);
    IKXFStateService* state = nullptr;
    ASSERT_EQ(KxfTest::ObjectRegistry()->GetObject(number, IID_IKXFStateService, reinterpret_cast<void**>(&state)),
              S_OK);
    WORD locked = 7;
    EXPECT_EQ(state->GetLockFlag(&locked), S_OK);
    EXPECT_EQ(locked, 0);
    state->SetLockFlag(1);
    state->GetLockFlag(&locked);
    EXPECT_EQ(locked, 1);
    state->SetLockFlag(0);
    state->Release();
    void* other = nullptr;
    EXPECT_EQ(KxfTest::ObjectRegistry()->GetObject(number + 1, IID_IKXFStateService, &other), E_INVALIDARG);
}

TEST(KxfMessages, MessageHoldsItsTextAndHandsOutReferences)
{
    IQLXString* rep = VireoHost::NewHostString(L"Outputs=1");
    const LONG before = RefsOf(rep);
    KXFValue value = {KXFValue_Text, rep};
    IKXFMessage* message = nullptr;
    ASSERT_EQ(KxfTest::MessageFactory()->CreateMessage(0x00420002, 5, 8, 9, &value, &message), S_OK);
    EXPECT_EQ(RefsOf(rep), before + 1);
    DWORD number = 0, flags = 0;
    DWORD_PTR first = 0, second = 0;
    message->GetNumber(&number);
    message->GetFlags(&flags);
    message->GetArguments(&first, &second);
    EXPECT_EQ(number, 0x00420002u);
    EXPECT_EQ(flags, 5u);
    EXPECT_EQ(first, 8u);
    EXPECT_EQ(second, 9u);
    KXFValue out = {};
    ASSERT_EQ(message->GetValue(&out), S_OK);
    EXPECT_EQ(out.type, KXFValue_Text);
    EXPECT_EQ(out.text, rep);
    EXPECT_EQ(RefsOf(rep), before + 2);
    out.text->Release();
    message->Release();
    EXPECT_EQ(RefsOf(rep), before);
    rep->Release();
}

TEST(KxfMessages, UnknownValueTypeIsRefused)
{
    KXFValue value = {3, nullptr};
    IKXFMessage* message = reinterpret_cast<IKXFMessage*>(1);
    EXPECT_EQ(KxfTest::MessageFactory()->CreateMessage(1, 0, 0, 0, &value, &message), E_INVALIDARG);
    EXPECT_EQ(message, nullptr);
    ASSERT_EQ(KxfTest::MessageFactory()->CreateMessage(1, 0, 0, 0, nullptr, &message), S_OK);
    KXFValue out = {KXFValue_Text, nullptr};
    message->GetValue(&out);
    EXPECT_EQ(out.type, KXFValue_None);
    message->Release();
}

TEST(KxfMessages, OnlyAMessageMarkedSkipOriginNamesItsOrigin)
{
    FakeObserver origin, other;
    for (DWORD flags : {DWORD(0), KXFMessage_SkipOrigin}) {
        IKXFMessage* message = nullptr;
        ASSERT_EQ(KxfTest::MessageFactory()->CreateMessage(1, flags, 0, 0, nullptr, &message), S_OK);
        EXPECT_EQ(message->IsFromTarget(&origin), 0);
        message->SetOrigin(&origin);
        EXPECT_EQ(message->IsFromTarget(&origin), flags ? 1 : 0);
        EXPECT_EQ(message->IsFromTarget(&other), 0);
        message->SetOrigin(nullptr);
        EXPECT_EQ(message->IsFromTarget(&origin), 0);
        message->Release();
    }
}

TEST(KxfDispatcher, RefusesTargetsWithoutMessageHandler)
{
    IKXFMessage* message = nullptr;
    ASSERT_EQ(KxfTest::MessageFactory()->CreateMessage(1, 0, 0, 0, nullptr, &message), S_OK);
    FakeObserver notAHandler;
    EXPECT_EQ(KxfTest::MessageDispatcher()->Dispatch(message, &notAHandler), E_NOINTERFACE);
    EXPECT_EQ(KxfTest::MessageDispatcher()->Dispatch(message, nullptr), E_POINTER);
    EXPECT_EQ(notAHandler.refs, 1u);
    message->Release();
}

class KxfMenuInstallerTest : public testing::Test {
protected:
    void TearDown() override { KxfTest::MenuInstaller()->RemoveCommandContainer(CLSID_FakeClass); }

    IKXFCommand* NewCommand()
    {
        IKXFCommand* command = nullptr;
        EXPECT_EQ(KxfTest::CommandFactory()->CreateCommand(1, GetModuleHandleW(nullptr), 238, L"Setup|&Item^GROUP", 0,
                                                           nullptr, nullptr, 2, 0, 0, &command),
                  S_OK);
        return command;
    }
};

TEST_F(KxfMenuInstallerTest, CommandsAreNumberedFromTheClassMessageBasePlusOne)
{
    FakeClassHandler handler(0x01230000);
    IKXFCommandContainer* container = nullptr;
    ASSERT_EQ(KxfTest::MenuInstaller()->GetCommandContainer(CLSID_FakeClass, &handler, nullptr, &container), S_OK);
    IKXFCommand* first = NewCommand();
    IKXFCommand* second = NewCommand();
    DWORD number = 99;
    first->GetNumber(&number);
    EXPECT_EQ(number, 0u);
    container->AddCommand(first);
    container->AddCommand(second);
    first->GetNumber(&number);
    EXPECT_EQ(number, 0x01230001u);
    second->GetNumber(&number);
    EXPECT_EQ(number, 0x01230002u);

    // The same class gets the same container back.
    IKXFCommandContainer* again = nullptr;
    ASSERT_EQ(KxfTest::MenuInstaller()->GetCommandContainer(CLSID_FakeClass, &handler, nullptr, &again), S_OK);
    EXPECT_EQ(again, container);
    ULONG count = 0;
    again->GetCount(&count);
    EXPECT_EQ(count, 2u);
    again->Release();

    BSTR text = nullptr;
    first->GetText(&text);
    EXPECT_STREQ(text, L"Vireo...");
    SysFreeString(text);
    BSTR path = nullptr;
    first->GetMenuPath(&path);
    EXPECT_STREQ(path, L"Setup|&Item^GROUP");
    SysFreeString(path);

    first->Release();
    second->Release();
    container->Release();
}

TEST_F(KxfMenuInstallerTest, MenuChoiceGoesToTheDocumentFirstThenToTheClass)
{
    FakeClassHandler classHandler(0x02340000);
    FakeClassHandler declining(0, KXF_NOT_HANDLED);
    FakeClassHandler taking(0, KXF_HANDLED);
    IKXFCommandContainer* container = nullptr;
    ASSERT_EQ(KxfTest::MenuInstaller()->GetCommandContainer(CLSID_FakeClass, &classHandler, nullptr, &container), S_OK);
    IKXFCommand* command = NewCommand();
    container->AddCommand(command);
    IKXFMenuInstaller* menu = KxfTest::MenuInstaller();

    EXPECT_EQ(menu->ExecuteCommand(0x02340001, static_cast<IKXFCommandHandler*>(&taking)), KXF_HANDLED);
    EXPECT_EQ(taking.executed, std::vector<DWORD>{0x02340001});
    EXPECT_TRUE(classHandler.executed.empty());
    EXPECT_EQ(menu->ExecuteCommand(0x02340001, static_cast<IKXFCommandHandler*>(&declining)), KXF_HANDLED);
    EXPECT_EQ(classHandler.executed, std::vector<DWORD>{0x02340001});
    EXPECT_EQ(menu->ExecuteCommand(0x02340001, nullptr), KXF_HANDLED);
    EXPECT_EQ(classHandler.executed.size(), 2u);

    // Without a state object the command's own state is updated.
    EXPECT_EQ(menu->UpdateCommand(0x02340001, nullptr, nullptr), KXF_HANDLED);
    IKXFCommandState* state = nullptr;
    ASSERT_EQ(command->QueryInterface(IID_IKXFCommandState, reinterpret_cast<void**>(&state)), S_OK);
    WORD enabled = 0;
    state->GetEnabled(&enabled);
    EXPECT_EQ(enabled, KXFCommand_Enabled);
    state->Release();

    EXPECT_EQ(menu->ExecuteCommand(0x02340002, nullptr), E_INVALIDARG);
    menu->RemoveCommandContainer(CLSID_FakeClass);
    EXPECT_EQ(menu->ExecuteCommand(0x02340001, nullptr), E_INVALIDARG);
    EXPECT_EQ(classHandler.executed.size(), 2u);
    command->Release();
    container->Release();
    EXPECT_EQ(declining.refs, 1u);
    EXPECT_EQ(classHandler.refs, 1u);
}

TEST(KxfCommandFactory, RefusesACommandWithoutMenuPath)
{
    IKXFCommand* command = reinterpret_cast<IKXFCommand*>(1);
    EXPECT_EQ(KxfTest::CommandFactory()->CreateCommand(1, nullptr, 238, L"", 0, nullptr, nullptr, 2, 0, 0, &command),
              E_INVALIDARG);
    EXPECT_EQ(command, nullptr);
}

TEST(KxfEventHandlerRegistry, DeliversByNumberAndSkipsObserversDroppedDuringDelivery)
{
    IKXFNotificationSource* source = nullptr;
    ASSERT_EQ(
        KxfTest::EventHandlerRegistry()->QueryInterface(IID_IKXFNotificationSource, reinterpret_cast<void**>(&source)),
        S_OK);
    FakeObserver first, second;
    first.source = source;
    first.dropOther = &second;
    EXPECT_EQ(source->Subscribe(&first, 10, 0), S_OK);
    EXPECT_EQ(source->Subscribe(&first, 10, 0), S_FALSE);
    source->Subscribe(&second, 10, 0);
    source->Subscribe(&second, 11, 0);
    source->Raise(10, 1, nullptr);
    EXPECT_EQ(first.seen, std::vector<DWORD>{11});
    EXPECT_TRUE(second.seen.empty());
    source->Raise(11, 0, nullptr);
    EXPECT_EQ(second.seen, std::vector<DWORD>{11});

    KxfTest::EventHandlerRegistry()->RemoveObserver(&first);
    KxfTest::EventHandlerRegistry()->RemoveObserver(&second);
    ULONG count = 9;
    IKXFSubscriptionCount* counts = nullptr;
    ASSERT_EQ(
        KxfTest::EventHandlerRegistry()->QueryInterface(IID_IKXFSubscriptionCount, reinterpret_cast<void**>(&counts)),
        S_OK);
    counts->GetSubscriptionCount(&first, &count);
    counts->Release();
    EXPECT_EQ(count, 0u);
    source->Raise(10, 0, nullptr);
    EXPECT_EQ(first.seen.size(), 1u);
    // Subscriptions never hold the observers.
    EXPECT_EQ(first.refs, 1u);
    source->Release();
}

TEST(KxfUnitTestRegistry, IsFoundUnderItsOwnClassAndRunsTheTestsItKeeps)
{
    auto* registry = KxfTest::Service<IUnitTestRunner>(CLSID_UnitTestRegistry, IID_IUnitTestRunner);
    ASSERT_NE(registry, nullptr);
    auto* adding = KxfTest::Service<IUnitTestRegistry>(CLSID_UnitTestRegistry, IID_IUnitTestRegistry);
    FakeUnitTest test;
    ASSERT_EQ(adding->AddTest(&test), S_OK);
    EXPECT_EQ(test.initialised, 1);
    EXPECT_EQ(test.refs, 2u);
    ULONG count = 0;
    registry->GetTestCount(&count);
    EXPECT_EQ(count, 1u);
    ULONG passed = 0, failed = 0;
    ASSERT_EQ(registry->RunAll(&passed, &failed), S_OK);
    EXPECT_EQ(passed, 1u);
    EXPECT_EQ(failed, 2u);
    EXPECT_EQ(test.ran, (std::vector<LONG>{0, 1, 2}));
    registry->Clear();
    EXPECT_EQ(test.refs, 1u);
    FakeObserver notATest;
    EXPECT_EQ(adding->AddTest(&notATest), E_NOINTERFACE);
}

TEST(KxfBinders, BindOnlyDocumentsAndClasses)
{
    FakeObserver notADocument;
    IUnknown* binding = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(KxfTest::DocumentBinder()->BindDocument(&notADocument, nullptr, &notADocument, 0, &binding),
              E_NOINTERFACE);
    EXPECT_EQ(binding, nullptr);
    EXPECT_EQ(KxfTest::ClassBinder()->BindClass(&notADocument, 0, &binding), E_NOINTERFACE);
    EXPECT_EQ(KxfTest::ClassBinder()->BindClass(nullptr, 0, &binding), E_INVALIDARG);
    EXPECT_EQ(notADocument.refs, 1u);
}

} // namespace
