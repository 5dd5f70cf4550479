#pragma once
// Kxf.dll as a host reaches it: the library beside the test, its class objects, and the
// framework's services, which the framework keeps for the life of the process.

#include "hostapi/HostInterfaces.h"

namespace KxfTest {

// The library beside the test, loaded once and kept for the process.
HMODULE FrameworkLibrary();
// The library's own class object entry; E_UNEXPECTED without the library.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

// A service of the framework object under CLSID_KXFFramework, or COM's class object of
// another class once the framework runs; null when it cannot be had. No reference is
// kept for the caller.
void* Service(REFCLSID clsid, REFIID iid);
// One of the framework objects the object registry hands out by number.
void* RegistryObject(DWORD number, REFIID iid);
// The 16-bit group of a GUID shifted left by 16; 0 without the identifier registry.
DWORD IdGroupBase(REFGUID id);

template <class Interface>
Interface* Service(REFCLSID clsid, REFIID iid)
{
    return static_cast<Interface*>(Service(clsid, iid));
}

inline IKXFObjectRegistry* ObjectRegistry()
{
    return Service<IKXFObjectRegistry>(CLSID_KXFFramework, IID_IKXFObjectRegistry);
}
inline IKXFMessageDispatcher* MessageDispatcher()
{
    return Service<IKXFMessageDispatcher>(CLSID_KXFFramework, IID_IKXFMessageDispatcher);
}
inline IKXFEventHandlerRegistry* EventHandlerRegistry()
{
    return Service<IKXFEventHandlerRegistry>(CLSID_KXFFramework, IID_IKXFEventHandlerRegistry);
}
inline IKXFMessageFactory* MessageFactory()
{
    return static_cast<IKXFMessageFactory*>(RegistryObject(KXFObject_MessageFactory, IID_IKXFMessageFactory));
}
inline IKXFDocumentBinder* DocumentBinder()
{
    return static_cast<IKXFDocumentBinder*>(RegistryObject(KXFObject_DocumentBinder, IID_IKXFDocumentBinder));
}
inline IKXFClassBinder* ClassBinder()
{
    return static_cast<IKXFClassBinder*>(RegistryObject(KXFObject_ClassBinder, IID_IKXFClassBinder));
}
inline IKXFCommandFactory* CommandFactory()
{
    return static_cast<IKXFCommandFactory*>(RegistryObject(KXFObject_CommandFactory, IID_IKXFCommandFactory));
}
inline IKXFMenuInstaller* MenuInstaller()
{
    return static_cast<IKXFMenuInstaller*>(RegistryObject(KXFObject_MenuInstaller, IID_IKXFMenuInstaller));
}

} // namespace KxfTest
