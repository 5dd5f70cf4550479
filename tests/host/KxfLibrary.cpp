#include "KxfLibrary.h"

#include <string>

namespace KxfTest {
namespace {

// Handed out once with COM running in this thread, as the host program does, so the
// library also registers its unit-test registry with COM.
IUnknown* Framework()
{
    static IUnknown* const framework = [] {
        OleInitialize(nullptr);
        IUnknown* made = nullptr;
        GetClassObject(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&made));
        return made;
    }();
    return framework;
}

// The framework keeps its services for the process; the caller holds no reference.
void* Unheld(void* object)
{
    if (object)
        static_cast<IUnknown*>(object)->Release();
    return object;
}

} // namespace

HMODULE FrameworkLibrary()
{
    static const HMODULE library = [] {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring file = path;
        file = file.substr(0, file.find_last_of(L'\\') + 1) + L"Kxf.dll";
        return LoadLibraryW(file.c_str());
    }();
    return library;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    auto entry = reinterpret_cast<LPFNGETCLASSOBJECT>(
        reinterpret_cast<void*>(GetProcAddress(FrameworkLibrary(), "DllGetClassObject")));
    if (!entry)
        return E_UNEXPECTED;
    return entry(clsid, iid, out);
}

void* Service(REFCLSID clsid, REFIID iid)
{
    IUnknown* const framework = Framework();
    void* object = nullptr;
    if (!framework)
        return nullptr;
    if (IsEqualCLSID(clsid, CLSID_KXFFramework))
        framework->QueryInterface(iid, &object);
    else
        CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, iid, &object);
    return Unheld(object);
}

void* RegistryObject(DWORD number, REFIID iid)
{
    IKXFObjectRegistry* const registry = ObjectRegistry();
    void* object = nullptr;
    if (registry)
        registry->GetObject(number, iid, &object);
    return Unheld(object);
}

DWORD IdGroupBase(REFGUID id)
{
    auto* const ids = Service<IKXFIdRegistry>(CLSID_KXFFramework, IID_IKXFIdRegistry);
    WORD group = 0;
    if (!ids || FAILED(ids->GetIdGroup(id, &group)))
        return 0;
    return static_cast<DWORD>(group) << 16;
}

} // namespace KxfTest
