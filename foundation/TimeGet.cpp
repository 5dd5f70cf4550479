#include "foundation/TimeGet.h"

#include <windows.h>

#include <string>

namespace QLX {
namespace {

using Iter = std::istreambuf_iterator<wchar_t>;

// Years are kept as years since 1900; 0..34 mean 2000..2034.
constexpr long LatestYear = 2035;
constexpr long PivotYear = 35;
constexpr long LatestYearSince1900 = LatestYear - 1900;

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// Reads up to maxDigits decimal digits; false when there is no digit or the
// value is above maxValue.
bool ReadNumber(Iter& begin, const Iter& end, int maxDigits, long maxValue, long& value)
{
    long v = 0;
    int digits = 0;
    while (digits < maxDigits && begin != end && IsDigit(*begin)) {
        v = v * 10 + (*begin - L'0');
        ++begin;
        ++digits;
    }
    if (digits == 0 || v > maxValue)
        return false;
    value = v;
    return true;
}

bool ReadYear(Iter& begin, const Iter& end, int& yearSince1900)
{
    long v = 0;
    if (!ReadNumber(begin, end, 4, LatestYear, v))
        return false;
    if (v >= 1900)
        yearSince1900 = static_cast<int>(v - 1900);
    else if (v < PivotYear)
        yearSince1900 = static_cast<int>(v + 100);
    else if (v <= LatestYearSince1900)
        yearSince1900 = static_cast<int>(v);
    else
        return false;
    return true;
}

void SkipSpaces(Iter& begin, const Iter& end, const std::ctype<wchar_t>& ct)
{
    while (begin != end && ct.is(std::ctype_base::space, *begin))
        ++begin;
}

} // namespace

time_get::time_get(wchar_t dateSeparator, std::size_t refs)
    : std::time_get<wchar_t>(refs), dateSeparator_(dateSeparator)
{
}

std::time_base::dateorder time_get::do_date_order() const
{
    wchar_t format[80] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format, 80) <= 0)
        return mdy;
    // The first of each field letter outside quoted literals gives the order.
    std::string order;
    bool quoted = false;
    for (const wchar_t* p = format; *p; ++p) {
        if (*p == L'\'') {
            quoted = !quoted;
            continue;
        }
        const char field = quoted ? 0 : *p == L'd' ? 'd' : *p == L'M' ? 'm' : *p == L'y' ? 'y' : 0;
        if (field && order.find(field) == std::string::npos)
            order += field;
    }
    if (order == "dmy")
        return dmy;
    if (order == "ymd")
        return ymd;
    if (order == "ydm")
        return ydm;
    return mdy;
}

time_get::iter_type time_get::do_get_year(iter_type begin, iter_type end, std::ios_base&,
                                          std::ios_base::iostate& err, std::tm* t) const
{
    int year = 0;
    if (ReadYear(begin, end, year))
        t->tm_year = year;
    else
        err |= std::ios_base::failbit;
    if (begin == end)
        err |= std::ios_base::eofbit;
    return begin;
}

time_get::iter_type time_get::do_get_date(iter_type begin, iter_type end, std::ios_base& io,
                                          std::ios_base::iostate& err, std::tm* t) const
{
    const char* fields = "mdy";
    switch (date_order()) {
    case dmy: fields = "dmy"; break;
    case ymd: fields = "ymd"; break;
    case ydm: fields = "ydm"; break;
    default: break;
    }
    const auto& ct = std::use_facet<std::ctype<wchar_t>>(io.getloc());

    std::tm result = *t;
    bool ok = true;
    for (int i = 0; i < 3 && ok; ++i) {
        if (i > 0) {
            SkipSpaces(begin, end, ct);
            if (begin != end) {
                const wchar_t c = *begin;
                if (c == L':' || c == dateSeparator_ || c == L',' || c == L'/')
                    ++begin;
            }
            // "Jan 31, 2020": the separator may be followed by spaces as well.
            SkipSpaces(begin, end, ct);
        }
        if (begin == end) {
            ok = false;
            break;
        }
        if (!IsDigit(*begin)) {
            std::ios_base::iostate nameErr = std::ios_base::goodbit;
            begin = std::time_get<wchar_t>::do_get_monthname(begin, end, io, nameErr, &result);
            ok = !(nameErr & std::ios_base::failbit);
            continue;
        }
        long v = 0;
        switch (fields[i]) {
        case 'd':
            ok = ReadNumber(begin, end, 2, 31, v) && v >= 1;
            result.tm_mday = static_cast<int>(v);
            break;
        case 'm':
            ok = ReadNumber(begin, end, 2, 12, v) && v >= 1;
            result.tm_mon = static_cast<int>(v - 1);
            break;
        default:
            ok = ReadYear(begin, end, result.tm_year);
            break;
        }
    }
    if (ok)
        *t = result;
    else
        err |= std::ios_base::failbit;
    if (begin == end)
        err |= std::ios_base::eofbit;
    return begin;
}

time_get::iter_type time_get::do_get_time(iter_type begin, iter_type end, std::ios_base& io,
                                          std::ios_base::iostate& err, std::tm* t) const
{
    // Without a day of the month the time is an elapsed time: hours are unbounded.
    const bool timeOfDay = t->tm_mday != 0;
    const wchar_t decimalPoint = std::use_facet<std::numpunct<wchar_t>>(io.getloc()).decimal_point();

    long first = 0, second = 0, third = 0;
    bool ok = ReadNumber(begin, end, timeOfDay ? 2 : 9, timeOfDay ? 23 : 999999999L, first);
    ok = ok && begin != end && *begin == L':';
    if (ok) {
        ++begin;
        ok = ReadNumber(begin, end, 2, 59, second);
    }
    if (ok) {
        if (begin == end) {
            ok = first <= 23;
            third = 0;
        } else if (*begin == decimalPoint) {
            // Minutes and seconds with a fraction; the point is left for the caller.
            third = second;
            second = first;
            first = 0;
        } else if (*begin == L':') {
            ++begin;
            ok = ReadNumber(begin, end, 2, 59, third);
        } else {
            ok = false;
        }
    }
    if (ok) {
        t->tm_hour = static_cast<int>(first);
        t->tm_min = static_cast<int>(second);
        t->tm_sec = static_cast<int>(third);
    } else {
        err |= std::ios_base::failbit;
    }
    if (begin == end)
        err |= std::ios_base::eofbit;
    return begin;
}

} // namespace QLX
