#pragma once
// The stand-in framework's services, each a process-lifetime object, and the few
// internal calls they make on each other.

#include "KxfCom.h"

namespace Kxf {

IKXFObjectRegistry* ObjectRegistry();
IKXFIdRegistry* IdRegistry();
IKXFMessageFactory* MessageFactory();
IKXFMessageDispatcher* MessageDispatcher();
IKXFDocumentBinder* DocumentBinder();
IKXFClassBinder* ClassBinder();
IKXFCommandFactory* CommandFactory();
IKXFMenuInstaller* MenuInstaller();
IKXFEventHandlerRegistry* EventHandlerRegistry();
IKXFStateService* StateService();
IUnitTestRegistry* UnitTestRegistry();

// The framework's class object (CLSID_KXFFramework), answering every service interface.
IUnknown* FrameworkObject();

// The group the state service is numbered from: the device event group.
WORD StateServiceGroup();

} // namespace Kxf
