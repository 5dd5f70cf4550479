// The string handle: sharing, copy-on-write, capacities and growth, code pages.

#include "foundation/QLXString.h"

#include "support/LeakCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The shared empty representation is made here, before any test counts representations.
const bool registered = [] {
    QLXString touch;
    VireoTest::RegisterLiveCounter("string representations", [] { return QLXString::LiveRepresentations(); });
    return true;
}();

LONG Refs(const QLXString& s)
{
    return reinterpret_cast<const QLXStringHeader*>(s.Rep())->refs;
}

std::string InCodePage(const wchar_t* text, UINT codePage)
{
    char buffer[64] = {};
    WideCharToMultiByte(codePage, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

std::wstring FromCodePage(const char* text, UINT codePage)
{
    wchar_t buffer[64] = {};
    MultiByteToWideChar(codePage, 0, text, -1, buffer, 64);
    return buffer;
}

} // namespace

TEST(QLXStringEmpty, DefaultIsTheSharedEmptyRepresentation)
{
    QLXString a;
    QLXString b(L"");
    QLXString c(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(a.Rep(), b.Rep());
    EXPECT_EQ(a.Rep(), c.Rep());
    EXPECT_EQ(0u, a.Length());
    EXPECT_EQ(1u, a.RepLength());
    EXPECT_EQ(9u, a.Capacity());
    EXPECT_STREQ(L"", a.c_str());
}

TEST(QLXStringEmpty, StaticHoldsItsOwnReference)
{
    QLXString a;
    const LONG before = Refs(a);
    {
        QLXString b;
        EXPECT_EQ(before + 1, Refs(a));
    }
    EXPECT_EQ(before, Refs(a));
    EXPECT_GE(before, 2); // the static plus this handle
}

TEST(QLXStringConstruction, CapacityIsAtLeastEightAndFitsTheText)
{
    QLXString shortText(L"abc");
    EXPECT_EQ(8u, shortText.Capacity());
    EXPECT_EQ(4u, shortText.RepLength());
    QLXString longer(L"0123456789");
    EXPECT_EQ(11u, longer.Capacity());
    EXPECT_EQ(10u, longer.Length());
    EXPECT_EQ(1, Refs(longer));
}

TEST(QLXStringConstruction, CountedTextStopsAtCountOrFirstNul)
{
    EXPECT_EQ(QLXString(L"abc"), QLXString(L"abcdef", 3));
    const wchar_t withNul[] = {L'a', L'b', L'\0', L'c'};
    EXPECT_EQ(QLXString(L"ab"), QLXString(withNul, 4));
    QLXString none(L"abc", 0);
    EXPECT_EQ(QLXString().Rep(), none.Rep());
}

TEST(QLXStringConstruction, NegativeCountThrowsSizeTooBig)
{
    try {
        QLXString s(L"abc", -1);
        FAIL() << "no exception";
    } catch (const xmsg& e) {
        EXPECT_STREQ("QLX::String size too big", e.what());
    }
}

TEST(QLXStringConstruction, FromNarrowUsesAnsiForSelectorOneAndUtf8Otherwise)
{
    ASSERT_NE(CP_UTF8, GetACP()) << "the check needs an ANSI code page that is not UTF-8";
    const char* bytes = "caf\xC3\xA9";
    QLXString ansi = QLXString::FromNarrow(bytes, 1);
    QLXString utf8 = QLXString::FromNarrow(bytes, 0);
    EXPECT_EQ(FromCodePage(bytes, CP_ACP), std::wstring(ansi.c_str()));
    EXPECT_STREQ(L"caf\u00E9", utf8.c_str());
    EXPECT_EQ(8u, utf8.Capacity());
    EXPECT_EQ(QLXString().Rep(), QLXString::FromNarrow("", 1).Rep());
    EXPECT_EQ(QLXString().Rep(), QLXString::FromNarrow(nullptr, 0).Rep());
}

TEST(QLXStringSharing, CopiesShareUntilOneIsModified)
{
    QLXString a(L"shared");
    QLXString b = a;
    EXPECT_EQ(a.Rep(), b.Rep());
    EXPECT_EQ(2, Refs(a));
    b.Append(L"!");
    EXPECT_NE(a.Rep(), b.Rep());
    EXPECT_STREQ(L"shared", a.c_str());
    EXPECT_STREQ(L"shared!", b.c_str());
    EXPECT_EQ(1, Refs(a));
    EXPECT_EQ(1, Refs(b));
}

TEST(QLXStringSharing, SelfAssignmentAndSelfAppendAreSafe)
{
    QLXString a(L"ab");
    QLXString& alias = a;
    a = alias;
    EXPECT_EQ(1, Refs(a));
    EXPECT_STREQ(L"ab", a.c_str());
    a.Append(a);
    EXPECT_STREQ(L"abab", a.c_str());
    a.Replace(1, 2, a);
    EXPECT_STREQ(L"aababb", a.c_str());
}

TEST(QLXStringSharing, AppendingItsOwnCharactersSurvivesGrowth)
{
    QLXString a(L"abcdefg"); // full: the append must grow
    ASSERT_EQ(8u, a.Capacity());
    a.Append(a.c_str() + 4);
    EXPECT_STREQ(L"abcdefgefg", a.c_str());
    a.Append(L'!');
    EXPECT_STREQ(L"abcdefgefg!", a.c_str());
}

TEST(QLXStringSharing, MoveLeavesTheSourceEmpty)
{
    QLXString a(L"moved");
    QLXString b(std::move(a));
    EXPECT_STREQ(L"moved", b.c_str());
    EXPECT_TRUE(a.IsEmpty());
    a = std::move(b);
    EXPECT_STREQ(L"moved", a.c_str());
}

TEST(QLXStringSharing, MakeUniqueCopiesWithTheOldCapacity)
{
    QLXString a(L"0123456789");
    a.Reserve(30);
    QLXString b = a;
    b.MakeUnique();
    EXPECT_NE(a.Rep(), b.Rep());
    EXPECT_EQ(30u, b.Capacity());
    EXPECT_EQ(a, b);
    const IQLXString* rep = b.Rep();
    b.MakeUnique();
    EXPECT_EQ(rep, b.Rep());
}

TEST(QLXStringGrowth, AppendToSharedEmptyTakesItsCapacityNine)
{
    QLXString s;
    s.Append(L"abc");
    EXPECT_EQ(4u, s.RepLength());
    EXPECT_EQ(9u, s.Capacity());
    EXPECT_STREQ(L"", QLXString().c_str());
}

TEST(QLXStringGrowth, AppendBeyondCapacityReservesHalfAgainTheNeededLength)
{
    QLXString s;
    s.Append(L"abc");
    s.Append(L"0123456789");
    EXPECT_EQ(14u, s.RepLength());
    EXPECT_EQ(21u, s.Capacity());
    EXPECT_STREQ(L"abc0123456789", s.c_str());
    const IQLXString* rep = s.Rep();
    s.Append(L'x');
    EXPECT_EQ(rep, s.Rep()) << "room left: no new representation";
}

TEST(QLXStringGrowth, ReserveKeepsTheTextAndIgnoresAnUnchangedCapacity)
{
    QLXString s(L"abc");
    const IQLXString* rep = s.Rep();
    s.Reserve(8);
    EXPECT_EQ(rep, s.Rep());
    s.Reserve(3); // never below eight
    EXPECT_EQ(8u, s.Capacity());
    s.Reserve(100);
    EXPECT_EQ(100u, s.Capacity());
    EXPECT_STREQ(L"abc", s.c_str());
    QLXString other = s;
    s.Reserve(100); // a shared string gets its own copy even at the same capacity
    EXPECT_NE(other.Rep(), s.Rep());
}

TEST(QLXStringReplace, ReplacesInsideAndAppendsAtTheEnd)
{
    QLXString s(L"Hello World");
    s.Replace(6, 5, QLXString(L"There"));
    EXPECT_STREQ(L"Hello There", s.c_str());
    s.Replace(0, 5, QLXString(L"Hi"));
    EXPECT_STREQ(L"Hi There", s.c_str());
    s.Replace(s.Length(), 0, QLXString(L"!"));
    EXPECT_STREQ(L"Hi There!", s.c_str());
    s.Replace(2, 100, QLXString());
    EXPECT_STREQ(L"Hi", s.c_str());
    EXPECT_EQ(3u, s.RepLength());
}

TEST(QLXStringReplace, ShortCapacityGrowsToExactlyTheNeededLength)
{
    QLXString s(L"abc");
    s.Replace(1, 1, QLXString(L"0123456789"));
    EXPECT_STREQ(L"a0123456789c", s.c_str());
    EXPECT_EQ(13u, s.Capacity());
}

TEST(QLXStringReplace, LeavesOtherHoldersUntouched)
{
    QLXString a(L"one two");
    QLXString b = a;
    b.Replace(0, 3, QLXString(L"1"));
    EXPECT_STREQ(L"one two", a.c_str());
    EXPECT_STREQ(L"1 two", b.c_str());
}

TEST(QLXStringFind, FindsFromAStartPosition)
{
    QLXString s(L"abcabc");
    EXPECT_EQ(0, s.Find(QLXString(L"abc")));
    EXPECT_EQ(3, s.Find(QLXString(L"abc"), 1));
    EXPECT_EQ(-1, s.Find(QLXString(L"abc"), 4));
    EXPECT_EQ(-1, s.Find(QLXString(L"x")));
    EXPECT_EQ(-1, s.Find(QLXString(L"abc"), 100));
}

TEST(QLXStringBuffer, PrepareBufferReusesAPrivateRepresentationWithRoom)
{
    QLXString s(L"0123456789");
    const IQLXString* rep = s.Rep();
    wchar_t* buffer = s.PrepareBuffer(5);
    EXPECT_EQ(rep, s.Rep());
    EXPECT_EQ(0u, s.Length());
    wcscpy(buffer, L"hi");
    s.ReleaseBuffer();
    EXPECT_STREQ(L"hi", s.c_str());
    EXPECT_EQ(3u, s.RepLength());
}

TEST(QLXStringBuffer, PrepareBufferOnASharedStringLeavesTheOtherHolder)
{
    QLXString a(L"keep me");
    QLXString b = a;
    wchar_t* buffer = b.PrepareBuffer(20);
    EXPECT_EQ(21u, b.Capacity());
    EXPECT_EQ(L'\0', buffer[20]);
    wcscpy(buffer, L"new");
    b.ReleaseBuffer();
    EXPECT_STREQ(L"keep me", a.c_str());
    EXPECT_STREQ(L"new", b.c_str());
}

TEST(QLXStringBuffer, ReleaseBufferIsLimitedToTheCapacity)
{
    QLXString s;
    wchar_t* buffer = s.PrepareBuffer(7);
    ASSERT_EQ(8u, s.Capacity());
    for (int i = 0; i < 8; ++i)
        buffer[i] = L'x';
    s.ReleaseBuffer();
    EXPECT_EQ(8u, s.RepLength());
    EXPECT_STREQ(L"xxxxxxx", s.c_str());
}

TEST(QLXStringBuffer, FreshBufferIsANewEmptyRepresentation)
{
    QLXString a(L"text");
    QLXString b = a;
    b.FreshBuffer(3);
    EXPECT_EQ(8u, b.Capacity());
    EXPECT_TRUE(b.IsEmpty());
    b.FreshBuffer(40);
    EXPECT_EQ(40u, b.Capacity());
    EXPECT_STREQ(L"text", a.c_str());
}

TEST(QLXStringNarrow, UsesTheThreadAnsiCodePage)
{
    const wchar_t* text = L"Gr\u00FC\u00DFe";
    QLXString s(text);
    const std::string expected = InCodePage(text, CP_THREAD_ACP);
    ASSERT_NE(InCodePage(text, CP_UTF8), expected) << "the check needs a thread code page that is not UTF-8";
    EXPECT_EQ(expected, std::string(s.NarrowText()));
    EXPECT_EQ(1u, reinterpret_cast<const QLXStringHeader*>(s.Rep())->narrowValid);
    s.Append(L"!");
    EXPECT_EQ(0u, reinterpret_cast<const QLXStringHeader*>(s.Rep())->narrowValid);
    EXPECT_EQ(expected + "!", std::string(s.NarrowText()));
}

TEST(QLXStringNarrow, OnASharedStringMakesItPrivateFirst)
{
    QLXString a(L"abc");
    QLXString b = a;
    EXPECT_STREQ("abc", b.NarrowText());
    EXPECT_NE(a.Rep(), b.Rep());
    EXPECT_EQ(nullptr, reinterpret_cast<const QLXStringHeader*>(a.Rep())->narrow);
    EXPECT_STREQ("", QLXString().NarrowText());
}

TEST(QLXStringCompare, ComparesTextNotIdentity)
{
    EXPECT_EQ(QLXString(L"abc"), QLXString(L"abc"));
    EXPECT_NE(QLXString(L"abc"), QLXString(L"abd"));
    EXPECT_NE(QLXString(L"abc"), QLXString(L"ab"));
    EXPECT_TRUE(QLXString(L"abc") == L"abc");
    EXPECT_TRUE(QLXString() == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(QLXString(L"abc") != L"abcd");
}
