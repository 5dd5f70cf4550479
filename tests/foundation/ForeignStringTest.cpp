// Strings handed in by other modules: kind 9 is adopted in place, any other kind is
// read through the interface (2-byte text copied, 1-byte text converted with CP_ACP).

#include "foundation/QLXString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Minimal IQLXString whose answers the tests choose; counts what the handle does to it.
class FakeString : public IQLXString {
public:
    FakeString(LONG kind, ULONG bytesPerChar, const void* text, ULONG length)
        : kind_(kind), width_(bytesPerChar), length_(length)
    {
        std::memcpy(text_, text, (length + 1) * bytesPerChar);
    }

    int releases = 0;
    int getTextCalls = 0;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ++releases;
        return --refs;
    }
    HRESULT STDMETHODCALLTYPE SetText(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override
    {
        ++getTextCalls;
        *text = width_ == 2 ? SysAllocStringLen(reinterpret_cast<const wchar_t*>(text_), length_) : nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsEmpty(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLength(ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEqual(IQLXString*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsShared(VARIANT_BOOL*) override { return E_NOTIMPL; }
    LONG STDMETHODCALLTYPE GetKind() override { return kind_; }
    HRESULT STDMETHODCALLTYPE CopyChars(ULONG bytes, void* buffer) override
    {
        if (bytes < (length_ + 1) * width_)
            return E_FAIL;
        std::memcpy(buffer, text_, (length_ + 1) * width_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCharInfo(ULONG* length, ULONG* bytesPerChar) override
    {
        *length = length_;
        *bytesPerChar = width_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCapacity(ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateEmpty(ULONG, IQLXString**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVariant(VARIANT*) override { return E_NOTIMPL; }
    ULONG STDMETHODCALLTYPE Length() override { return length_; }
    void STDMETHODCALLTYPE Destroy() override {}
    LONG STDMETHODCALLTYPE Reserved() override { return 0; }
    const wchar_t* STDMETHODCALLTYPE Chars() override { return nullptr; }

private:
    LONG kind_;
    ULONG width_;
    ULONG length_;
    unsigned char text_[64];
};

// Another module's kind-9 representation: the same header, then the characters.
class ForeignRep : public IQLXString {
public:
    explicit ForeignRep(const wchar_t* text)
    {
        length = static_cast<uint32_t>(wcslen(text)) + 1;
        wmemcpy(chars, text, length);
    }

    char* narrow = nullptr;
    uint32_t narrowValid = 0;
    volatile LONG refs = 1;
    uint32_t capacity = 16;
    uint32_t length = 1;
    wchar_t chars[16] = {};

    static int destroyed;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs);
        if (left == 0)
            Destroy();
        return left;
    }
    HRESULT STDMETHODCALLTYPE SetText(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetText(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEmpty(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLength(ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEqual(IQLXString*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsShared(VARIANT_BOOL*) override { return E_NOTIMPL; }
    LONG STDMETHODCALLTYPE GetKind() override { return 9; }
    HRESULT STDMETHODCALLTYPE CopyChars(ULONG, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCharInfo(ULONG*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCapacity(ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateEmpty(ULONG, IQLXString**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVariant(VARIANT*) override { return E_NOTIMPL; }
    ULONG STDMETHODCALLTYPE Length() override { return length - 1; }
    void STDMETHODCALLTYPE Destroy() override
    {
        ++destroyed;
        if (narrow)
            HeapFree(GetProcessHeap(), 0, narrow);
        narrow = nullptr;
    }
    LONG STDMETHODCALLTYPE Reserved() override { return 0; }
    const wchar_t* STDMETHODCALLTYPE Chars() override { return chars; }
};

int ForeignRep::destroyed = 0;

static_assert(sizeof(ForeignRep) == sizeof(QLXStringHeader) + 16 * sizeof(wchar_t), "test double has the header");

} // namespace

TEST(ForeignKindNine, IsAdoptedInPlaceAndDestroyedOnceAtTheLastRelease)
{
    ForeignRep::destroyed = 0;
    ForeignRep foreign(L"host text");
    {
        QLXString s = QLXString::Attach(&foreign);
        EXPECT_EQ(foreign.chars, s.c_str());
        EXPECT_EQ(9u, s.Length());
        QLXString copy = s;
        EXPECT_EQ(2, foreign.refs);
        EXPECT_TRUE(copy == L"host text");
    }
    EXPECT_EQ(0, foreign.refs);
    EXPECT_EQ(1, ForeignRep::destroyed);
}

TEST(ForeignKindNine, IsWrittenInPlaceWhileUnshared)
{
    ForeignRep::destroyed = 0;
    ForeignRep foreign(L"abc");
    {
        QLXString s = QLXString::Attach(&foreign);
        s.Append(L"def");
        EXPECT_EQ(foreign.chars, s.c_str());
        EXPECT_STREQ(L"abcdef", foreign.chars);
        EXPECT_EQ(7u, foreign.length);
    }
    EXPECT_EQ(1, ForeignRep::destroyed);
}

// The other module's narrow buffer is freed only by its own Destroy (which the fake
// counts); we work on a copy, so the foreign representation dies at once.
TEST(ForeignKindNine, NarrowBufferOperationsCopyTheRepresentationFirst)
{
    ForeignRep::destroyed = 0;
    ForeignRep foreign(L"abc");
    const auto hostNarrow = [&foreign] {
        foreign.narrow = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, 4));
        std::memcpy(foreign.narrow, "old", 4);
        foreign.refs = 1;
    };
    hostNarrow();
    QLXString s = QLXString::Attach(&foreign);
    EXPECT_STREQ("abc", s.NarrowText());
    EXPECT_NE(foreign.chars, s.c_str());
    EXPECT_EQ(1, ForeignRep::destroyed);
    EXPECT_EQ(nullptr, foreign.narrow);

    hostNarrow();
    QLXString t = QLXString::Attach(&foreign);
    t.PrepareBuffer(2);
    EXPECT_NE(foreign.chars, t.c_str());
    EXPECT_EQ(2, ForeignRep::destroyed);
    EXPECT_EQ(nullptr, foreign.narrow);
}

TEST(ForeignKindNine, IsComparedWithoutAskingForItsText)
{
    ForeignRep foreign(L"same");
    QLXString local(L"same");
    VARIANT_BOOL equal = 0;
    EXPECT_EQ(S_OK, local.Rep()->IsEqual(&foreign, &equal));
    EXPECT_EQ(VARIANT_TRUE, equal);
}

TEST(ForeignOtherKind, WideTextIsCopiedAndAttachReleasesTheReference)
{
    const wchar_t text[] = L"wide";
    FakeString foreign(3, 2, text, 4);
    foreign.AddRef();
    QLXString kept(&foreign);
    EXPECT_STREQ(L"wide", kept.c_str());
    EXPECT_EQ(2, foreign.refs) << "copying does not consume the reference";
    QLXString attached = QLXString::Attach(&foreign);
    EXPECT_STREQ(L"wide", attached.c_str());
    EXPECT_NE(static_cast<const void*>(text), attached.c_str());
    EXPECT_EQ(1, foreign.refs);
    EXPECT_EQ(8u, attached.Capacity());
}

TEST(ForeignOtherKind, NarrowTextIsConvertedWithTheAnsiCodePage)
{
    const char text[] = "caf\xE9 \xC3\xA9";
    FakeString foreign(3, 1, text, sizeof text - 1);
    QLXString s(&foreign);
    wchar_t expected[16] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, expected, 16);
    ASSERT_NE(CP_UTF8, GetACP());
    EXPECT_STREQ(expected, s.c_str());
    EXPECT_EQ(wcslen(expected), s.Length());
}

TEST(ForeignOtherKind, IsEqualAsksForTheTextThroughTheInterface)
{
    const wchar_t text[] = L"same";
    FakeString foreign(3, 2, text, 4);
    QLXString local(L"same");
    VARIANT_BOOL equal = 0;
    EXPECT_EQ(S_OK, local.Rep()->IsEqual(&foreign, &equal));
    EXPECT_EQ(VARIANT_TRUE, equal);
    EXPECT_EQ(1, foreign.getTextCalls);
    QLXString longer(L"samex");
    EXPECT_EQ(S_OK, longer.Rep()->IsEqual(&foreign, &equal));
    EXPECT_EQ(VARIANT_FALSE, equal);
}

TEST(ForeignOtherKind, NullAndEmptyGiveTheSharedEmptyString)
{
    EXPECT_EQ(QLXString().Rep(), QLXString::Attach(nullptr).Rep());
    const wchar_t text[] = L"";
    FakeString empty(3, 2, text, 0);
    EXPECT_EQ(QLXString().Rep(), QLXString(&empty).Rep());
}
