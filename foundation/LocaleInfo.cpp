#include "foundation/LocaleInfo.h"

#include "foundation/NumberFacets.h"
#include "foundation/StringStreams.h"
#include "foundation/TimeGet.h"

#include <array>
#include <atomic>
#include <clocale>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// String resources of the host application.
constexpr UINT IDS_HOST_REGIONAL_CAPTION = 20007;
constexpr UINT IDS_HOST_REGIONAL_READ_FAILED = 20008;
constexpr UINT IDS_HOST_DATE_SEP_IS_DECIMAL = 20009;
constexpr UINT IDS_HOST_LIST_SEP_IS_DECIMAL = 20010;
constexpr UINT IDS_HOST_ODD_DECIMAL_SEP = 20011;
constexpr UINT IDS_HOST_NUMERIC_CATEGORY_FIRST = 20012; // six texts, one per C runtime code below
constexpr UINT IDS_HOST_NUMERIC_CATEGORY_OTHER = 20018;

// Codes the C runtime leaves as last error when it cannot set a category.
constexpr DWORD FirstCrtLocaleError = 0x20000101;
constexpr DWORD LastCrtLocaleError = 0x20000106;

// The C runtime name used when the standard library cannot build the user's locale.
constexpr const char* FallbackCrtLocale = "English";

template <UINT Id>
const QLXString& HostString()
{
    static const QLXString text = LoadResourceString(GetModuleHandleW(nullptr), Id, true);
    return text;
}

const std::array<QLXString, 6>& NumericCategoryTexts()
{
    static const std::array<QLXString, 6> texts = [] {
        std::array<QLXString, 6> loaded;
        for (UINT i = 0; i < loaded.size(); ++i)
            loaded[i] = LoadResourceString(GetModuleHandleW(nullptr), IDS_HOST_NUMERIC_CATEGORY_FIRST + i, true);
        return loaded;
    }();
    return texts;
}

bool ReadText(LCTYPE type, wchar_t* buffer, int count)
{
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, count) > 0;
}

bool ReadNumber(LCTYPE type, DWORD& value)
{
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&value),
                          sizeof(value) / sizeof(wchar_t)) > 0;
}

bool ReadFormat(LCTYPE type, QLXString& format)
{
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (length < 1)
        return false;
    wchar_t* buffer = format.PrepareBuffer(static_cast<unsigned>(length));
    const int read = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, length + 1);
    format.ReleaseBuffer();
    return read > 0;
}

void ShowMessage(const QLXString& text)
{
    MessageBoxW(nullptr, text.c_str(), HostString<IDS_HOST_REGIONAL_CAPTION>().c_str(), MB_TASKMODAL);
}

// The user's punctuation on the first of these locales the standard library knows.
std::locale BuildFallbackLocale(wchar_t decimalPoint, wchar_t thousandsSep, wchar_t dateSeparator)
{
    try {
        std::unique_ptr<CRTBug_UserRadix_NoThousandsSep> numbers(
            new CRTBug_UserRadix_NoThousandsSep(FallbackCrtLocale, decimalPoint, thousandsSep));
        std::unique_ptr<QLX::time_getEx> times(new QLX::time_getEx(dateSeparator));
        const std::locale base(FallbackCrtLocale);
        return std::locale(std::locale(base, numbers.release()), times.release());
    } catch (const std::runtime_error&) {
    }
    // A library that knows no named locale at all still has the classic one.
    std::unique_ptr<CRTBug_UserRadix_NoThousandsSep> numbers(
        new CRTBug_UserRadix_NoThousandsSep("C", decimalPoint, thousandsSep));
    std::unique_ptr<QLX::time_getEx> times(new QLX::time_getEx(dateSeparator));
    return std::locale(std::locale(std::locale::classic(), numbers.release()), times.release());
}

} // namespace

const LocaleInfo& LocaleInfo::Get()
{
    static const LocaleInfo info;
    info.TellUserOnce();
    return info;
}

void LocaleInfo::TellUserOnce() const
{
    static std::atomic<bool> told{false};
    if (pendingMessage_.IsEmpty() || told.exchange(true))
        return;
    ShowMessage(pendingMessage_);
}

LocaleInfo::LocaleInfo()
{
    if (!ReadSettings()) {
        pendingMessage_ = HostString<IDS_HOST_REGIONAL_READ_FAILED>();
        return;
    }
    // A program that chose its own numeric locale keeps it.
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    if (!numeric || std::strcmp(numeric, "C") != 0)
        return;

    const char* crtName = InstallGlobalLocale();
    QLXString message = CheckSeparators();
    if (!std::setlocale(LC_NUMERIC, crtName))
        message = NumericCategoryFailureText(GetLastError());
    pendingMessage_ = message;
}

bool LocaleInfo::ReadSettings()
{
    bool ok = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimalA_, sizeof(decimalA_)) > 0;
    ok = ReadText(LOCALE_SDECIMAL, decimal_, 8) && ok;
    ok = ReadText(LOCALE_STHOUSAND, thousands_, 8) && ok;
    ok = ReadText(LOCALE_STIME, time_, 8) && ok;
    ok = ReadText(LOCALE_SDATE, date_, 8) && ok;
    ok = ReadText(LOCALE_SLIST, list_, 8) && ok;
    ok = ReadText(LOCALE_S1159, morning_, 16) && ok;
    ok = ReadText(LOCALE_S2359, afternoon_, 16) && ok;
    DWORD clock = 0, codePage = 0, markPosition = 0;
    ok = ReadNumber(LOCALE_ITIME, clock) && ok;
    ok = ReadNumber(LOCALE_IDEFAULTCODEPAGE, codePage) && ok;
    ok = ReadNumber(LOCALE_ITIMEMARKPOSN, markPosition) && ok;
    is24Hour_ = clock == 1;
    codePage_ = codePage;
    designatorFirst_ = markPosition != 0;
    ok = ReadFormat(LOCALE_STIMEFORMAT, timeFormat_) && ok;
    ok = ReadFormat(LOCALE_SLONGDATE, longDateFormat_) && ok;
    ok = ReadFormat(LOCALE_SSHORTDATE, shortDateFormat_) && ok;
    return ok;
}

const char* LocaleInfo::InstallGlobalLocale()
{
    const wchar_t dateSeparator = date_[0];
    const char* crtName = "";
    std::setlocale(LC_TIME, "");
    try {
        std::unique_ptr<QLX::time_getEx> times(new QLX::time_getEx(dateSeparator));
        std::unique_ptr<NoThousandsSep<char>> narrow(new NoThousandsSep<char>(""));
        std::unique_ptr<NoThousandsSep<wchar_t>> wide(new NoThousandsSep<wchar_t>(""));
        const std::locale user("");
        const std::locale withWide(user, wide.release());
        const std::locale withNarrow(withWide, narrow.release());
        locale_ = std::locale(withNarrow, times.release());
    } catch (const std::runtime_error&) {
        // The library cannot name the user's locale.
        std::setlocale(LC_TIME, FallbackCrtLocale);
        locale_ = BuildFallbackLocale(decimal_[0], thousands_[0], dateSeparator);
        crtName = FallbackCrtLocale;
    }
    std::locale::global(locale_);
    installed_ = true;
    return crtName;
}

QLXString LocaleInfo::CheckSeparators() const
{
    QLXString message;
    if (std::wcscmp(date_, decimal_) == 0)
        message = HostString<IDS_HOST_DATE_SEP_IS_DECIMAL>();
    if (std::wcscmp(list_, decimal_) == 0)
        message = HostString<IDS_HOST_LIST_SEP_IS_DECIMAL>();
    if (std::wcslen(decimal_) != 1 || (decimal_[0] != L'.' && decimal_[0] != L','))
        message = DecimalSeparatorText(decimal_);
    return message;
}

QLXString LocaleInfo::DecimalSeparatorText(const wchar_t* separator)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring codes;
    for (const wchar_t* c = separator; *c; ++c) {
        codes += L' ';
        wchar_t hex[8];
        int n = 0;
        unsigned value = static_cast<unsigned>(*c);
        do {
            hex[n++] = digits[value % 16];
            value /= 16;
        } while (value);
        while (n)
            codes += hex[--n];
    }
    QLX::OFormatStringStream text(HostString<IDS_HOST_ODD_DECIMAL_SEP>());
    text << separator;
    text << codes.c_str();
    return text.TakeString();
}

QLXString LocaleInfo::NumericCategoryFailureText(DWORD errorCode)
{
    if (errorCode >= FirstCrtLocaleError && errorCode <= LastCrtLocaleError)
        return NumericCategoryTexts()[errorCode - FirstCrtLocaleError];
    wchar_t system[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode, 0x400, system, 511,
                   nullptr);
    QLX::OFormatStringStream text(HostString<IDS_HOST_NUMERIC_CATEGORY_OTHER>());
    text << static_cast<const wchar_t*>(system);
    return text.TakeString();
}
