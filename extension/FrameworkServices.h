#pragma once
// How the module reaches every host service: as the COM class object of a fixed class
// identifier under the service's interface, or as an object of the framework's registry,
// each cached for the life of the process in one place, with the framework started
// inside the process when nobody has started it yet.

#include "hostapi/HostInterfaces.h"

#include <string>

// The class object of clsid under iid, or null when it cannot be had even after
// EnsureFramework. The pointer carries no reference: the framework keeps its class
// objects alive for the life of the process. May throw XQLX or XHResult from EnsureFramework.
void* GetFrameworkService(REFCLSID clsid, REFIID iid);

template <class Interface>
Interface* GetFrameworkService(REFCLSID clsid, REFIID iid)
{
    return static_cast<Interface*>(GetFrameworkService(clsid, iid));
}

// The framework registry's object of that number under iid, cached the same way; null
// while the registry cannot be had or has no such object. May throw as GetFrameworkService.
void* GetRegistryObject(DWORD number, REFIID iid);

template <class Interface>
Interface* GetRegistryObject(DWORD number, REFIID iid)
{
    return static_cast<Interface*>(GetRegistryObject(number, iid));
}

// Makes sure COM can hand out the framework's class object: when it cannot, initialises
// OLE once, loads Kxf.dll from the host executable's folder and registers its class object.
// A missing library or export shows "Varn load failed" and ends the process with -1.
void EnsureFramework();

namespace QLX {

// Told by the library's entry on detach: true when the process is ending (the entry's
// reserved argument is not null), false for an ordinary unload.
void NoteProcessDetach(bool processTerminating);
bool ProcessTerminating();
// Revokes the framework's class object and frees the framework library when this module
// loaded them, unless the process is ending; runs at unload and may run earlier.
void ReleaseFrameworkLibrary();

// The framework library's full path: the host executable's folder and "Kxf.dll".
std::wstring FrameworkLibraryPath();

} // namespace QLX
