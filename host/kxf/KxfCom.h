#pragma once
// Reference counting shared by the stand-in framework's objects: objects made per
// request count their references and are counted while alive; services live for the
// life of the process and ignore references.

#include "host/HostCom.h"
#include "hostapi/HostInterfaces.h"

#include <string>

namespace Kxf {

// Objects made per request that are still alive (messages, bindings, commands, ...).
LONG LiveObjects();
void ObjectCreated();
void ObjectDestroyed();

// Base of objects made per request: starts with one reference, deletes itself at zero.
class CountedObject {
public:
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

protected:
    CountedObject() { ObjectCreated(); }
    virtual ~CountedObject() { ObjectDestroyed(); }

    ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG ReleaseImpl()
    {
        return HostCom::ReleaseWith(refs_, [this] { delete this; });
    }

private:
    volatile LONG refs_ = 1;
};

// Hands out an interface of this object with a reference (or clears the out pointer).
template <class I, class T>
HRESULT Answer(T* self, void** object)
{
    *object = static_cast<I*>(self);
    static_cast<I*>(self)->AddRef();
    return S_OK;
}

inline bool IsUnknown(REFIID iid)
{
    return IsEqualIID(iid, IID_IUnknown) != 0;
}

// QueryInterface of an object that has one interface besides IUnknown.
template <class I, class T>
HRESULT AnswerOne(T* self, REFIID own, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsUnknown(iid) || IsEqualIID(iid, own))
        return Answer<I>(self, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

// BSTR copy of a wide text; null for an empty one.
inline BSTR AllocText(const std::wstring& text)
{
    return text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

using HostCom::GiveOut;

// A text getter's answer: a BSTR copy the caller frees, made only when there is a place for it.
inline HRESULT GiveText(BSTR* out, const std::wstring& text)
{
    return out ? GiveOut(out, AllocText(text)) : E_POINTER;
}

} // namespace Kxf

// Process-lifetime service objects: references are not counted.
#define KXF_STATIC_UNKNOWN                                                                                             \
    ULONG STDMETHODCALLTYPE AddRef() override                                                                          \
    {                                                                                                                  \
        return 2;                                                                                                      \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE Release() override                                                                         \
    {                                                                                                                  \
        return 1;                                                                                                      \
    }

// Objects made per request.
#define KXF_COUNTED_UNKNOWN                                                                                            \
    ULONG STDMETHODCALLTYPE AddRef() override                                                                          \
    {                                                                                                                  \
        return AddRefImpl();                                                                                           \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE Release() override                                                                         \
    {                                                                                                                  \
        return ReleaseImpl();                                                                                          \
    }
