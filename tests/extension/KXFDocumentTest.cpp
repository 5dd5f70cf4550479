// Documents and document classes bound to the framework loaded from Kxf.dll: creation
// through the object registry, commands by number, notifications, messages, and every
// object released at the end.

#include "TestDocument.h"

#include "extension/FrameworkServices.h"
#include "extension/KXFObjects.h"
#include "host/HostControl.h"

#include <gtest/gtest.h>

namespace VireoTest {
namespace {

class KXFDocumentTest : public testing::Test {
protected:
    void SetUp() override
    {
        Log() = TestDocLog();
        registry_ = KXFObjects::ObjectRegistry();
        ASSERT_NE(registry_, nullptr);
        ASSERT_EQ(registry_->QueryInterface(IID_IKXFClassControl, classes_.OutVoid()), S_OK);
        docClass_ = new TestDocClass;
        ASSERT_EQ(registry_->RegisterClassObject(static_cast<ICustomDocClass*>(docClass_)), S_OK);
        host_ = new FakeHostDocument;
    }

    void TearDown() override
    {
        document_.Reset();
        if (classes_)
            classes_->RevokeClassObject(CLSID_TestDocClass);
        if (host_)
            host_->Release();
    }

    void CreateDocument()
    {
        ASSERT_EQ(classes_->CreateDocument(CLSID_TestDocClass, host_->Unknown(), document_.Out()), S_OK);
        ASSERT_TRUE(document_);
    }

    TestDoc* Doc() { return static_cast<TestDoc*>(static_cast<ICustomDocument2*>(document_.Get())); }

    template <class I>
    Ref<I>& Ask(Ref<I>& out, REFIID iid)
    {
        EXPECT_EQ(document_->QueryInterface(iid, out.OutVoid()), S_OK);
        return out;
    }

    IKXFObjectRegistry* registry_ = nullptr;
    Ref<IKXFClassControl> classes_;
    TestDocClass* docClass_ = nullptr;
    FakeHostDocument* host_ = nullptr;
    Ref<IUnknown> document_;
};

TEST_F(KXFDocumentTest, RegisteredClassInstallsItsCommandAtMessageBasePlusOne)
{
    EXPECT_TRUE(docClass_->CommandsInstalled());
    ASSERT_NE(docClass_->CommandContainer(), nullptr);
    Ref<IKXFCommand> command;
    ASSERT_EQ(KXFObjects::MenuInstaller()->FindCommand(TestDoc::SetupCommand(), command.Out()), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(command->GetText(&text), S_OK);
    EXPECT_STREQ(text, L"Vireo...");
    SysFreeString(text);
    // Registration keeps the class: it is still alive with the registry's one reference.
    EXPECT_EQ(docClass_->RefCount(), 1);
}

TEST_F(KXFDocumentTest, DocumentCreatedThroughTheRegistryComesWithOneReference)
{
    CreateDocument();
    // The binder took and dropped references while the document was being built.
    EXPECT_EQ(Doc()->RefCount(), 1);
    EXPECT_NE(Doc()->Binding(), nullptr);
    EXPECT_EQ(Doc()->ClassObject(), static_cast<IUnknown*>(static_cast<ICustomDocClass*>(docClass_)));
    EXPECT_EQ(Doc()->OwnerLink(), static_cast<IKXFLink*>(host_));
    EXPECT_EQ(Doc()->HardwareLink(), static_cast<IHardwareLink*>(host_));
    EXPECT_EQ(Log().destroyed, 0);
    document_.Reset();
    EXPECT_EQ(Log().destroyed, 1);
}

TEST_F(KXFDocumentTest, DocumentReleasedToZeroDuringDestructionIsNotDeletedTwice)
{
    CreateDocument();
    Log().touchSelfWhenDestroyed = true;
    document_.Reset();
    EXPECT_EQ(Log().destroyed, 1);
    EXPECT_EQ(Log().countWhenDestroyed, QLX::CComObjectRoot::DestructionMark);
}

TEST_F(KXFDocumentTest, ExecutingTheCommandByNumberSendsTheRunMessageThroughTheFramework)
{
    CreateDocument();
    IKXFMenuInstaller* menu = KXFObjects::MenuInstaller();
    EXPECT_EQ(menu->ExecuteCommand(TestDoc::SetupCommand(), document_.Get()), KXF_HANDLED);
    EXPECT_EQ(Log().executed, 1);
    EXPECT_EQ(Log().ran, 1);
    // The run handler let the message go on and nothing else took it.
    EXPECT_EQ(Log().lastSend, 0);
    Log().runAnswer = 0;
    EXPECT_EQ(menu->ExecuteCommand(TestDoc::SetupCommand(), document_.Get()), KXF_HANDLED);
    EXPECT_EQ(Log().lastSend, 1);
    EXPECT_EQ(menu->ExecuteCommand(TestDoc::SetupCommand() + 0x100, document_.Get()), E_INVALIDARG);
}

TEST_F(KXFDocumentTest, UpdatingTheCommandByNumberSetsItsState)
{
    CreateDocument();
    Ref<IKXFCommand> command;
    ASSERT_EQ(KXFObjects::MenuInstaller()->FindCommand(TestDoc::SetupCommand(), command.Out()), S_OK);
    EXPECT_EQ(KXFObjects::MenuInstaller()->UpdateCommand(TestDoc::SetupCommand(), document_.Get(), nullptr),
              KXF_HANDLED);
    EXPECT_EQ(Log().updated, 1);
    Ref<IKXFCommandState> state;
    ASSERT_EQ(command->QueryInterface(IID_IKXFCommandState, state.OutVoid()), S_OK);
    WORD enabled = 0, checked = 0;
    DWORD style = 0;
    state->GetEnabled(&enabled);
    state->GetChecked(&checked, &style);
    EXPECT_EQ(enabled, KXFCommand_Enabled);
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(style, 3u);
}

TEST_F(KXFDocumentTest, UpdateWithoutUpdateEntryEnablesAnExecutableCommand)
{
    CreateDocument();
    Ref<IKXFCommandHandler> handler;
    Ask(handler, IID_IKXFCommandHandler);
    auto* state = new FakeCommandState;
    EXPECT_EQ(handler->Update(TestDoc::OtherCommand(), state), KXF_HANDLED);
    EXPECT_EQ(state->enabled, KXFCommand_Enabled);
    EXPECT_EQ(Log().updated, 0);
    state->enabled = -1;
    EXPECT_EQ(handler->Update(TestDoc::OtherCommand() + 1, state), KXF_NOT_HANDLED);
    EXPECT_EQ(state->enabled, -1);
    EXPECT_EQ(handler->Execute(TestDoc::OtherCommand()), KXF_HANDLED);
    EXPECT_EQ(Log().otherExecuted, 1);
    EXPECT_EQ(handler->Execute(TestDoc::OtherCommand() + 1), KXF_NOT_HANDLED);
    // A command of a caller-given kind answers what its handler answers.
    EXPECT_EQ(handler->Invoke(TestDoc::OtherCommand(), 6, 4, 2), 42);
    EXPECT_EQ(handler->Invoke(TestDoc::OtherCommand(), 7, 4, 2), KXF_NOT_HANDLED);
    EXPECT_EQ(handler->Invoke(TestDoc::SetupCommand(), 6, 4, 2), KXF_NOT_HANDLED);
    state->Release();
}

TEST_F(KXFDocumentTest, UpdateEntryIsNeverCalledWithoutACommandState)
{
    CreateDocument();
    Ref<IKXFCommandHandler> handler;
    Ask(handler, IID_IKXFCommandHandler);
    EXPECT_EQ(handler->Update(TestDoc::SetupCommand(), nullptr), E_POINTER);
    // Invoked with the update kind, there is no state object either.
    EXPECT_EQ(handler->Invoke(TestDoc::SetupCommand(), KXFKind_Update, 0, 0), E_POINTER);
    EXPECT_EQ(Log().updated, 0);
    EXPECT_EQ(handler->Update(TestDoc::SetupCommand() + 0x100, nullptr), KXF_NOT_HANDLED);
}

TEST_F(KXFDocumentTest, NotificationsArriveAfterConnectAndStopWithTheDocument)
{
    IKXFEventHandlerRegistry* events = KXFObjects::EventHandlerRegistry();
    ASSERT_NE(events, nullptr);
    Ref<IKXFNotificationSource> source;
    ASSERT_EQ(events->QueryInterface(IID_IKXFNotificationSource, source.OutVoid()), S_OK);
    // A document made by its class alone hears nothing until it is connected.
    ASSERT_EQ(docClass_->CreateDocument(host_->Unknown(), document_.Out()), S_OK);
    BYTE flag = 1;
    source->Raise(TestDoc::FlagNotice(), 0, &flag);
    EXPECT_TRUE(Log().flags.empty());

    Ref<IObserver> observer;
    Ask(observer, IID_IObserver);
    ASSERT_EQ(observer->Connect(source.Get()), S_OK);
    ULONG subscriptions = 0;
    Ref<IKXFSubscriptionCount> counts;
    ASSERT_EQ(events->QueryInterface(IID_IKXFSubscriptionCount, counts.OutVoid()), S_OK);
    counts->GetSubscriptionCount(observer.Get(), &subscriptions);
    EXPECT_EQ(subscriptions, 2u);
    source->Raise(TestDoc::FlagNotice(), 0, &flag);
    flag = 0;
    source->Raise(TestDoc::FlagNotice(), 0, &flag);
    source->Raise(TestDoc::PlainNotice(), 0, nullptr);
    source->Raise(TestDoc::PlainNotice() + 1, 0, nullptr);
    EXPECT_EQ(Log().flags, (std::vector<int>{1, 0}));
    EXPECT_EQ(Log().plainNotices.size(), 1u);

    // The destroyed document takes itself off the registry.
    IObserver* gone = observer.Get();
    observer.Reset();
    document_.Reset();
    EXPECT_EQ(Log().destroyed, 1);
    counts->GetSubscriptionCount(gone, &subscriptions);
    EXPECT_EQ(subscriptions, 0u);
    source->Raise(TestDoc::FlagNotice(), 0, &flag);
    EXPECT_EQ(Log().flags.size(), 2u);
}

TEST_F(KXFDocumentTest, DocumentCreatedThroughTheRegistryIsConnectedToNotifications)
{
    CreateDocument();
    Ref<IKXFNotificationSource> source;
    ASSERT_EQ(KXFObjects::EventHandlerRegistry()->QueryInterface(IID_IKXFNotificationSource, source.OutVoid()), S_OK);
    BYTE flag = 3;
    source->Raise(TestDoc::FlagNotice(), 0, &flag);
    EXPECT_EQ(Log().flags, std::vector<int>{3});
}

TEST_F(KXFDocumentTest, TextMessageSentToItselfReachesItsHandler)
{
    CreateDocument();
    EXPECT_EQ(Doc()->Send(TestDoc::ApplyMessage(), 1, QLXString(L"Outputs=2")), 1);
    ASSERT_EQ(Log().texts.size(), 1u);
    EXPECT_EQ(Log().texts[0], L"Outputs=2");
    // Without a text value the handler gets an empty text.
    EXPECT_EQ(Doc()->Send(TestDoc::ApplyMessage(), 0), 1);
    ASSERT_EQ(Log().texts.size(), 2u);
    EXPECT_EQ(Log().texts[1], L"");
}

TEST_F(KXFDocumentTest, ChainedHandlerTakesWhatTheTableLeaves)
{
    CreateDocument();
    const DWORD unknownMessage = TestDocBase() + 0x20;
    auto* chained = new FakeChainedHandler(unknownMessage);
    Ref<IMessageHandler> handler;
    Ask(handler, IID_IMessageHandler);
    ASSERT_EQ(handler->Chain(chained), S_OK);

    EXPECT_EQ(Doc()->Send(unknownMessage, 0), 1);
    EXPECT_EQ(chained->taken, 1);
    // A message the table handles never reaches the chain.
    Log().runAnswer = 0;
    EXPECT_EQ(Doc()->Send(TestDoc::RunMessage(), 0), 1);
    EXPECT_EQ(chained->offered, std::vector<DWORD>{unknownMessage});
    // One the table lets go on is offered to the chain, which declines it.
    Log().runAnswer = 1;
    EXPECT_EQ(Doc()->Send(TestDoc::RunMessage(), 0), 0);
    EXPECT_EQ(chained->offered.size(), 2u);

    handler.Reset();
    document_.Reset();
    EXPECT_EQ(chained->unchained, 1);
    EXPECT_EQ(chained->Refs(), 1);
    chained->Release();
}

TEST_F(KXFDocumentTest, MessageMarkedSkipOriginBypassesItsSendersTable)
{
    CreateDocument();
    EXPECT_EQ(Doc()->Send(TestDoc::ApplyMessage(), KXFMessage_SkipOrigin, QLXString(L"x")), 0);
    EXPECT_TRUE(Log().texts.empty());
}

TEST_F(KXFDocumentTest, DisabledSenderRefusesToSend)
{
    CreateDocument();
    Doc()->SetEnabled(false);
    EXPECT_EQ(Doc()->Send(TestDoc::RunMessage(), 0), E_FAIL);
    EXPECT_EQ(Log().ran, 0);
    Doc()->SetEnabled(true);
    EXPECT_EQ(Doc()->Send(TestDoc::RunMessage(), 0), 0);
    EXPECT_EQ(Log().ran, 1);
}

TEST_F(KXFDocumentTest, AnswersItsOwnInterfacesRefusesOneAndPassesTheRestToItsBinding)
{
    CreateDocument();
    for (const IID* iid : {&IID_IUnknown, &IID_ICustomDocument, &IID_ICustomDocument2, &IID_IKXFCommandHandler,
                           &IID_IObserver, &IID_IMessageHandler}) {
        Ref<IUnknown> answer;
        EXPECT_EQ(document_->QueryInterface(*iid, answer.OutVoid()), S_OK);
    }
    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(document_->QueryInterface(IID_KXFRefusedDocumentInterface, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(document_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

    // The link comes from the binding and leads back to the document.
    Ref<IKXFLink> link;
    ASSERT_EQ(document_->QueryInterface(IID_IKXFLink, link.OutVoid()), S_OK);
    EXPECT_EQ(Doc()->BindingLink(), link.Get());
    Ref<IUnknown> back;
    ASSERT_EQ(link->GetLinkedObject(IID_IUnknown, back.OutVoid()), S_OK);
    EXPECT_EQ(back.Get(), document_.Get());
    Ref<IUnknown> none;
    EXPECT_EQ(document_->QueryInterface(IID_IHostDocument, none.OutVoid()), E_NOINTERFACE);
}

TEST_F(KXFDocumentTest, CustomDocumentOperations)
{
    CreateDocument();
    Ref<ICustomDocument2> custom;
    Ask(custom, IID_ICustomDocument2);
    BSTR title = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(custom->GetTitle(&title), S_OK);
    EXPECT_EQ(title, nullptr);
    Doc()->SetTitle(QLXString(L"Run 1"));
    EXPECT_EQ(custom->GetTitle(&title), S_OK);
    EXPECT_STREQ(title, L"Run 1");
    SysFreeString(title);
    EXPECT_EQ(custom->IsAlive(), -1);

    IUnknown* extension = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(custom->GetExtension(&extension), E_NOTIMPL);
    EXPECT_EQ(extension, nullptr);
    DWORD extra = 5;
    IUnknown* persistence = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(custom->QueryPersistence(0, 2, &persistence, &extra), E_NOTIMPL);
    EXPECT_EQ(persistence, nullptr);
    EXPECT_EQ(extra, 0u);

    Ref<IUnknown> ownerExtension;
    ASSERT_EQ(custom->GetOwnerExtension(ownerExtension.Out()), S_OK);
    EXPECT_EQ(ownerExtension.Get(), static_cast<IKXFOwnerExtension*>(host_));

    // The module's own string is shared, not copied.
    QLXString name(L"Online");
    ASSERT_EQ(custom->SetName(name.Rep()), S_OK);
    Ref<IQLXString> back;
    ASSERT_EQ(custom->GetName(back.Out()), S_OK);
    EXPECT_EQ(back.Get(), name.Rep());

    EXPECT_EQ(custom->SetSecondValue(42), S_OK);
    EXPECT_EQ(custom->GetSecondValue(), 42u);
    Doc()->SetFirstValue(7);
    EXPECT_EQ(custom->GetFirstValue(), 7u);
    EXPECT_EQ(custom->Reserved1(), 0);
    EXPECT_EQ(custom->Reserved4(), 0);
}

TEST_F(KXFDocumentTest, DetachLetsGoOfTheHostDocumentAndTheTarget)
{
    CreateDocument();
    const LONG hostRefs = host_->Refs();
    auto* other = new FakeChainedHandler(0);
    Doc()->ConnectTarget(other, true);
    EXPECT_EQ(Doc()->Target(), static_cast<IUnknown*>(other));
    EXPECT_EQ(other->Refs(), 2);
    Ref<ICustomDocument> custom;
    Ask(custom, IID_ICustomDocument);
    ASSERT_EQ(custom->Detach(), S_OK);
    EXPECT_EQ(other->Refs(), 1);
    EXPECT_EQ(Doc()->Target(), static_cast<IUnknown*>(static_cast<IMessageHandler*>(Doc())));
    EXPECT_EQ(Doc()->HostDocument(), nullptr);
    EXPECT_EQ(Doc()->HardwareLink(), nullptr);
    EXPECT_EQ(host_->Refs(), hostRefs - 1);
    other->Release();
    // The owner links were kept without a reference; nothing reaches the host through them.
    EXPECT_EQ(Doc()->OwnerLink(), nullptr);
    Ref<IUnknown> extension;
    EXPECT_EQ(custom->GetOwnerExtension(extension.Out()), E_NOINTERFACE);
    EXPECT_EQ(host_->Refs(), hostRefs - 1);
}

TEST_F(KXFDocumentTest, ClassAnswersItsValuesAndCreatesDocuments)
{
    Ref<ICustomDocClass> documentClass;
    ASSERT_EQ(docClass_->QueryInterface(IID_ICustomDocClass, documentClass.OutVoid()), S_OK);
    EXPECT_EQ(documentClass->GetMessageBase(), TestDocBase());
    EXPECT_EQ(documentClass->GetFlags(), 1u);
    EXPECT_EQ(documentClass->IsKind(TestDocKind), S_OK);
    EXPECT_EQ(documentClass->IsKind(CLSID_TestDocClass), S_FALSE);
    CLSID id = CLSID_NULL;
    documentClass->GetClassId(&id);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_TestDocClass));
    BSTR name = nullptr;
    documentClass->GetName(&name);
    EXPECT_STREQ(name, L"Test Document");
    SysFreeString(name);
    EXPECT_EQ(documentClass->Reserved1(), E_NOTIMPL);
    EXPECT_EQ(documentClass->Reserved2(), 0);

    Ref<IUnknown> made;
    ASSERT_EQ(documentClass->CreateDocument(host_->Unknown(), made.Out()), S_OK);
    EXPECT_EQ(static_cast<TestDoc*>(static_cast<ICustomDocument2*>(made.Get()))->RefCount(), 1);
    EXPECT_EQ(documentClass->CreateDocument(host_->Unknown(), nullptr), E_POINTER);
}

TEST_F(KXFDocumentTest, ClassCommandsGoToTheClassBindingFirstThenTheClassTable)
{
    Ref<IKXFCommandHandler> handler;
    ASSERT_EQ(docClass_->QueryInterface(IID_IKXFCommandHandler, handler.OutVoid()), S_OK);
    EXPECT_EQ(handler->Execute(TestDocClass::ClassCommand()), KXF_HANDLED);
    EXPECT_EQ(Log().classExecuted, 1);
    EXPECT_EQ(handler->Execute(TestDoc::SetupCommand()), KXF_NOT_HANDLED);
    auto* state = new FakeCommandState;
    EXPECT_EQ(handler->Update(TestDocClass::ClassCommand(), state), KXF_HANDLED);
    EXPECT_EQ(state->enabled, KXFCommand_Enabled);
    state->Release();
}

TEST_F(KXFDocumentTest, DocumentOutlivesItsRegistrationUntilReleased)
{
    CreateDocument();
    classes_->RevokeClassObject(CLSID_TestDocClass);
    // The document still holds its class object.
    EXPECT_EQ(docClass_->RefCount(), 1);
    EXPECT_EQ(Doc()->Send(TestDoc::ApplyMessage(), 0, QLXString(L"late")), 1);
    document_.Reset();
    EXPECT_EQ(Log().destroyed, 1);
}

} // namespace
} // namespace VireoTest
