#pragma once
// IUnknown for objects that implement one interface: an atomic count, and deletion
// through the virtual destructor when the count falls to zero; or, for an interface
// embedded in a larger object, no counting at all.

#include <windows.h>
#include <unknwn.h>

// I must have its identifier declared for __uuidof. Flags is reserved for variants
// of the counting policy.
template <class I, int Flags>
class SimpleUnknownImp1 : public I {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(I))) {
            *object = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG count = InterlockedDecrement(&refs_);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }

    virtual ~SimpleUnknownImp1() = default;

protected:
    SimpleUnknownImp1() = default;
    SimpleUnknownImp1(const SimpleUnknownImp1&) = delete;
    SimpleUnknownImp1& operator=(const SimpleUnknownImp1&) = delete;

private:
    volatile LONG refs_ = 0; // the first owner takes the first reference
};

// For an interface embedded in a larger object: counting does nothing and
// Release never deletes; the owner decides the object's life.
template <class I>
class NoDeleteUnknownImp1 : public SimpleUnknownImp1<I, 1> {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};
