#pragma once
// The stand-in framework's services as its own parts reach each other. The class
// object's services are members of the framework object; the objects handed out by
// number live for the life of the process.

#include "host/kxf/KxfCom.h"

namespace Kxf {
namespace Services {

IKXFObjectRegistry* ObjectRegistry();
IKXFIdRegistry* IdRegistry();
IKXFMessageDispatcher* MessageDispatcher();
IKXFEventHandlerRegistry* EventHandlerRegistry();
IKXFNotificationSource* NotificationSource();
IUnitTestRegistry* UnitTestRegistry();

IKXFMessageFactory* MessageFactory();
IKXFDocumentBinder* DocumentBinder();
IKXFClassBinder* ClassBinder();
IKXFCommandFactory* CommandFactory();
IKXFMenuInstaller* MenuInstaller();
IKXFStateService* StateService();

// The group the state service is numbered from: the device event group.
WORD StateServiceGroup();

} // namespace Services
} // namespace Kxf
