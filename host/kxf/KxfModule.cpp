// Entry points of Kxf.dll.
//
// The framework object is the class object of CLSID_KXFFramework. The unit-test registry
// has a class identifier of its own, and in this stand-in the framework owns that registry
// too: when the framework object is handed out to a caller with COM running, the library
// registers the same object with COM under CLSID_UnitTestRegistry (once; in-process,
// multiple use, in the caller's apartment), so a lookup of that class finds it as soon as the framework runs. The host
// application service is the host program's to register, not the framework's.

#include "host/kxf/Framework.h"

#include <mutex>

namespace {

std::mutex g_registrationLock;
DWORD g_unitTestRegistryCookie = 0;

void RegisterOwnClasses(IUnknown* framework)
{
    std::lock_guard<std::mutex> guard(g_registrationLock);
    if (g_unitTestRegistryCookie)
        return;
    // Without COM in the caller's thread this fails; a later hand-out tries again.
    DWORD cookie = 0;
    if (SUCCEEDED(CoRegisterClassObject(CLSID_UnitTestRegistry, framework, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &cookie)))
        g_unitTestRegistryCookie = cookie;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // At process termination other libraries may be gone already; only an unload cleans up.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        if (g_unitTestRegistryCookie)
            CoRevokeClassObject(g_unitTestRegistryCookie);
        Kxf::Framework::Shutdown();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    try {
        const bool framework = IsEqualCLSID(clsid, CLSID_KXFFramework);
        if (!framework && !IsEqualCLSID(clsid, CLSID_UnitTestRegistry))
            return CLASS_E_CLASSNOTAVAILABLE;
        Kxf::Framework& instance = Kxf::Framework::Instance();
        if (framework)
            RegisterOwnClasses(instance.Unknown());
        return instance.QueryInterface(iid, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    // Cached service pointers in the process rely on the framework staying loaded.
    return S_FALSE;
}
