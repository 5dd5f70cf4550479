#pragma once
// Event-handler registry: the stand-in framework's notification source. Observers
// subscribe by number without being held, and remove themselves before they go.

#include "host/kxf/EmbeddedService.h"

#include "host/HostControl.h"

#include <mutex>
#include <vector>

namespace Kxf {

class EventHandlerRegistry : public EmbeddedService<IKXFEventHandlerRegistry>,
                             public EmbeddedService<IKXFNotificationSource>,
                             public EmbeddedService<IKXFSubscriptionCount> {
public:
    explicit EventHandlerRegistry(IUnknown* outer)
        : EmbeddedService<IKXFEventHandlerRegistry>(outer), EmbeddedService<IKXFNotificationSource>(outer),
          EmbeddedService<IKXFSubscriptionCount>(outer)
    {}

    IKXFEventHandlerRegistry* Registry() { return this; }
    IKXFNotificationSource* Source() { return this; }
    IKXFSubscriptionCount* Counts() { return this; }

    HRESULT STDMETHODCALLTYPE Subscribe(IObserver* observer, DWORD number, DWORD_PTR argument) override;
    HRESULT STDMETHODCALLTYPE Unsubscribe(IObserver* observer, DWORD number) override;
    // An observer unsubscribed by an earlier one during the same delivery is skipped.
    HRESULT STDMETHODCALLTYPE Raise(DWORD number, DWORD_PTR argument, void* payload) override;

    HRESULT STDMETHODCALLTYPE RemoveObserver(IObserver* observer) override;
    HRESULT STDMETHODCALLTYPE GetSubscriptionCount(IObserver* observer, ULONG* count) override;

private:
    struct Subscription {
        IObserver* observer; // not held
        DWORD number;
        DWORD_PTR argument;
    };

    bool IsSubscribed(IObserver* observer, DWORD number);

    std::mutex mutex_;
    std::vector<Subscription> subscriptions_;
};

} // namespace Kxf
