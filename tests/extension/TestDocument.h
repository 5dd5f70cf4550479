#pragma once
// A document and document class built on the framework bases the way the module's
// own are, registered with the framework loaded from Kxf.dll.

#include "FrameworkFakes.h"

#include "extension/KXFDocument.h"
#include "extension/KXFDocumentClass.h"

#include <string>
#include <vector>

namespace VireoTest {

// {5B0E6A77-0C53-4C1B-9F6C-2E4B9D1A7E01}
inline constexpr CLSID CLSID_TestDocClass = {
    0x5B0E6A77, 0x0C53, 0x4C1B, {0x9F, 0x6C, 0x2E, 0x4B, 0x9D, 0x1A, 0x7E, 0x01}};
// {5B0E6A77-0C53-4C1B-9F6C-2E4B9D1A7E02}
inline constexpr GUID TestDocKind = {0x5B0E6A77, 0x0C53, 0x4C1B, {0x9F, 0x6C, 0x2E, 0x4B, 0x9D, 0x1A, 0x7E, 0x02}};
// {5B0E6A77-0C53-4C1B-9F6C-2E4B9D1A7E03}
inline constexpr GUID TestEventGroup = {0x5B0E6A77, 0x0C53, 0x4C1B, {0x9F, 0x6C, 0x2E, 0x4B, 0x9D, 0x1A, 0x7E, 0x03}};

DWORD TestDocBase();
DWORD TestEventBase();

// What the test document's handlers saw.
struct TestDocLog {
    int executed = 0;
    int updated = 0;
    int otherExecuted = 0;
    int classExecuted = 0;
    int ran = 0;
    std::vector<std::wstring> texts;
    std::vector<int> flags;
    std::vector<DWORD> plainNotices;
    LONG runAnswer = 1;
    HRESULT lastSend = E_FAIL;
    int destroyed = 0;
    // The destructor takes and drops a reference of its own, and notes the count it saw.
    bool touchSelfWhenDestroyed = false;
    LONG countWhenDestroyed = 0;
};
TestDocLog& Log();

class TestDoc : public VarnChildDocument {
public:
    TestDoc(IUnknown* owner, KXFDocumentClassBase* documentClass);
    ~TestDoc() override;

    static DWORD SetupCommand() { return TestDocBase() + 1; }
    static DWORD ApplyMessage() { return TestDocBase() + 2; }
    static DWORD RunMessage() { return TestDocBase() + 3; }
    // Executes but has no update entry.
    static DWORD OtherCommand() { return TestDocBase() + 7; }
    static DWORD FlagNotice() { return TestEventBase() + 0; }
    static DWORD PlainNotice() { return TestEventBase() + 13; }

    void OnSetup();
    void OnSetupState(IKXFCommandState* state);
    void OnOther() { ++Log().otherExecuted; }
    LONG OnInvoke(DWORD_PTR first, DWORD_PTR second) { return static_cast<LONG>(first * 10 + second); }
    void OnFlag(BYTE flag) { Log().flags.push_back(flag); }
    void OnPlain(DWORD_PTR, void*) { Log().plainNotices.push_back(PlainNotice()); }
    LONG OnRun();
    LONG OnApply(const QLXString& text);

    KXF_DECLARE_EVENT_TABLE()
};

class TestDocClass : public KXFDocumentClass<TestDoc> {
public:
    TestDocClass();

    static DWORD ClassCommand() { return TestDocBase() + 9; }
    void OnClassCommand() { ++Log().classExecuted; }

    HRESULT STDMETHODCALLTYPE InstallCommandsWith(IKXFCommandHandler* handler, IUnknown* site) override;

    KXF_DECLARE_EVENT_TABLE()
};

} // namespace VireoTest
