#pragma once
// The host program's one COM smart pointer: holds one reference and releases it when
// it goes, however the code that took it ends.

namespace VireoHost {

template <class T>
struct Held {
    T* object = nullptr;
    Held() = default;
    explicit Held(T* taken) : object(taken) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (object)
            object->Release();
    }
    // The out pointer of a call that hands out an interface.
    void** Out() { return reinterpret_cast<void**>(&object); }
};

} // namespace VireoHost
