// Event-handler registry: the stand-in framework's notification source. Observers
// subscribe by number without being held, and remove themselves before they go.

#include "Services.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace Kxf {
namespace {

class EventHandlerRegistryService : public IKXFEventHandlerRegistry, public IKXFNotificationSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IKXFEventHandlerRegistry))
            return Answer<IKXFEventHandlerRegistry>(this, object);
        if (IsEqualIID(iid, IID_IKXFNotificationSource))
            return Answer<IKXFNotificationSource>(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE Subscribe(IObserver* observer, DWORD number, DWORD_PTR argument) override
    {
        if (!observer)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& s : subscriptions_)
            if (s.observer == observer && s.number == number)
                return S_FALSE;
        subscriptions_.push_back({observer, number, argument});
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Unsubscribe(IObserver* observer, DWORD number) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto before = subscriptions_.size();
        subscriptions_.erase(
            std::remove_if(subscriptions_.begin(), subscriptions_.end(),
                           [&](const Subscription& s) { return s.observer == observer && s.number == number; }),
            subscriptions_.end());
        return subscriptions_.size() < before ? S_OK : S_FALSE;
    }

    // An observer unsubscribed by an earlier one during the same delivery is skipped.
    HRESULT STDMETHODCALLTYPE Raise(DWORD number, DWORD_PTR argument, void* payload) override
    {
        std::vector<IObserver*> targets;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const auto& s : subscriptions_)
                if (s.number == number)
                    targets.push_back(s.observer);
        }
        for (IObserver* observer : targets) {
            if (IsSubscribed(observer, number))
                observer->Notify(static_cast<IKXFNotificationSource*>(this), number, argument, payload);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE RemoveObserver(IObserver* observer) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        subscriptions_.erase(std::remove_if(subscriptions_.begin(), subscriptions_.end(),
                                            [&](const Subscription& s) { return s.observer == observer; }),
                             subscriptions_.end());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetSubscriptionCount(IObserver* observer, ULONG* count) override
    {
        if (!count)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(mutex_);
        *count = static_cast<ULONG>(std::count_if(subscriptions_.begin(), subscriptions_.end(),
                                                  [&](const Subscription& s) { return s.observer == observer; }));
        return S_OK;
    }

private:
    struct Subscription {
        IObserver* observer; // not held
        DWORD number;
        DWORD_PTR argument;
    };

    bool IsSubscribed(IObserver* observer, DWORD number)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::any_of(subscriptions_.begin(), subscriptions_.end(),
                           [&](const Subscription& s) { return s.observer == observer && s.number == number; });
    }

    std::mutex mutex_;
    std::vector<Subscription> subscriptions_;
};

} // namespace

IKXFEventHandlerRegistry* EventHandlerRegistry()
{
    static EventHandlerRegistryService service;
    return &service;
}

} // namespace Kxf
