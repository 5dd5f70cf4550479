#pragma once
// The framework objects the module's framework classes use, each looked up once per
// process and cached without a reference (the framework keeps them for the life of the
// process). Every accessor answers null while the framework cannot be reached.

#include "hostapi/HostInterfaces.h"

namespace KXFObjects {

IKXFObjectRegistry* ObjectRegistry();
IKXFIdRegistry* IdRegistry();
IKXFMessageDispatcher* MessageDispatcher();
IKXFEventHandlerRegistry* EventHandlerRegistry();
IKXFMessageFactory* MessageFactory();
IKXFDocumentBinder* DocumentBinder();
IKXFClassBinder* ClassBinder();
IKXFCommandFactory* CommandFactory();
IKXFMenuInstaller* MenuInstaller();

// The 16-bit group of a GUID shifted left by 16; 0 when the registry cannot be had.
// Not cached here: callers keep their groups.
DWORD IdGroupBase(REFGUID id);

} // namespace KXFObjects
