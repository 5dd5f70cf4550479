// Numeric punctuation without digit grouping.

#include "foundation/NumberFacets.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <locale>
#include <sstream>

namespace {

std::locale UserRadixLocale(wchar_t decimalPoint, wchar_t thousandsSep)
{
    return std::locale(std::locale::classic(),
                       new CRTBug_UserRadix_NoThousandsSep("C", decimalPoint, thousandsSep));
}

TEST(NoThousandsSep, NarrowAndWideKeepTheNamedLocalesPunctuation)
{
    std::locale wide(std::locale::classic(), new NoThousandsSep<wchar_t>("C"));
    std::locale both(wide, new NoThousandsSep<char>("C"));
    EXPECT_EQ(L'.', std::use_facet<std::numpunct<wchar_t>>(both).decimal_point());
    EXPECT_EQ('.', std::use_facet<std::numpunct<char>>(both).decimal_point());
    EXPECT_EQ(L"true", std::use_facet<std::numpunct<wchar_t>>(both).truename());
    EXPECT_TRUE(std::use_facet<std::numpunct<char>>(both).grouping().empty());
}

TEST(CRTBug_UserRadix_NoThousandsSep, WritesCommaDecimalWithoutGrouping)
{
    std::wostringstream out;
    out.imbue(UserRadixLocale(L',', L'.'));
    out << 12.5 << L' ' << 1000000 << L' ' << std::fixed << std::setprecision(2) << 1234567.25;
    EXPECT_EQ(L"12,5 1000000 1234567,25", out.str());
}

TEST(CRTBug_UserRadix_NoThousandsSep, ReportsTheUsersCharacters)
{
    const std::locale loc = UserRadixLocale(L',', L'\x00A0');
    const auto& punct = std::use_facet<std::numpunct<wchar_t>>(loc);
    EXPECT_EQ(L',', punct.decimal_point());
    EXPECT_EQ(L'\x00A0', punct.thousands_sep());
    EXPECT_TRUE(punct.grouping().empty());
}

TEST(CRTBug_UserRadix_NoThousandsSep, ReadsWhatItWrites)
{
    std::wistringstream in(L"12,5 1.5");
    in.imbue(UserRadixLocale(L',', L'.'));
    double value = 0;
    in >> value;
    EXPECT_DOUBLE_EQ(12.5, value);
    // The thousands character is not taken as part of a number.
    in >> value;
    EXPECT_DOUBLE_EQ(1.0, value);
}

} // namespace
