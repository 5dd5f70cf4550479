#pragma once
// Date and time reading facets for the module's global locale: times may be
// elapsed times, two-digit years pivot at 35, and the user's date separator is
// accepted between date fields.

#include <ctime>
#include <locale>

namespace QLX {

// Reads time, date and year the module's way; weekday and month names as the
// standard facet does.
class time_get : public std::time_get<wchar_t> {
public:
    // dateSeparator: the user's date separator, accepted between date fields.
    explicit time_get(wchar_t dateSeparator, std::size_t refs = 0);

protected:
    // The order of the user's short date format, read at each use; month, day, year
    // when the format gives none.
    dateorder do_date_order() const override;
    iter_type do_get_time(iter_type begin, iter_type end, std::ios_base& io, std::ios_base::iostate& err,
                          std::tm* t) const override;
    iter_type do_get_date(iter_type begin, iter_type end, std::ios_base& io, std::ios_base::iostate& err,
                          std::tm* t) const override;
    iter_type do_get_year(iter_type begin, iter_type end, std::ios_base& io, std::ios_base::iostate& err,
                          std::tm* t) const override;

private:
    wchar_t dateSeparator_;
};

// The type under which the facet is installed in the global locale.
class time_getEx : public time_get {
public:
    using time_get::time_get;
};

} // namespace QLX
