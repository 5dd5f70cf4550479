#include "foundation/QLXString.h"

#include "foundation/ProductWords.h"
#include "foundation/ApplicationLanguage.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<long> g_liveRepresentations{0};

constexpr uint32_t MinCapacity = 8;
constexpr uint32_t EmptyCapacity = 9;

[[noreturn]] void ThrowSizeTooBig()
{
    throw xmsg("QLX::String size too big");
}

// Capacities live in 32-bit header fields; anything larger cannot be represented.
uint32_t CheckedCapacity(uint64_t wanted)
{
    if (wanted > 0x7FFFFFFFu)
        ThrowSizeTooBig();
    return static_cast<uint32_t>(std::max<uint64_t>(MinCapacity, wanted));
}

QLXStringHeader* HeaderOf(IQLXString* rep)
{
    return reinterpret_cast<QLXStringHeader*>(rep);
}

wchar_t* CharsOf(IQLXString* rep)
{
    return reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(rep) + sizeof(QLXStringHeader));
}

// Narrow copies come from the process heap: a representation adopted from another
// module may free a buffer this module made, and the other way round.
char* AllocNarrow(size_t bytes)
{
    char* p = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!p)
        throw std::bad_alloc();
    return p;
}

void FreeNarrow(char* p)
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

// A getter's answer: the value in the out slot, or E_POINTER without one.
template <class T, class V>
HRESULT Answer(T* slot, V value)
{
    if (!slot)
        return E_POINTER;
    *slot = static_cast<T>(value);
    return S_OK;
}

} // namespace

// Owns the narrow copy; everything else about a representation lives in StringRep.
class QLXString::StringRepBase : public IQLXString {
public:
    virtual ~StringRepBase() { FreeNarrow(narrow_); }

protected:
    char* narrow_ = nullptr;
    uint32_t narrowValid_ = 0;
};

// The module's own representation: header fields, then the characters in the same allocation.
class QLXString::StringRep final : public QLXString::StringRepBase {
public:
    static StringRep* Create(uint32_t capacity)
    {
        void* memory = ::operator new(sizeof(StringRep) + size_t(capacity) * sizeof(wchar_t));
        return new (memory) StringRep(capacity);
    }
    static void operator delete(void* p) { ::operator delete(p); }

    wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IAutoQLXString) || IsEqualIID(iid, IID_IQLXString)) {
            *out = static_cast<IQLXString*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            Destroy();
        return left;
    }

    HRESULT STDMETHODCALLTYPE SetText(BSTR text) override
    {
        // The shared empty representation is never written, whatever its count says.
        if (refs_ >= 2 || this == SharedEmpty())
            return E_FAIL;
        const uint32_t n = text ? SysStringLen(text) : 0;
        if (n >= capacity_)
            return E_FAIL;
        narrowValid_ = 0;
        if (n)
            wmemcpy(Text(), text, n);
        Text()[n] = L'\0';
        length_ = n + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override
    {
        if (!text)
            return E_FAIL;
        if (*text) {
            SysFreeString(*text);
            *text = nullptr;
        }
        if (length_ >= 2) {
            *text = SysAllocStringLen(Text(), length_ - 1);
            if (!*text)
                return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsEmpty(VARIANT_BOOL* empty) override
    {
        return Answer(empty, length_ < 2 ? VARIANT_TRUE : VARIANT_FALSE);
    }
    HRESULT STDMETHODCALLTYPE GetLength(ULONG* length) override { return Answer(length, length_ - 1); }
    HRESULT STDMETHODCALLTYPE IsEqual(IQLXString* other, VARIANT_BOOL* equal) override
    {
        if (!other || !equal)
            return E_POINTER;
        if (other == this) {
            *equal = VARIANT_TRUE;
            return S_OK;
        }
        if (IsOwnKind(other)) {
            const QLXStringHeader* h = HeaderOf(other);
            *equal =
                h->length == length_ && wmemcmp(CharsOf(other), Text(), length_) == 0 ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        BSTR theirs = nullptr;
        const HRESULT hr = other->GetText(&theirs);
        if (FAILED(hr))
            return hr;
        const uint32_t n = theirs ? SysStringLen(theirs) : 0;
        *equal = n == length_ - 1 && (n == 0 || wmemcmp(theirs, Text(), n) == 0) ? VARIANT_TRUE : VARIANT_FALSE;
        SysFreeString(theirs);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsShared(VARIANT_BOOL* shared) override
    {
        return Answer(shared, refs_ > 1 ? VARIANT_TRUE : VARIANT_FALSE);
    }
    LONG STDMETHODCALLTYPE GetKind() override { return QLXString::OwnKind; }
    HRESULT STDMETHODCALLTYPE CopyChars(ULONG bufferBytes, void* buffer) override
    {
        if (bufferBytes < uint64_t(length_) * sizeof(wchar_t))
            return E_FAIL;
        if (!buffer)
            return E_POINTER;
        std::memcpy(buffer, Text(), size_t(length_) * sizeof(wchar_t));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCharInfo(ULONG* length, ULONG* bytesPerChar) override
    {
        if (!length || !bytesPerChar)
            return E_POINTER;
        *length = length_ - 1;
        *bytesPerChar = sizeof(wchar_t);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCapacity(ULONG* capacity) override { return Answer(capacity, capacity_ - 1); }
    HRESULT STDMETHODCALLTYPE CreateEmpty(ULONG count, IQLXString** rep) override
    {
        if (!rep)
            return E_POINTER;
        *rep = nullptr;
        try {
            *rep = CreateEmptyRep(CheckedCapacity(uint64_t(count) + 1));
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE GetVariant(VARIANT* value) override
    {
        if (!value)
            return E_POINTER;
        value->vt = VT_BSTR;
        value->bstrVal = nullptr;
        if (length_ >= 2) {
            value->bstrVal = SysAllocStringLen(Text(), length_ - 1);
            if (!value->bstrVal) {
                value->vt = VT_EMPTY;
                return E_OUTOFMEMORY;
            }
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE Length() override { return length_ - 1; }
    void STDMETHODCALLTYPE Destroy() override { delete this; }
    LONG STDMETHODCALLTYPE Reserved() override { return 0; }
    const wchar_t* STDMETHODCALLTYPE Chars() override { return Text(); }

    static StringRep* CreateEmptyRep(uint32_t capacity)
    {
        StringRep* rep = Create(capacity);
        rep->Text()[0] = L'\0';
        return rep;
    }

    static StringRep* SharedEmpty();
    static bool IsOwnKind(IQLXString* rep);

private:
    explicit StringRep(uint32_t capacity) : capacity_(capacity) { ++g_liveRepresentations; }
    ~StringRep() override { --g_liveRepresentations; }

    volatile LONG refs_ = 1;
    uint32_t capacity_;
    uint32_t length_ = 1;
};

static_assert(sizeof(QLXString::StringRep) == sizeof(QLXStringHeader), "header and characters form one block");
static_assert(sizeof(QLXString) == sizeof(void*), "a handle is one pointer");

namespace {

// The static holds one reference for the life of the module, so the shared empty
// representation is never written in place and outlives every handle made before it.
struct SharedEmptyHolder {
    QLXString::StringRep* rep;
    SharedEmptyHolder() : rep(QLXString::StringRep::CreateEmptyRep(EmptyCapacity)) {}
    ~SharedEmptyHolder() { rep->Release(); }
};

} // namespace

QLXString::StringRep* QLXString::StringRep::SharedEmpty()
{
    static SharedEmptyHolder holder;
    return holder.rep;
}

bool QLXString::StringRep::IsOwnKind(IQLXString* rep)
{
    static void* const ownTable = *reinterpret_cast<void**>(SharedEmpty());
    return *reinterpret_cast<void**>(rep) == ownTable || rep->GetKind() == QLXString::OwnKind;
}

namespace {

QLXStringHeader* Header(const wchar_t* chars)
{
    return reinterpret_cast<QLXStringHeader*>(reinterpret_cast<char*>(const_cast<wchar_t*>(chars)) -
                                              sizeof(QLXStringHeader));
}

IQLXString* RepOf(const wchar_t* chars)
{
    return reinterpret_cast<IQLXString*>(Header(chars));
}

wchar_t* NewRep(uint32_t capacity)
{
    return QLXString::StringRep::CreateEmptyRep(capacity)->Text();
}

// Counts are changed directly in the header, which every kind-9 representation shares,
// so adopted foreign representations need no interface call until they die.
void AddRefChars(const wchar_t* chars)
{
    InterlockedIncrement(&Header(chars)->refs);
}

void ReleaseChars(const wchar_t* chars)
{
    if (InterlockedDecrement(&Header(chars)->refs) == 0)
        RepOf(chars)->Destroy();
}

// Made by this module: only such a representation's narrow buffer is ours to free.
bool IsLocalRep(const wchar_t* chars)
{
    static void* const ownTable = *reinterpret_cast<void**>(QLXString::StringRep::SharedEmpty());
    return Header(chars)->vtable == ownTable;
}

wchar_t* SharedEmptyChars()
{
    wchar_t* chars = QLXString::StringRep::SharedEmpty()->Text();
    AddRefChars(chars);
    return chars;
}

wchar_t* CopyOf(const wchar_t* text, uint32_t n, uint32_t capacity)
{
    wchar_t* chars = NewRep(capacity);
    wmemcpy(chars, text, n);
    chars[n] = L'\0';
    Header(chars)->length = n + 1;
    return chars;
}

wchar_t* CopyOf(const wchar_t* text, size_t n)
{
    if (n == 0)
        return SharedEmptyChars();
    return CopyOf(text, static_cast<uint32_t>(n), CheckedCapacity(uint64_t(n) + 1));
}

// Converts narrow text (NUL-terminated) into a new representation, or the shared empty one.
wchar_t* FromCodePage(const char* text, int bytes, UINT codePage)
{
    if (!text)
        return SharedEmptyChars();
    const int units = MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    if (units < 2)
        return SharedEmptyChars();
    wchar_t* chars = NewRep(CheckedCapacity(uint64_t(units)));
    const int written = MultiByteToWideChar(codePage, 0, text, bytes, chars, units);
    const uint32_t n = written > 0 ? static_cast<uint32_t>(written) : 1;
    chars[n - 1] = L'\0';
    Header(chars)->length = n;
    return chars;
}

// Reads any IQLXString through its interface into a new representation of this module.
wchar_t* CopyThroughInterface(IQLXString* source)
{
    if (!source)
        return SharedEmptyChars();
    ULONG length = 0;
    ULONG bytesPerChar = 0;
    if (FAILED(source->GetCharInfo(&length, &bytesPerChar)) || length == 0)
        return SharedEmptyChars();
    if (bytesPerChar == 1) {
        std::vector<char> narrow(size_t(length) + 1);
        if (FAILED(source->CopyChars(static_cast<ULONG>(narrow.size()), narrow.data())))
            return SharedEmptyChars();
        narrow.back() = '\0';
        return FromCodePage(narrow.data(), -1, CP_ACP);
    }
    if (bytesPerChar != sizeof(wchar_t))
        return SharedEmptyChars();
    wchar_t* chars = NewRep(CheckedCapacity(uint64_t(length) + 1));
    if (FAILED(source->CopyChars((length + 1) * sizeof(wchar_t), chars))) {
        ReleaseChars(chars);
        return SharedEmptyChars();
    }
    chars[length] = L'\0';
    Header(chars)->length = length + 1;
    return chars;
}

} // namespace

QLXString::QLXString() : chars_(SharedEmptyChars()) {}

QLXString::QLXString(const wchar_t* text) : chars_(text ? CopyOf(text, wcslen(text)) : SharedEmptyChars()) {}

QLXString::QLXString(const wchar_t* text, int maxCount) : chars_(nullptr)
{
    if (maxCount < 0)
        ThrowSizeTooBig();
    chars_ = text ? CopyOf(text, wcsnlen(text, size_t(maxCount))) : SharedEmptyChars();
}

QLXString::QLXString(IQLXString* source) : chars_(CopyThroughInterface(source)) {}

QLXString::QLXString(const QLXString& other) : chars_(other.chars_)
{
    AddRefChars(chars_);
}

QLXString::QLXString(QLXString&& other) noexcept : chars_(other.chars_)
{
    other.chars_ = SharedEmptyChars();
}

QLXString& QLXString::operator=(const QLXString& other)
{
    AddRefChars(other.chars_);
    ReleaseChars(chars_);
    chars_ = other.chars_;
    return *this;
}

QLXString& QLXString::operator=(QLXString&& other) noexcept
{
    if (this != &other)
        std::swap(chars_, other.chars_);
    return *this;
}

QLXString::~QLXString()
{
    ReleaseChars(chars_);
}

QLXString QLXString::FromNarrow(const char* text, int codePageSelector)
{
    return QLXString(FromCodePage(text, -1, codePageSelector == 1 ? CP_ACP : CP_UTF8));
}

QLXString QLXString::Attach(IQLXString* rep)
{
    if (!rep)
        return QLXString();
    if (StringRep::IsOwnKind(rep))
        return QLXString(CharsOf(rep));
    QLXString copy(rep);
    rep->Release();
    return copy;
}

unsigned QLXString::Length() const
{
    return Header(chars_)->length - 1;
}

BSTR QLXString::NewBstr() const
{
    return IsEmpty() ? nullptr : SysAllocStringLen(chars_, Length());
}

unsigned QLXString::Capacity() const
{
    return Header(chars_)->capacity;
}

unsigned QLXString::RepLength() const
{
    return Header(chars_)->length;
}

IQLXString* QLXString::Rep() const
{
    return RepOf(chars_);
}

IQLXString* QLXString::GetInterface() const
{
    AddRefChars(chars_);
    return RepOf(chars_);
}

void QLXString::MakeUnique()
{
    QLXStringHeader* h = Header(chars_);
    if (h->refs == 1) {
        h->narrowValid = 0;
        return;
    }
    wchar_t* copy = CopyOf(chars_, h->length - 1, std::max(MinCapacity, h->capacity));
    ReleaseChars(chars_);
    chars_ = copy;
}

const char* QLXString::NarrowText()
{
    MakeUnique();
    // Another module's representation promises the layout, not the heap of its narrow
    // buffer: work on a copy of our own.
    if (!IsLocalRep(chars_)) {
        wchar_t* copy = CopyOf(chars_, Length(), std::max(MinCapacity, Capacity()));
        ReleaseChars(chars_);
        chars_ = copy;
    }
    QLXStringHeader* h = Header(chars_);
    FreeNarrow(h->narrow);
    h->narrow = nullptr;
    h->narrowValid = 0;
    const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, chars_, int(h->length), nullptr, 0, nullptr, nullptr);
    char* narrow = AllocNarrow(bytes > 0 ? size_t(bytes) : 1);
    if (bytes <= 0 ||
        WideCharToMultiByte(CP_THREAD_ACP, 0, chars_, int(h->length), narrow, bytes, nullptr, nullptr) <= 0)
        narrow[0] = '\0';
    h->narrow = narrow;
    h->narrowValid = 1;
    return narrow;
}

void QLXString::Reserve(unsigned capacity)
{
    QLXStringHeader* h = Header(chars_);
    if (h->refs == 1) {
        h->narrowValid = 0;
        if (h->capacity == capacity)
            return;
    }
    const uint32_t newCapacity = CheckedCapacity(capacity);
    const uint32_t keep = std::min(h->length, newCapacity);
    wchar_t* chars = NewRep(newCapacity);
    wmemcpy(chars, chars_, keep);
    if (keep < h->length)
        chars[keep - 1] = L'\0';
    Header(chars)->length = keep;
    ReleaseChars(chars_);
    chars_ = chars;
}

void QLXString::AppendChars(const wchar_t* text, size_t n)
{
    MakeUnique();
    const uint32_t oldLength = Header(chars_)->length;
    const uint64_t newLength = uint64_t(oldLength) + n;
    if (newLength > Header(chars_)->capacity)
        Reserve(CheckedCapacity(newLength * 3 / 2));
    if (n != 0)
        wmemcpy(chars_ + oldLength - 1, text, n);
    chars_[newLength - 1] = L'\0';
    Header(chars_)->length = static_cast<uint32_t>(newLength);
}

QLXString& QLXString::Append(const QLXString& text)
{
    // A second reference keeps the source alive and unchanged when it is this string.
    const QLXString source(text);
    AppendChars(source.chars_, source.Length());
    return *this;
}

QLXString& QLXString::Append(const wchar_t* text)
{
    const size_t n = text ? wcslen(text) : 0;
    // Text inside this string's own storage would move when the storage grows.
    if (n != 0 && text >= chars_ && text < chars_ + Capacity()) {
        const std::wstring copy(text, n);
        AppendChars(copy.c_str(), n);
    } else {
        AppendChars(text, n);
    }
    return *this;
}

QLXString& QLXString::Append(wchar_t c)
{
    AppendChars(&c, 1);
    return *this;
}

void QLXString::Replace(unsigned position, unsigned count, const QLXString& replacement)
{
    const uint32_t oldLength = Header(chars_)->length;
    if (position >= oldLength - 1) {
        Append(replacement);
        return;
    }
    const QLXString source(replacement);
    const uint32_t inserted = source.Length();
    const uint32_t removed = std::min(oldLength - 1 - position, count);
    MakeUnique();
    const uint64_t newLength = uint64_t(oldLength) - removed + inserted;
    if (newLength > Header(chars_)->capacity)
        Reserve(CheckedCapacity(newLength));
    // The tail, terminator included, moves to its new place before the replacement goes in.
    wmemmove(chars_ + position + inserted, chars_ + position + removed, oldLength - position - removed);
    wmemcpy(chars_ + position, source.chars_, inserted);
    Header(chars_)->length = static_cast<uint32_t>(newLength);
}

int QLXString::Find(const QLXString& text, unsigned start) const
{
    const uint32_t n = text.Length();
    const uint32_t length = Length();
    if (n == 0 || start > length || n > length - start)
        return -1;
    for (uint32_t i = start; i + n <= length; ++i) {
        if (wmemcmp(chars_ + i, text.chars_, n) == 0)
            return int(i);
    }
    return -1;
}

wchar_t* QLXString::PrepareBuffer(unsigned n)
{
    QLXStringHeader* h = Header(chars_);
    if (h->refs == 1 && h->capacity >= uint64_t(n) + 1 && IsLocalRep(chars_)) {
        FreeNarrow(h->narrow);
        h->narrow = nullptr;
        h->narrowValid = 0;
        chars_[0] = L'\0';
        h->length = 1;
    } else {
        wchar_t* chars = NewRep(CheckedCapacity(uint64_t(n) + 1));
        ReleaseChars(chars_);
        chars_ = chars;
    }
    chars_[n] = L'\0';
    return chars_;
}

void QLXString::ReleaseBuffer()
{
    QLXStringHeader* h = Header(chars_);
    const size_t n = wcsnlen(chars_, h->capacity);
    if (n >= h->capacity) {
        chars_[h->capacity - 1] = L'\0';
        h->length = h->capacity;
    } else {
        h->length = static_cast<uint32_t>(n + 1);
    }
}

wchar_t* QLXString::FreshBuffer(unsigned n)
{
    wchar_t* chars = NewRep(CheckedCapacity(n));
    ReleaseChars(chars_);
    chars_ = chars;
    return chars_;
}

void QLXString::SetRepLength(unsigned lengthWithTerminator)
{
    QLXStringHeader* h = Header(chars_);
    h->length = std::max(1u, std::min(lengthWithTerminator, h->capacity));
}

bool QLXString::operator==(const QLXString& other) const
{
    if (chars_ == other.chars_)
        return true;
    const uint32_t length = Header(chars_)->length;
    return length == Header(other.chars_)->length && wmemcmp(chars_, other.chars_, length) == 0;
}

bool QLXString::operator==(const wchar_t* other) const
{
    const size_t n = other ? wcslen(other) : 0;
    return n == Length() && wmemcmp(chars_, other ? other : L"", n) == 0;
}

long QLXString::LiveRepresentations()
{
    return g_liveRepresentations.load();
}

namespace {

// The count-prefixed entry for id inside its 16-string block, or null. The block is
// asked for in the application's language first, then in the default language.
const wchar_t* FindStringEntry(HINSTANCE instance, UINT id, uint32_t* count)
{
    // String identifiers are 16-bit, as for the system's own string loader.
    const WORD entryId = LOWORD(id);
    const LPCWSTR block = MAKEINTRESOURCEW((entryId >> 4) + 1);
    HRSRC found = nullptr;
    if (const LANGID language = TApplicationLanguage())
        found = FindResourceExW(instance, MAKEINTRESOURCEW(6), block, language);
    if (!found)
        found = FindResourceW(instance, block, MAKEINTRESOURCEW(6));
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* p = static_cast<const wchar_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!p)
        return nullptr;
    // Walk the block without ever reading past the resource's own size.
    const size_t units = SizeofResource(instance, found) / sizeof(wchar_t);
    size_t at = 0;
    for (unsigned i = 0; i < (entryId & 15u); ++i) {
        if (at >= units)
            return nullptr;
        at += 1 + size_t(static_cast<uint16_t>(p[at]));
    }
    if (at >= units)
        return nullptr;
    const uint32_t n = static_cast<uint16_t>(p[at]);
    if (n > units - at - 1)
        return nullptr;
    *count = n;
    return p + at + 1;
}

} // namespace

void LoadResourceString(QLXString& out, HINSTANCE instance, UINT id, bool substitute)
{
    out = QLXString();
    if (id == 0)
        return;
    uint32_t count = 0;
    const wchar_t* text = FindStringEntry(instance, id, &count);
    if (!text || count == 0)
        return;
    // Copied by count, so the entry is taken whole even with an embedded NUL.
    wchar_t* chars = out.PrepareBuffer(count);
    wmemcpy(chars, text, count);
    out.SetRepLength(count + 1);
    if (substitute)
        ApplyProductWords(out, instance);
}

QLXString LoadResourceString(HINSTANCE instance, UINT id, bool substitute)
{
    QLXString text;
    LoadResourceString(text, instance, id, substitute);
    return text;
}
