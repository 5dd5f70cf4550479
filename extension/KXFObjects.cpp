#include "extension/KXFObjects.h"

#include "extension/FrameworkServices.h"

#include <atomic>
#include <mutex>

namespace KXFObjects {
namespace {

// One cached pointer with its own lock; a failed lookup is tried again next time.
template <class I>
class Cached {
public:
    template <class Fetch>
    I* Get(Fetch fetch)
    {
        if (I* known = pointer_.load(std::memory_order_acquire))
            return known;
        std::lock_guard<std::mutex> guard(lock_);
        I* known = pointer_.load(std::memory_order_relaxed);
        if (!known) {
            known = fetch();
            pointer_.store(known, std::memory_order_release);
        }
        return known;
    }

private:
    std::mutex lock_;
    std::atomic<I*> pointer_{nullptr};
};

template <class I>
I* FromRegistry(DWORD number, REFIID iid)
{
    IKXFObjectRegistry* registry = ObjectRegistry();
    void* object = nullptr;
    if (!registry || FAILED(registry->GetObject(number, iid, &object)) || !object)
        return nullptr;
    static_cast<IUnknown*>(object)->Release();
    return static_cast<I*>(object);
}

// One framework object from the registry, asked for once per process and kept.
template <class I, KXFObjectNumber number, const IID& iid>
I* RegistryObject()
{
    static Cached<I> cached;
    return cached.Get([] { return FromRegistry<I>(number, iid); });
}

} // namespace

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
    return RegistryObject<IKXFMessageFactory, KXFObject_MessageFactory, IID_IKXFMessageFactory>();
}

IKXFDocumentBinder* DocumentBinder()
{
    return RegistryObject<IKXFDocumentBinder, KXFObject_DocumentBinder, IID_IKXFDocumentBinder>();
}

IKXFClassBinder* ClassBinder()
{
    return RegistryObject<IKXFClassBinder, KXFObject_ClassBinder, IID_IKXFClassBinder>();
}

IKXFCommandFactory* CommandFactory()
{
    return RegistryObject<IKXFCommandFactory, KXFObject_CommandFactory, IID_IKXFCommandFactory>();
}

IKXFMenuInstaller* MenuInstaller()
{
    return RegistryObject<IKXFMenuInstaller, KXFObject_MenuInstaller, IID_IKXFMenuInstaller>();
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
