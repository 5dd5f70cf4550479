#pragma once
// How the module asks COM objects for interfaces and holds the references it gets:
// one lookup (Ask), one borrowing lookup for objects that own us (Borrow), and one
// smart pointer (ComHeld).

#include <unknwn.h>

#include <memory>

// Releases the one reference a ComHeld keeps.
struct ReleaseInterface {
    void operator()(IUnknown* object) const
    {
        if (object)
            object->Release();
    }
};

template <class I>
using ComHeld = std::unique_ptr<I, ReleaseInterface>;

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

template <class I>
void ReleaseAndClear(I*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// Releases every reference held in the given slots, in order, and clears them.
template <class... I>
void ReleaseAll(I*&... objects)
{
    (ReleaseAndClear(objects), ...);
}
