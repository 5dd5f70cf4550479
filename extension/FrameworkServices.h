#pragma once
// How the module reaches every host service: as the COM class object of a fixed class
// identifier under the service's interface, cached for the life of the process.

#include "extension/HostInterfaces.h"

// The class object of clsid under iid, or null. The pointer carries no reference.
void* GetFrameworkService(REFCLSID clsid, REFIID iid);

template <class Interface>
Interface* GetFrameworkService(REFCLSID clsid, REFIID iid)
{
    return static_cast<Interface*>(GetFrameworkService(clsid, iid));
}

// Makes sure COM can hand out the framework's class object.
void EnsureFramework();
