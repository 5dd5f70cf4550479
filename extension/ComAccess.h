#pragma once
// How the module asks COM objects for interfaces and holds the references it gets:
// one lookup (Ask), one borrowing lookup for objects that own us (Borrow), and one
// smart pointer (ComHeld) that every held reference lives in.

#include <unknwn.h>

#include <memory>
#include <type_traits>

// Releases the one reference a ComHeld keeps.
struct ReleaseInterface {
    template <class I>
    void operator()(I* object) const
    {
        if (object)
            object->Release();
    }
};

template <class I>
using ComHeld = std::unique_ptr<I, ReleaseInterface>;

// A reference of the holder's own to object.
template <class I>
ComHeld<I> HoldReference(I* object)
{
    if (object)
        object->AddRef();
    return ComHeld<I>(object);
}

// Runs call with an out pointer (I** or void**) and holds what it handed out when it
// succeeded; a failed call leaves held empty, whatever it left in the pointer.
template <class I, class Call>
HRESULT Receive(ComHeld<I>& held, Call call)
{
    I* received = nullptr;
    HRESULT result;
    if constexpr (std::is_invocable_v<Call, I**>)
        result = call(&received);
    else
        result = call(reinterpret_cast<void**>(&received));
    held.reset(SUCCEEDED(result) ? received : nullptr);
    return result;
}

// The interface with a reference for the caller, or null.
template <class I>
I* Ask(IUnknown* from, REFIID iid)
{
    void* object = nullptr;
    if (!from || FAILED(from->QueryInterface(iid, &object)))
        return nullptr;
    return static_cast<I*>(object);
}

// The interface without a reference: for objects that outlive the caller (its owner).
template <class I>
I* Borrow(IUnknown* from, REFIID iid)
{
    I* object = Ask<I>(from, iid);
    if (object)
        object->Release();
    return object;
}
