// Reading years, dates and times with the module's time facet, on a locale whose
// decimal point is a comma and whose date separator is a point.

#include "foundation/NumberFacets.h"
#include "foundation/TimeGet.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>

namespace {

using Iter = std::istreambuf_iterator<wchar_t>;

struct Reading {
    bool failed = false;
    bool atEnd = false;
    std::tm tm{};
    std::wstring rest;
};

class TimeGetReading : public testing::Test {
protected:
    enum class Field { Year, Date, Time };

    Reading Read(Field field, const wchar_t* text, int dayOfMonth = 0) const
    {
        std::wistringstream in(text);
        in.imbue(locale_);
        const auto& facet = std::use_facet<std::time_get<wchar_t>>(in.getloc());
        Reading r;
        r.tm.tm_mday = dayOfMonth;
        r.tm.tm_year = -1;
        std::ios_base::iostate err = std::ios_base::goodbit;
        Iter end;
        switch (field) {
        case Field::Year: end = facet.get_year(Iter(in), Iter(), in, err, &r.tm); break;
        case Field::Date: end = facet.get_date(Iter(in), Iter(), in, err, &r.tm); break;
        case Field::Time: end = facet.get_time(Iter(in), Iter(), in, err, &r.tm); break;
        }
        r.failed = (err & std::ios_base::failbit) != 0;
        r.atEnd = (err & std::ios_base::eofbit) != 0;
        r.rest.assign(end, Iter());
        return r;
    }

    int YearSince1900(const wchar_t* text) const
    {
        const Reading r = Read(Field::Year, text);
        return r.failed ? -999 : r.tm.tm_year;
    }

    std::locale locale_{std::locale(std::locale::classic(), new CRTBug_UserRadix_NoThousandsSep("C", L',', L'.')),
                        new QLX::time_getEx(L'.')};
};

TEST_F(TimeGetReading, TwoDigitYearsPivotAt35)
{
    EXPECT_EQ(134, YearSince1900(L"34"));
    EXPECT_EQ(100, YearSince1900(L"0"));
    EXPECT_EQ(35, YearSince1900(L"35"));
    EXPECT_EQ(99, YearSince1900(L"99"));
    EXPECT_EQ(135, YearSince1900(L"135"));
}

TEST_F(TimeGetReading, FullYearsEndAt2035)
{
    EXPECT_EQ(135, YearSince1900(L"2035"));
    EXPECT_EQ(0, YearSince1900(L"1900"));
    EXPECT_EQ(-999, YearSince1900(L"2036"));
    EXPECT_EQ(-999, YearSince1900(L"136"));
    EXPECT_EQ(-999, YearSince1900(L"1899"));
    EXPECT_EQ(-999, YearSince1900(L"x"));
}

TEST_F(TimeGetReading, YearReadsAtMostFourDigits)
{
    const Reading r = Read(Field::Year, L"20201");
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(120, r.tm.tm_year);
    EXPECT_EQ(L"1", r.rest);
}

TEST_F(TimeGetReading, DateFieldsInMonthDayYearOrder)
{
    const Reading r = Read(Field::Date, L"12.31.34");
    ASSERT_FALSE(r.failed);
    EXPECT_TRUE(r.atEnd);
    EXPECT_EQ(11, r.tm.tm_mon);
    EXPECT_EQ(31, r.tm.tm_mday);
    EXPECT_EQ(134, r.tm.tm_year);
}

// Sets the user's short date format for the whole system and puts it back; other test
// programs change regional settings too, under the same mutex.
class ShortDateFormat {
public:
    explicit ShortDateFormat(const wchar_t* format)
        : mutex_(CreateMutexW(nullptr, FALSE, L"VireoTest.UserRegionalSettings"))
    {
        WaitForSingleObject(mutex_, 60000);
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved_, 80);
        EXPECT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format));
    }
    ~ShortDateFormat()
    {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved_);
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }

private:
    HANDLE mutex_;
    wchar_t saved_[80] = {};
};

TEST_F(TimeGetReading, DateFieldsFollowTheUsersShortDateOrder)
{
    const struct {
        const wchar_t* format;
        const wchar_t* date;
    } cases[] = {{L"dd.MM.yyyy", L"31.12.2034"}, {L"yyyy-MM-dd", L"2034/12/31"}, {L"M/d/yy", L"12/31/34"}};
    for (const auto& c : cases) {
        ShortDateFormat format(c.format);
        const Reading r = Read(Field::Date, c.date);
        ASSERT_FALSE(r.failed) << c.format;
        EXPECT_EQ(11, r.tm.tm_mon) << c.format;
        EXPECT_EQ(31, r.tm.tm_mday) << c.format;
        EXPECT_EQ(134, r.tm.tm_year) << c.format;
    }
}

TEST_F(TimeGetReading, DateAcceptsEachSeparatorAndSpaces)
{
    for (const wchar_t* text : {L"1/2/2003", L"1:2:2003", L"1,2,2003", L"1.2.2003", L"1 2 2003", L"1 / 2 / 2003"}) {
        const Reading r = Read(Field::Date, text);
        ASSERT_FALSE(r.failed) << text;
        EXPECT_EQ(0, r.tm.tm_mon) << text;
        EXPECT_EQ(2, r.tm.tm_mday) << text;
        EXPECT_EQ(103, r.tm.tm_year) << text;
    }
}

TEST_F(TimeGetReading, DateMonthByName)
{
    const Reading r = Read(Field::Date, L"Feb 28, 2020");
    ASSERT_FALSE(r.failed);
    EXPECT_EQ(1, r.tm.tm_mon);
    EXPECT_EQ(28, r.tm.tm_mday);
    EXPECT_EQ(120, r.tm.tm_year);
}

TEST_F(TimeGetReading, DateOutOfRangeFieldsFailAndLeaveTheTargetAlone)
{
    for (const wchar_t* text : {L"13/1/20", L"0/1/20", L"1/32/20", L"1/0/20", L"1-2-20", L"1/2", L"1/2/2036"}) {
        const Reading r = Read(Field::Date, text, 7);
        EXPECT_TRUE(r.failed) << text;
        EXPECT_EQ(7, r.tm.tm_mday) << text;
        EXPECT_EQ(-1, r.tm.tm_year) << text;
    }
}

// A day of the month of 1 asks for a time of day, 0 for an elapsed time.
TEST_F(TimeGetReading, TimesGiveHoursMinutesAndSeconds)
{
    const struct {
        const wchar_t* text;
        int dayOfMonth;
        int hour, minute, second;
        const wchar_t* rest; // checked where given
    } cases[] = {
        {L"13:45:10", 1, 13, 45, 10, nullptr},
        {L"23:59", 1, 23, 59, 0, nullptr},    // hours and minutes only
        {L"30:15:05", 0, 30, 15, 5, nullptr}, // elapsed hours are unbounded
        {L"5:30,25", 0, 0, 5, 30, L",25"},    // the decimal point makes minutes and seconds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        const Reading r = Read(Field::Time, c.text, c.dayOfMonth);
        ASSERT_FALSE(r.failed);
        EXPECT_EQ(c.hour, r.tm.tm_hour);
        EXPECT_EQ(c.minute, r.tm.tm_min);
        EXPECT_EQ(c.second, r.tm.tm_sec);
        if (c.rest) {
            EXPECT_EQ(c.rest, r.rest);
        }
    }
}

TEST_F(TimeGetReading, TimeOfDayRefusesOutOfRangeFields)
{
    for (const wchar_t* text : {L"24:00", L"24:00:00", L"12:60", L"12:30:60", L"12-30", L"12:30x", L":30"})
        EXPECT_TRUE(Read(Field::Time, text, 1).failed) << text;
}

TEST_F(TimeGetReading, ElapsedHoursAndMinutesOnlyStayBelow24)
{
    EXPECT_TRUE(Read(Field::Time, L"25:10").failed);
    EXPECT_FALSE(Read(Field::Time, L"23:10").failed);
}

TEST_F(TimeGetReading, PointThatIsNotTheDecimalPointFails)
{
    EXPECT_TRUE(Read(Field::Time, L"5:30.25").failed);
}

} // namespace
