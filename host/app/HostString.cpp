#include "HostString.h"

#include "host/HostCom.h"

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace VireoHost {
namespace {

std::atomic<long> g_live{0};

VARIANT_BOOL Bool(bool value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

// The data members mirror QLXStringHeader after the interface table pointer; the
// characters follow the object in the same allocation.
class HostStringRep : public IQLXString {
public:
    static HostStringRep* Create(UINT32 capacity)
    {
        if (capacity < 8)
            capacity = 8;
        void* memory = ::operator new(sizeof(HostStringRep) + size_t(capacity) * sizeof(wchar_t), std::nothrow);
        if (!memory)
            return nullptr;
        ++g_live;
        return new (memory) HostStringRep(capacity);
    }

    wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
    // A system string of the text; null for the empty text.
    BSTR NewBstr() { return length_ > 1 ? SysAllocStringLen(Text(), length_ - 1) : nullptr; }

    void Assign(const wchar_t* text, size_t count)
    {
        narrowValid_ = 0;
        std::memcpy(Text(), text, count * sizeof(wchar_t));
        Text()[count] = L'\0';
        length_ = static_cast<UINT32>(count + 1);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IAutoQLXString) && !IsEqualIID(iid, IID_IQLXString))
            return E_NOINTERFACE;
        *object = static_cast<IQLXString*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override { return HostCom::ReleaseWith(refs_, [this] { Destroy(); }); }

    HRESULT STDMETHODCALLTYPE SetText(BSTR text) override
    {
        const UINT count = text ? SysStringLen(text) : 0;
        if (refs_ >= 2 || count >= capacity_)
            return E_FAIL;
        Assign(text ? text : L"", count);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override
    {
        if (!text)
            return E_FAIL;
        SysFreeString(*text);
        *text = NewBstr();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsEmpty(VARIANT_BOOL* empty) override { return HostCom::GiveOut(empty, Bool(length_ < 2)); }
    HRESULT STDMETHODCALLTYPE GetLength(ULONG* length) override { return HostCom::GiveOut(length, ULONG(length_ - 1)); }
    HRESULT STDMETHODCALLTYPE IsEqual(IQLXString* other, VARIANT_BOOL* equal) override
    {
        return HostCom::GiveOut(equal, Bool(other && (other == this || TextOf(other) == std::wstring(Text(), length_ - 1))));
    }
    HRESULT STDMETHODCALLTYPE IsShared(VARIANT_BOOL* shared) override { return HostCom::GiveOut(shared, Bool(refs_ > 1)); }
    LONG STDMETHODCALLTYPE GetKind() override { return QLXStringKind_Own; }
    HRESULT STDMETHODCALLTYPE CopyChars(ULONG bufferBytes, void* buffer) override
    {
        if (!buffer || bufferBytes < length_ * sizeof(wchar_t))
            return E_FAIL;
        std::memcpy(buffer, Text(), length_ * sizeof(wchar_t));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCharInfo(ULONG* length, ULONG* bytesPerChar) override
    {
        return bytesPerChar ? (*bytesPerChar = sizeof(wchar_t), GetLength(length)) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetCapacity(ULONG* capacity) override { return HostCom::GiveOut(capacity, ULONG(capacity_ - 1)); }
    HRESULT STDMETHODCALLTYPE CreateEmpty(ULONG count, IQLXString** rep) override
    {
        if (!rep)
            return E_POINTER;
        *rep = Create(count + 1);
        return *rep ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetVariant(VARIANT* value) override
    {
        if (!value)
            return E_POINTER;
        VariantInit(value);
        value->vt = VT_BSTR;
        value->bstrVal = NewBstr();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE Length() override { return length_ - 1; }
    void STDMETHODCALLTYPE Destroy() override
    {
        if (narrow_)
            HeapFree(GetProcessHeap(), 0, narrow_);
        this->~HostStringRep();
        ::operator delete(this);
        --g_live;
    }
    LONG STDMETHODCALLTYPE Reserved() override { return 0; }
    const wchar_t* STDMETHODCALLTYPE Chars() override { return Text(); }

private:
    explicit HostStringRep(UINT32 capacity) : capacity_(capacity) { Text()[0] = L'\0'; }
    virtual ~HostStringRep() = default;

    char* narrow_ = nullptr;
    UINT32 narrowValid_ = 0;
    volatile LONG refs_ = 1;
    UINT32 capacity_;
    UINT32 length_ = 1;
};
static_assert(sizeof(HostStringRep) == sizeof(QLXStringHeader), "the host's strings have the contract's layout");

} // namespace

IQLXString* NewHostString(const std::wstring& text)
{
    HostStringRep* rep = HostStringRep::Create(static_cast<UINT32>(text.size() + 1));
    if (rep)
        rep->Assign(text.c_str(), text.size());
    return rep;
}

std::wstring TextOf(IQLXString* text)
{
    ULONG length = 0;
    ULONG bytesPerChar = 0;
    if (!text || FAILED(text->GetCharInfo(&length, &bytesPerChar)) || length == 0)
        return std::wstring();
    std::vector<char> buffer((size_t(length) + 1) * bytesPerChar);
    if (FAILED(text->CopyChars(static_cast<ULONG>(buffer.size()), buffer.data())))
        return std::wstring();
    if (bytesPerChar == sizeof(wchar_t))
        return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()), length);
    if (bytesPerChar != 1)
        return std::wstring();
    const int units = MultiByteToWideChar(CP_ACP, 0, buffer.data(), static_cast<int>(length), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_ACP, 0, buffer.data(), static_cast<int>(length), &wide[0], units);
    return wide;
}

std::wstring TakeText(IQLXString* text)
{
    std::wstring copy = TextOf(text);
    if (text)
        text->Release();
    return copy;
}

long LiveHostStrings()
{
    return g_live.load();
}

} // namespace VireoHost
