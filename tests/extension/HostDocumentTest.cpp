#include "DocTestSupport.h"
#include "DocumentFile.h"

#include "extension/QLXComObjectRoot.h"

#include <gtest/gtest.h>

using namespace VireoTest;

namespace {

// A further module document of the same host document, made straight through the framework.
OnlineEvents::Doc* MakeModuleDocument(VireoHost::HostDocument* host)
{
    auto* registry = GetFrameworkService<IKXFClassControl>(CLSID_KXFFramework, IID_IKXFClassControl);
    IUnknown* made = nullptr;
    if (!registry ||
        FAILED(registry->CreateDocument(CLSID_OnlineEventsDocument, static_cast<IHostDocument*>(host), &made)) || !made)
        return nullptr;
    return static_cast<OnlineEvents::Doc*>(static_cast<ICustomDocument2*>(made));
}

void LetGo(OnlineEvents::Doc* doc)
{
    doc->Detach();
    static_cast<ICustomDocument2*>(doc)->Release();
}

} // namespace

TEST(HostDocumentStorage, ARegisteredPersistenceKeepsItsDocumentUntilTheHostDocumentCloses)
{
    DocFixture f;
    OnlineEvents::Doc* other = MakeModuleDocument(f.host);
    ASSERT_TRUE(other);
    other->OnApplySettings(QLXString::FromNarrow(SettingsText(1, 0, {{1, true, {{0, true, 10, 50}}}}).c_str(), 0));
    ASSERT_EQ(f.host->Registered().size(), 1u);

    const LONG live = QLX::CComObjectRoot::LiveObjects();
    LetGo(other);
    // The storage still reaches the document whose settings it saves.
    EXPECT_EQ(QLX::CComObjectRoot::LiveObjects(), live);
    EXPECT_EQ(f.host->Registered()[0]->IsDirty(), S_OK);

    f.host->Close();
    EXPECT_LT(QLX::CComObjectRoot::LiveObjects(), live - 1);
}

TEST(HostDocumentStorage, ARegisteredDocumentIsSavedAfterItsCreatorLetGoOfIt)
{
    DocFixture f;
    OnlineEvents::Doc* other = MakeModuleDocument(f.host);
    ASSERT_TRUE(other);
    other->OnApplySettings(QLXString::FromNarrow(SettingsText(1, 0, {{2, true, {{1, false, 5, 25}}}}).c_str(), 0));
    std::string expected;
    other->Configuration().Serialize(expected);
    LetGo(other);

    wchar_t directory[MAX_PATH];
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    GetTempFileNameW(directory, L"vho", 0, path);
    std::wstring error;
    ASSERT_EQ(f.host->Save(path, error), S_OK) << std::string(error.begin(), error.end());

    DocFixture reader;
    IStream* stream = VireoHost::OpenSettingsStream(path, CLSID_OnlineEventsDocument, false, error);
    ASSERT_TRUE(stream);
    EXPECT_EQ(reader.doc->Persistence()->Load(stream), S_OK);
    stream->Release();
    DeleteFileW(path);
    std::string loaded;
    reader.doc->Configuration().Serialize(loaded);
    EXPECT_EQ(loaded, expected);
}

TEST(HostDocumentNotifications, ADocumentConnectedToTheHostIsHeldUntilTheHostDocumentCloses)
{
    DocFixture f;
    OnlineEvents::Doc* other = MakeModuleDocument(f.host);
    ASSERT_TRUE(other);
    other->Connect(static_cast<IKXFNotificationSource*>(f.host));
    const LONG live = QLX::CComObjectRoot::LiveObjects();
    LetGo(other);
    EXPECT_EQ(QLX::CComObjectRoot::LiveObjects(), live);

    // Both documents hear the stop and switch the unit off; nothing reaches a dead one.
    f.Raise(OnlineEvents::Doc::UnitEventGroup() + 16);
    EXPECT_EQ(f.TakeCalls().size(), 2u);
    f.host->Close();
    EXPECT_LT(QLX::CComObjectRoot::LiveObjects(), live - 1);
}
