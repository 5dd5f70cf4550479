#pragma once
// The small reference-count-and-lock base of the module's COM objects.

#include <unknwn.h>
#include <windows.h>

namespace QLX {

// Reference counts changed atomically.
struct CComMultiThreadModel {
    static LONG Increment(volatile LONG* value) { return InterlockedIncrement(value); }
    static LONG Decrement(volatile LONG* value) { return InterlockedDecrement(value); }
};

template <class ThreadModel>
class CComObjectRootEx {
public:
    CComObjectRootEx() { InitializeCriticalSectionAndSpinCount(&lock_, 4000); }
    ~CComObjectRootEx() { DeleteCriticalSection(&lock_); }
    CComObjectRootEx(const CComObjectRootEx&) = delete;
    CComObjectRootEx& operator=(const CComObjectRootEx&) = delete;

    LONG InternalAddRef() { return ThreadModel::Increment(&m_dwRef); }
    LONG InternalRelease() { return ThreadModel::Decrement(&m_dwRef); }
    void Lock() { EnterCriticalSection(&lock_); }
    void Unlock() { LeaveCriticalSection(&lock_); }

protected:
    volatile LONG m_dwRef = 0;

private:
    CRITICAL_SECTION lock_;
};

// Objects start with no reference; the first owner takes one. The release that reaches
// zero marks the count before the object is deleted, so references taken and dropped
// during destruction can never reach zero again.
class CComObjectRoot : public CComObjectRootEx<CComMultiThreadModel> {
public:
    static constexpr LONG DestructionMark = static_cast<LONG>(0xC0000001);

    CComObjectRoot();
    ~CComObjectRoot();

    // True when this release was the last: the count is then marked and the caller
    // deletes the object.
    bool ReleaseIsFinal(LONG* left)
    {
        *left = InternalRelease();
        if (*left != 0)
            return false;
        m_dwRef = DestructionMark;
        return true;
    }

    LONG RefCount() const { return m_dwRef; }

    // Release of a class built on this base: the last release deletes the object.
    template <class Object>
    static ULONG ReleaseOf(Object* object)
    {
        LONG left = 0;
        if (object->ReleaseIsFinal(&left))
            delete object;
        return static_cast<ULONG>(left);
    }

    // Objects built on this base that are still alive in the process.
    static LONG LiveObjects();
};

// The end of QueryInterface once the object has found itself as the asked interface:
// the caller gets a reference (S_OK); a null answer is E_NOINTERFACE.
inline HRESULT GiveInterface(IUnknown* answer, void** object)
{
    if (!answer)
        return E_NOINTERFACE;
    answer->AddRef();
    *object = answer;
    return S_OK;
}

// Holds an extra reference across a call that may add and release references of an
// object still being built; dropping it never deletes.
class RefGuard {
public:
    explicit RefGuard(CComObjectRoot& root) : root_(root) { root_.InternalAddRef(); }
    ~RefGuard() { root_.InternalRelease(); }
    RefGuard(const RefGuard&) = delete;
    RefGuard& operator=(const RefGuard&) = delete;

private:
    CComObjectRoot& root_;
};

} // namespace QLX
