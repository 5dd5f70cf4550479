// The representation seen as IQLXString: the operation order is a binary contract,
// so the first test calls the operations by their position in the interface table.

#include "foundation/QLXString.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void** Table(IQLXString* rep)
{
    return *reinterpret_cast<void***>(rep);
}

template <typename Fn>
Fn Slot(IQLXString* rep, int index)
{
    return reinterpret_cast<Fn>(Table(rep)[index]);
}

const IID SomeOtherIid = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

} // namespace

TEST(IQLXStringTable, OperationsSitAtTheirFixedPositions)
{
    QLXString s(L"hello");
    s.Reserve(20);
    IQLXString* rep = s.Rep();

    using QueryFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, REFIID, void**);
    using CountFn = ULONG(STDMETHODCALLTYPE*)(IQLXString*);
    using BstrInFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, BSTR);
    using BstrOutFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, BSTR*);
    using BoolOutFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, VARIANT_BOOL*);
    using UlongOutFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, ULONG*);
    using EqualFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, IQLXString*, VARIANT_BOOL*);
    using KindFn = LONG(STDMETHODCALLTYPE*)(IQLXString*);
    using CopyFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, ULONG, void*);
    using InfoFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, ULONG*, ULONG*);
    using CreateFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, ULONG, IQLXString**);
    using VariantFn = HRESULT(STDMETHODCALLTYPE*)(IQLXString*, VARIANT*);
    using CharsFn = const wchar_t*(STDMETHODCALLTYPE*)(IQLXString*);

    void* unknown = nullptr;
    EXPECT_EQ(S_OK, Slot<QueryFn>(rep, 0)(rep, IID_IQLXString, &unknown));
    EXPECT_EQ(static_cast<void*>(rep), unknown);
    EXPECT_EQ(3u, Slot<CountFn>(rep, 1)(rep));
    EXPECT_EQ(2u, Slot<CountFn>(rep, 2)(rep));
    EXPECT_EQ(1u, Slot<CountFn>(rep, 2)(rep));

    BSTR text = nullptr;
    EXPECT_EQ(S_OK, Slot<BstrOutFn>(rep, 4)(rep, &text));
    EXPECT_STREQ(L"hello", text);
    SysFreeString(text);
    BSTR in = SysAllocString(L"world!");
    EXPECT_EQ(S_OK, Slot<BstrInFn>(rep, 3)(rep, in));
    SysFreeString(in);
    EXPECT_STREQ(L"world!", s.c_str());

    VARIANT_BOOL flag = 1;
    EXPECT_EQ(S_OK, Slot<BoolOutFn>(rep, 5)(rep, &flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    ULONG value = 0;
    EXPECT_EQ(S_OK, Slot<UlongOutFn>(rep, 6)(rep, &value));
    EXPECT_EQ(6u, value);
    EXPECT_EQ(S_OK, Slot<EqualFn>(rep, 7)(rep, rep, &flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ(S_OK, Slot<BoolOutFn>(rep, 8)(rep, &flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    EXPECT_EQ(9, Slot<KindFn>(rep, 9)(rep));

    wchar_t copy[7] = {};
    EXPECT_EQ(S_OK, Slot<CopyFn>(rep, 10)(rep, sizeof copy, copy));
    EXPECT_STREQ(L"world!", copy);
    ULONG length = 0, width = 0;
    EXPECT_EQ(S_OK, Slot<InfoFn>(rep, 11)(rep, &length, &width));
    EXPECT_EQ(6u, length);
    EXPECT_EQ(2u, width);
    EXPECT_EQ(S_OK, Slot<UlongOutFn>(rep, 12)(rep, &value));
    EXPECT_EQ(19u, value);

    IQLXString* fresh = nullptr;
    EXPECT_EQ(S_OK, Slot<CreateFn>(rep, 13)(rep, 30, &fresh));
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(31u, reinterpret_cast<QLXStringHeader*>(fresh)->capacity);
    EXPECT_EQ(1, reinterpret_cast<QLXStringHeader*>(fresh)->refs);

    VARIANT v;
    EXPECT_EQ(S_OK, Slot<VariantFn>(rep, 14)(rep, &v));
    EXPECT_EQ(VT_BSTR, v.vt);
    EXPECT_STREQ(L"world!", v.bstrVal);
    VariantClear(&v);
    EXPECT_EQ(6u, Slot<CountFn>(rep, 15)(rep));
    EXPECT_EQ(0, Slot<KindFn>(rep, 17)(rep));
    EXPECT_EQ(s.c_str(), Slot<CharsFn>(rep, 18)(rep));

    const long live = QLXString::LiveRepresentations();
    Slot<void(STDMETHODCALLTYPE*)(IQLXString*)>(fresh, 16)(fresh);
    EXPECT_EQ(live - 1, QLXString::LiveRepresentations());
}

TEST(IQLXStringQuery, AnswersUnknownAndBothStringInterfacesOnly)
{
    QLXString s(L"x");
    IQLXString* rep = s.Rep();
    for (const IID* iid : {&IID_IUnknown, &IID_IAutoQLXString, &IID_IQLXString}) {
        void* out = nullptr;
        EXPECT_EQ(S_OK, rep->QueryInterface(*iid, &out));
        EXPECT_EQ(static_cast<void*>(rep), out);
        rep->Release();
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, rep->QueryInterface(SomeOtherIid, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(1, reinterpret_cast<QLXStringHeader*>(rep)->refs);
}

TEST(IQLXStringSetText, RefusedWhileSharedAndTextStaysUnchanged)
{
    QLXString a(L"original");
    QLXString b = a;
    BSTR in = SysAllocString(L"x");
    EXPECT_EQ(E_FAIL, a.Rep()->SetText(in));
    EXPECT_STREQ(L"original", a.c_str());
    EXPECT_EQ(E_FAIL, QLXString().Rep()->SetText(in));
    SysFreeString(in);
}

TEST(IQLXStringSetText, NeedsRoomBelowTheCapacity)
{
    QLXString s(L"abc"); // capacity 8
    BSTR seven = SysAllocString(L"1234567");
    BSTR eight = SysAllocString(L"12345678");
    EXPECT_EQ(S_OK, s.Rep()->SetText(seven));
    EXPECT_STREQ(L"1234567", s.c_str());
    EXPECT_EQ(8u, s.RepLength());
    EXPECT_EQ(E_FAIL, s.Rep()->SetText(eight));
    EXPECT_STREQ(L"1234567", s.c_str());
    EXPECT_EQ(S_OK, s.Rep()->SetText(nullptr));
    EXPECT_EQ(1u, s.RepLength());
    SysFreeString(seven);
    SysFreeString(eight);
}

TEST(IQLXStringGetText, ReplacesAnEarlierStringAndLeavesNullForEmpty)
{
    BSTR text = SysAllocString(L"stale");
    EXPECT_EQ(S_OK, QLXString(L"fresh").Rep()->GetText(&text));
    EXPECT_STREQ(L"fresh", text);
    EXPECT_EQ(5u, SysStringLen(text));
    EXPECT_EQ(S_OK, QLXString().Rep()->GetText(&text));
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ(E_FAIL, QLXString().Rep()->GetText(nullptr));
}

TEST(IQLXStringEmpty, SharedEmptyReportsZeroLengthAndEmpty)
{
    QLXString s;
    ULONG length = 5;
    VARIANT_BOOL empty = 0;
    EXPECT_EQ(S_OK, s.Rep()->GetLength(&length));
    EXPECT_EQ(0u, length);
    EXPECT_EQ(S_OK, s.Rep()->IsEmpty(&empty));
    EXPECT_EQ(VARIANT_TRUE, empty);
    EXPECT_EQ(S_OK, s.Rep()->IsShared(&empty));
    EXPECT_EQ(VARIANT_TRUE, empty);
    ULONG capacity = 0;
    EXPECT_EQ(S_OK, s.Rep()->GetCapacity(&capacity));
    EXPECT_EQ(8u, capacity);
    VARIANT v;
    EXPECT_EQ(S_OK, s.Rep()->GetVariant(&v));
    EXPECT_EQ(VT_BSTR, v.vt);
    EXPECT_EQ(nullptr, v.bstrVal);
}

TEST(IQLXStringCopyChars, NeedsRoomForTheTerminator)
{
    QLXString s(L"abcd");
    wchar_t buffer[5];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(E_FAIL, s.Rep()->CopyChars(sizeof buffer - 1, buffer));
    EXPECT_EQ(0x5555, buffer[0]);
    EXPECT_EQ(S_OK, s.Rep()->CopyChars(sizeof buffer, buffer));
    EXPECT_STREQ(L"abcd", buffer);
}

TEST(IQLXStringCreateEmpty, HasRoomForCountAndAtLeastEight)
{
    IQLXString* made = nullptr;
    ASSERT_EQ(S_OK, QLXString().Rep()->CreateEmpty(2, &made));
    EXPECT_EQ(8u, reinterpret_cast<QLXStringHeader*>(made)->capacity);
    EXPECT_EQ(1u, reinterpret_cast<QLXStringHeader*>(made)->length);
    EXPECT_EQ(0u, made->Release());
    EXPECT_EQ(E_POINTER, QLXString().Rep()->CreateEmpty(2, nullptr));
}

TEST(IQLXStringEqual, ComparesOwnKindDirectly)
{
    QLXString a(L"same");
    QLXString b(L"same");
    QLXString c(L"other");
    VARIANT_BOOL equal = 0;
    EXPECT_EQ(S_OK, a.Rep()->IsEqual(b.Rep(), &equal));
    EXPECT_EQ(VARIANT_TRUE, equal);
    EXPECT_EQ(S_OK, a.Rep()->IsEqual(c.Rep(), &equal));
    EXPECT_EQ(VARIANT_FALSE, equal);
    EXPECT_EQ(S_OK, QLXString().Rep()->IsEqual(QLXString(L"", 0).Rep(), &equal));
    EXPECT_EQ(VARIANT_TRUE, equal);
}

TEST(IQLXStringLifetime, LastReleaseDestroysTheRepresentation)
{
    const long live = QLXString::LiveRepresentations();
    IQLXString* rep = nullptr;
    {
        QLXString s(L"handed out");
        rep = s.GetInterface();
        EXPECT_EQ(live + 1, QLXString::LiveRepresentations());
    }
    EXPECT_EQ(live + 1, QLXString::LiveRepresentations());
    QLXString back = QLXString::Attach(rep);
    EXPECT_STREQ(L"handed out", back.c_str());
    EXPECT_EQ(1, reinterpret_cast<QLXStringHeader*>(back.Rep())->refs);
    back = QLXString();
    EXPECT_EQ(live, QLXString::LiveRepresentations());
}
