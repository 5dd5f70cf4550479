#include "extension/KXFObjects.h"

#include "extension/FrameworkServices.h"

namespace KXFObjects {

IKXFObjectRegistry* ObjectRegistry()
{
    return GetFrameworkService<IKXFObjectRegistry>(CLSID_KXFFramework, IID_IKXFObjectRegistry);
}

IKXFIdRegistry* IdRegistry()
{
    return GetFrameworkService<IKXFIdRegistry>(CLSID_KXFFramework, IID_IKXFIdRegistry);
}

IKXFMessageDispatcher* MessageDispatcher()
{
    return GetFrameworkService<IKXFMessageDispatcher>(CLSID_KXFFramework, IID_IKXFMessageDispatcher);
}

IKXFEventHandlerRegistry* EventHandlerRegistry()
{
    return GetFrameworkService<IKXFEventHandlerRegistry>(CLSID_KXFFramework, IID_IKXFEventHandlerRegistry);
}

IKXFMessageFactory* MessageFactory()
{
    return GetRegistryObject<IKXFMessageFactory>(KXFObject_MessageFactory, IID_IKXFMessageFactory);
}

IKXFDocumentBinder* DocumentBinder()
{
    return GetRegistryObject<IKXFDocumentBinder>(KXFObject_DocumentBinder, IID_IKXFDocumentBinder);
}

IKXFClassBinder* ClassBinder()
{
    return GetRegistryObject<IKXFClassBinder>(KXFObject_ClassBinder, IID_IKXFClassBinder);
}

IKXFCommandFactory* CommandFactory()
{
    return GetRegistryObject<IKXFCommandFactory>(KXFObject_CommandFactory, IID_IKXFCommandFactory);
}

IKXFMenuInstaller* MenuInstaller()
{
    return GetRegistryObject<IKXFMenuInstaller>(KXFObject_MenuInstaller, IID_IKXFMenuInstaller);
}

DWORD IdGroupBase(REFGUID id)
{
    IKXFIdRegistry* registry = IdRegistry();
    WORD group = 0;
    if (!registry || FAILED(registry->GetIdGroup(id, &group)))
        return 0;
    return static_cast<DWORD>(group) << 16;
}

} // namespace KXFObjects
