#include "foundation/NumberFacets.h"

CRTBug_UserRadix_NoThousandsSep::CRTBug_UserRadix_NoThousandsSep(const char* localeName, wchar_t decimalPoint,
                                                                 wchar_t thousandsSep, std::size_t refs)
    : NoThousandsSep<wchar_t>(localeName, refs), decimalPoint_(decimalPoint), thousandsSep_(thousandsSep)
{
}

wchar_t CRTBug_UserRadix_NoThousandsSep::do_decimal_point() const
{
    return decimalPoint_;
}

wchar_t CRTBug_UserRadix_NoThousandsSep::do_thousands_sep() const
{
    return thousandsSep_;
}
