#pragma once
// Numeric punctuation facets that keep the user's decimal character but never
// group digits, so numbers read back exactly as they were written.

#include <locale>
#include <string>

// Punctuation of a named locale with an empty grouping.
template <class CharT>
class NoThousandsSep : public std::numpunct_byname<CharT> {
public:
    // Throws std::runtime_error when the standard library does not know the name.
    explicit NoThousandsSep(const char* localeName, std::size_t refs = 0)
        : std::numpunct_byname<CharT>(localeName, refs)
    {
    }

protected:
    std::string do_grouping() const override { return std::string(); }
};

// Wide punctuation for a library that cannot build the user's own locale: the
// user's decimal and thousands characters on top of a locale the library knows.
class CRTBug_UserRadix_NoThousandsSep : public NoThousandsSep<wchar_t> {
public:
    CRTBug_UserRadix_NoThousandsSep(const char* localeName, wchar_t decimalPoint, wchar_t thousandsSep,
                                    std::size_t refs = 0);

protected:
    wchar_t do_decimal_point() const override;
    wchar_t do_thousands_sep() const override;

private:
    wchar_t decimalPoint_;
    wchar_t thousandsSep_;
};
