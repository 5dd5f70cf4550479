#pragma once
// COM helpers shared by the host program and the stand-in framework (header only: the
// two are separate binaries and share no objects).

#include <windows.h>

namespace HostCom {

// A getter's answer: the value through the out pointer, or E_POINTER without one.
template <class T, class V>
HRESULT GiveOut(T* out, const V& value)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

// Drops one reference and runs destroy when it was the last (the object's own code
// destroys it, so private destructors stay private).
template <class Destroy>
ULONG ReleaseWith(volatile LONG& refs, Destroy destroy)
{
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0)
        destroy();
    return static_cast<ULONG>(left);
}

} // namespace HostCom
