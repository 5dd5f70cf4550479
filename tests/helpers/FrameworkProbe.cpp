// A bare process for the service-access tests: it reaches the framework the way the
// module does and reports through its exit code and standard output.
//
//   FrameworkProbe lookup      asks for the identifier registry without touching COM first
//   FrameworkProbe registered  registers a framework of its own in a multithreaded apartment,
//                              then runs EnsureFramework
//   FrameworkProbe mta         runs EnsureFramework in a multithreaded apartment
//   FrameworkProbe detach      starts the framework and what else the module may hold, then
//                              releases it as a process end would (kept) and as an unload
//                              would (freed)
//   FrameworkProbe classbinding  binds a document class to a framework of its own whose
//                              class binding counts the notifications and messages it gets

#include "controls/HostUi.h"
#include "controls/ThemeLibrary.h"
#include "extension/FrameworkHostUi.h"
#include "extension/FrameworkServices.h"
#include "extension/KXFDocumentClass.h"
#include "extension/KXFEventTable.h"
#include "extension/ModuleUnload.h"
#include "foundation/XQLX.h"
#include "preview/OutputPreview.h"
#include "support/FakeHostApplication.h"

#include <cstdio>
#include <cstring>
#include <string>

extern "C" LONG NTAPI LdrFindEntryForAddress(void* address, void** entry);

namespace {

enum ExitCode { Passed = 0, Failed = 1, BadUse = 2, Threw = 3 };

// A framework class object that answers nothing but IUnknown.
class StandInFramework : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }

private:
    volatile LONG refs_ = 1;
};

std::wstring LoadedFrameworkPath()
{
    HMODULE library = GetModuleHandleW(L"Kxf.dll");
    if (!library)
        return L"";
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(library, path, MAX_PATH);
    return path;
}

int Lookup()
{
    auto* ids = GetFrameworkService<IKXFIdRegistry>(CLSID_KXFFramework, IID_IKXFIdRegistry);
    if (!ids) {
        std::printf("no identifier registry\n");
        return Failed;
    }
    const GUID first = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
    const GUID second = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};
    WORD a = 0, b = 0, again = 0;
    if (FAILED(ids->GetIdGroup(first, &a)) || FAILED(ids->GetIdGroup(second, &b)) ||
        FAILED(ids->GetIdGroup(first, &again)))
        return Failed;
    const bool cached = GetFrameworkService(CLSID_KXFFramework, IID_IKXFIdRegistry) == ids;
    std::printf("groups %s %s\n", a == again ? "stable" : "unstable", a != b ? "distinct" : "equal");
    std::printf("cached %s\n", cached ? "yes" : "no");
    std::printf("library %ls\n", LoadedFrameworkPath().c_str());
    return a == again && a != b && cached ? Passed : Failed;
}

int Registered()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return Failed;
    static StandInFramework framework;
    DWORD cookie = 0;
    if (FAILED(
            CoRegisterClassObject(CLSID_KXFFramework, &framework, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        return Failed;
    // OLE started here would fail in this apartment and throw.
    EnsureFramework();
    std::printf("library %ls\n", LoadedFrameworkPath().c_str());
    const bool found = GetFrameworkService(CLSID_KXFFramework, IID_IUnknown) == &framework;
    std::printf("found %s\n", found ? "yes" : "no");
    CoRevokeClassObject(cookie);
    return found && !GetModuleHandleW(L"Kxf.dll") ? Passed : Failed;
}

int InMultithreadedApartment()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return Failed;
    EnsureFramework();
    return Passed;
}

bool ClassRegistered(REFCLSID clsid)
{
    IUnknown* object = nullptr;
    if (FAILED(CoGetClassObject(clsid, CLSCTX_ALL, nullptr, IID_IUnknown, reinterpret_cast<void**>(&object))) ||
        !object)
        return false;
    object->Release();
    return true;
}

// How often a library has been loaded and not yet freed.
int LoadCount(const wchar_t* library)
{
    void* entry = nullptr;
    const HMODULE module = GetModuleHandleW(library);
    if (!module || LdrFindEntryForAddress(module, &entry) != 0 || !entry)
        return 0;
    // The loader entry's load count, after the lists, base, entry, size, names and flags.
    return *reinterpret_cast<const short*>(static_cast<const char*>(entry) + 0x6C);
}

// Starts everything the module may hold, then lets go of it as a process end would (kept)
// and as an ordinary unload would (freed); prints what is still held after each.
int Detach()
{
    OleInitialize(nullptr);
    auto& host = VireoTest::FakeHostApplication::Get();
    const LONG hostRefs = host.refs;
    const int themeLoads = LoadCount(L"uxtheme.dll");
    EnsureFramework();
    OnlineEvents::RegisterOutputPreview();
    QLX::ThemeLibrary::Instance().IsAppThemed();
    OnlineEvents::InstallFrameworkHostUi();
    QLX::GetHostUi().ShowsHints();
    const auto held = [&] {
        std::string names;
        if (GetModuleHandleW(L"Kxf.dll") || ClassRegistered(CLSID_KXFFramework))
            names += " framework";
        if (ClassRegistered(CLSID_VireoOutputPreview))
            names += " preview";
        if (LoadCount(L"uxtheme.dll") > themeLoads)
            names += " theme";
        if (host.refs > hostRefs)
            names += " store";
        return names.empty() ? std::string(" nothing") : names;
    };
    QLX::NoteProcessDetach(true);
    OnlineEvents::ReleaseModuleResources();
    std::printf("process end keeps%s\n", held().c_str());
    QLX::NoteProcessDetach(false);
    OnlineEvents::ReleaseModuleResources();
    std::printf("unload keeps%s\n", held().c_str());
    return Passed;
}

// The framework's side of a class: counts the notifications and messages handed to it.
class CountingBinding : public IObserver, public IMessageHandler {
public:
    int notifications = 0;
    int messages = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IObserver))
            *out = static_cast<IObserver*>(this);
        else if (IsEqualIID(iid, IID_IMessageHandler))
            *out = static_cast<IMessageHandler*>(this);
        else
            *out = nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Connect(IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Notify(IUnknown*, DWORD, DWORD_PTR, void*) override
    {
        ++notifications;
        return S_OK;
    }
    LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage*) override { return ++messages, 1; }
    HRESULT STDMETHODCALLTYPE Connect(IUnknown*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Chain(IMessageHandler*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unchain(IUnknown*) override { return S_OK; }
};

CountingBinding g_binding;

// A framework that offers only its object registry and a class binder.
class BindingFramework : public IKXFObjectRegistry, public IKXFClassBinder {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKXFObjectRegistry))
            *out = static_cast<IKXFObjectRegistry*>(this);
        else if (IsEqualIID(iid, IID_IKXFClassBinder))
            *out = static_cast<IKXFClassBinder*>(this);
        else
            *out = nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE RegisterClassObject(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetObject(DWORD number, REFIID iid, void** object) override
    {
        if (number == KXFObject_ClassBinder)
            return QueryInterface(iid, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE BindClass(IUnknown*, DWORD, IUnknown** binding) override
    {
        *binding = static_cast<IObserver*>(&g_binding);
        return S_OK;
    }
};

// {5E0F2C71-6A3B-4C8E-9D21-0B7A4F3E9C10}
constexpr CLSID ProbeClassId = {0x5E0F2C71, 0x6A3B, 0x4C8E, {0x9D, 0x21, 0x0B, 0x7A, 0x4F, 0x3E, 0x9C, 0x10}};

class ProbeClass : public KXFDocumentClassBase {
public:
    ProbeClass()
        : KXFDocumentClassBase(QLXString(L"Probe"), ProbeClassId, ProbeClassId, 0x10000, 0, 0,
                               InterfaceArray<IKXFCommand>())
    {}
    KXF_DECLARE_EVENT_TABLE()
};

KXFTableEntry ProbeClass::s_eventTable[] = {KXFTable::Header(), KXFTable::End()};

// A message no table entry takes.
class ProbeMessage : public IKXFMessage {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetNumber(DWORD* number) override { return *number = 0x10005, S_OK; }
    HRESULT STDMETHODCALLTYPE GetFlags(DWORD* flags) override { return *flags = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetArguments(DWORD_PTR* first, DWORD_PTR* second) override
    {
        *first = *second = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetValue(KXFValue*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOrigin(IUnknown*) override { return S_OK; }
    LONG STDMETHODCALLTYPE IsFromTarget(IUnknown*) override { return 0; }
};

int ClassBinding()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return Failed;
    static BindingFramework framework;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(CLSID_KXFFramework, static_cast<IKXFObjectRegistry*>(&framework),
                                     CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        return Failed;
    auto* documentClass = new ProbeClass;
    documentClass->AddRef();
    static_cast<IObserver*>(documentClass)->Notify(nullptr, 0x10001, 0, nullptr);
    ProbeMessage message;
    const LONG handled = static_cast<IMessageHandler*>(documentClass)->HandleMessage(&message);
    documentClass->Release();
    CoRevokeClassObject(cookie);
    std::printf("binding notifications %d messages %d handled %ld\n", g_binding.notifications, g_binding.messages,
                static_cast<long>(handled));
    return g_binding.notifications == 1 && g_binding.messages == 1 && handled == 1 ? Passed : Failed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return BadUse;
    try {
        if (!std::strcmp(argv[1], "lookup"))
            return Lookup();
        if (!std::strcmp(argv[1], "registered"))
            return Registered();
        if (!std::strcmp(argv[1], "mta"))
            return InMultithreadedApartment();
        if (!std::strcmp(argv[1], "detach"))
            return Detach();
        if (!std::strcmp(argv[1], "classbinding"))
            return ClassBinding();
    } catch (const XQLX& error) {
        std::printf("XQLX %08lx\n", static_cast<unsigned long>(error.Code()));
        return Threw;
    } catch (const XHResult& error) {
        std::printf("XHResult %08lx\n", static_cast<unsigned long>(error.Code()));
        return Threw;
    }
    return BadUse;
}
