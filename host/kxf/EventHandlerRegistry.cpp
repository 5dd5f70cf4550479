// Event-handler registry and notification source.

#include "host/kxf/EventHandlerRegistry.h"

#include <algorithm>

namespace Kxf {

HRESULT STDMETHODCALLTYPE EventHandlerRegistry::Subscribe(IObserver* observer, DWORD number, DWORD_PTR argument)
{
    if (!observer)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& s : subscriptions_)
        if (s.observer == observer && s.number == number)
            return S_FALSE;
    try {
        subscriptions_.push_back({observer, number, argument});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventHandlerRegistry::Unsubscribe(IObserver* observer, DWORD number)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto before = subscriptions_.size();
    subscriptions_.erase(
        std::remove_if(subscriptions_.begin(), subscriptions_.end(),
                       [&](const Subscription& s) { return s.observer == observer && s.number == number; }),
        subscriptions_.end());
    return subscriptions_.size() < before ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE EventHandlerRegistry::Raise(DWORD number, DWORD_PTR argument, void* payload)
{
    std::vector<IObserver*> targets;
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& s : subscriptions_)
            if (s.number == number)
                targets.push_back(s.observer);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    for (IObserver* observer : targets) {
        if (IsSubscribed(observer, number))
            observer->Notify(Source(), number, argument, payload);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventHandlerRegistry::RemoveObserver(IObserver* observer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    subscriptions_.erase(std::remove_if(subscriptions_.begin(), subscriptions_.end(),
                                        [&](const Subscription& s) { return s.observer == observer; }),
                         subscriptions_.end());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventHandlerRegistry::GetSubscriptionCount(IObserver* observer, ULONG* count)
{
    if (!count)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *count = static_cast<ULONG>(std::count_if(subscriptions_.begin(), subscriptions_.end(),
                                              [&](const Subscription& s) { return s.observer == observer; }));
    return S_OK;
}

bool EventHandlerRegistry::IsSubscribed(IObserver* observer, DWORD number)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(subscriptions_.begin(), subscriptions_.end(),
                       [&](const Subscription& s) { return s.observer == observer && s.number == number; });
}

} // namespace Kxf
