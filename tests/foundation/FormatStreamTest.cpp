// Format streams: placeholders %1..%20 filled from inserted values, emitted once the
// highest placeholder's value has arrived; malformed placeholders stay plain text.

#include "foundation/StringStreams.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <string>

using QLX::OFormatStream;
using QLX::OFormatStringStream;

namespace {

// Formats with the given values, inserted one by one.
template <typename... Values>
std::wstring Format(const wchar_t* format, const Values&... values)
{
    OFormatStringStream stream{QLXString(format)};
    (void)std::initializer_list<int>{((void)(stream << values), 0)...};
    return stream.TakeString().c_str();
}

} // namespace

TEST(OFormatStream, FillsPlaceholdersInArgumentOrder)
{
    EXPECT_EQ(L"Value 5 of 7", Format(L"Value %1 of %2", 5, 7));
    EXPECT_EQ(L"b then a", Format(L"%2 then %1", L"a", L"b"));
    EXPECT_EQ(L"Analog Output 3", Format(L"Analog Output %1", 3));
}

TEST(OFormatStream, MissingValuesLeaveTheTextEmpty)
{
    EXPECT_EQ(L"", Format(L"Value %1 of %2", 5));
    EXPECT_EQ(L"", Format(L"Value %1 of %2"));
}

TEST(OFormatStream, RepeatedPlaceholderFillsOnlyItsLastOccurrence)
{
    EXPECT_EQ(L" and x", Format(L"%1 and %1", L"x"));
}

TEST(OFormatStream, ValuesBeyondTheHighestPlaceholderAreIgnored)
{
    EXPECT_EQ(L"first", Format(L"%1", L"first", L"second", L"third"));
}

TEST(OFormatStream, ArgumentsMissingFromTheFormatAreConsumed)
{
    EXPECT_EQ(L"[b]", Format(L"[%2]", L"a", L"b"));
}

TEST(OFormatStream, DoubledPercentCollapsesOnlyWhenThereArePlaceholders)
{
    EXPECT_EQ(L"100% of 3", Format(L"100%% of %1", 3));
    EXPECT_EQ(L"100%%", Format(L"100%%", 3));
    EXPECT_EQ(L"3 is 50%", Format(L"%1 is 50%%", 3));
}

TEST(OFormatStream, DoubledPercentLeavesTheOtherPercentSignsOfItsStretchAlone)
{
    EXPECT_EQ(L"50% of %0: 7", Format(L"50%% of %0: %1", 7));
    EXPECT_EQ(L"%x %% 1", Format(L"%x %%%% %1", 1));
}

TEST(OFormatStream, BackslashEndsThePlaceholder)
{
    EXPECT_EQ(L"52", Format(L"%1\\2", 5));
    EXPECT_EQ(L"50", Format(L"%1\\0", 5));
}

TEST(OFormatStream, ZeroOrMissingNumberIsPlainText)
{
    EXPECT_EQ(L"%0 %x", Format(L"%0 %x", 1, 2));
    EXPECT_EQ(L"%0 1 %", Format(L"%0 %1 %", 1));
}

TEST(OFormatStream, FormattingStatePersistsAcrossValues)
{
    OFormatStringStream stream{QLXString(L"%1 %2 %3")};
    stream << std::hex << 255 << 16 << std::setw(4) << std::setfill(L'0') << 7;
    EXPECT_STREQ(L"ff 10 0007", stream.TakeString().c_str());
}

TEST(OFormatStream, ValuesOfAnyLengthAreCopiedWhole)
{
    const std::wstring longValue(300, L'v');
    EXPECT_EQ(L"<" + longValue + L"|" + longValue + L">", Format(L"<%1|%2>", longValue.c_str(), longValue.c_str()));
}

TEST(OFormatStream, WritesIntoAnyTargetBuffer)
{
    QLX::OStringStream target;
    target << L"prefix: ";
    {
        OFormatStream stream(QLXString(L"%1+%2"), target.rdbuf());
        stream << 1 << QLXString(L"two");
    }
    EXPECT_STREQ(L"prefix: 1+two", target.TakeString().c_str());
}

TEST(OFormatStream, FormatWithoutPlaceholdersIsWrittenAtOnce)
{
    QLX::OStringStream target;
    OFormatStream stream(QLXString(L"as is"), target.rdbuf());
    EXPECT_STREQ(L"as is", target.TakeString().c_str());
}

TEST(OFormatStreamBadInput, PlaceholderAboveTwentyIsPlainText)
{
    EXPECT_EQ(L"a %21 b", Format(L"%1 %21 %2", L"a", L"b"));
    EXPECT_EQ(L"%99999999999999999999", Format(L"%99999999999999999999", 1));
}

TEST(OFormatStreamBadInput, NegativeNumberIsPlainText)
{
    EXPECT_EQ(L"%-1 x", Format(L"%-1 %1", L"x"));
    EXPECT_EQ(L"%-0", Format(L"%-0", L"x"));
}

TEST(OFormatStreamBadInput, PlaceholdersAfterTheTwentiethArePlainText)
{
    std::wstring format;
    for (int i = 1; i <= 20; ++i)
        format += L"%" + std::to_wstring(i) + L"\\,";
    format += L"%1 %20";
    OFormatStringStream stream{QLXString(format.c_str())};
    for (int i = 1; i <= 20; ++i)
        stream << i;
    std::wstring expected;
    for (int i = 1; i <= 20; ++i)
        expected += std::to_wstring(i) + L',';
    expected += L"%1 %20";
    EXPECT_EQ(expected, std::wstring(stream.TakeString().c_str()));
}
