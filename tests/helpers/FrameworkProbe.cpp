// A bare process for the service-access tests: it reaches the framework the way the
// module does and reports through its exit code and standard output.
//
//   FrameworkProbe lookup      asks for the identifier registry without touching COM first
//   FrameworkProbe registered  registers a framework of its own in a multithreaded apartment,
//                              then runs EnsureFramework
//   FrameworkProbe mta         runs EnsureFramework in a multithreaded apartment
//   FrameworkProbe detach      starts the framework, then releases it as a process end
//                              would (kept) and as an unload would (freed)

#include "extension/FrameworkServices.h"
#include "foundation/XQLX.h"

#include <cstdio>
#include <cstring>

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

bool FrameworkRegistered()
{
    IUnknown* framework = nullptr;
    if (FAILED(CoGetClassObject(CLSID_KXFFramework, CLSCTX_ALL, nullptr, IID_IUnknown,
                                reinterpret_cast<void**>(&framework))) ||
        !framework)
        return false;
    framework->Release();
    return true;
}

int Detach()
{
    EnsureFramework();
    QLX::NoteProcessDetach(true);
    QLX::ReleaseFrameworkLibrary();
    const bool kept = GetModuleHandleW(L"Kxf.dll") && FrameworkRegistered();
    std::printf("process end keeps %s\n", kept ? "yes" : "no");
    QLX::NoteProcessDetach(false);
    QLX::ReleaseFrameworkLibrary();
    const bool freed = !GetModuleHandleW(L"Kxf.dll") && !FrameworkRegistered();
    std::printf("unload frees %s\n", freed ? "yes" : "no");
    return kept && freed ? Passed : Failed;
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
    } catch (const XQLX& error) {
        std::printf("XQLX %08lx\n", static_cast<unsigned long>(error.Code()));
        return Threw;
    } catch (const XHResult& error) {
        std::printf("XHResult %08lx\n", static_cast<unsigned long>(error.Code()));
        return Threw;
    }
    return BadUse;
}
