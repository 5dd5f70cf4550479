#include "winlib/TValidator.h"

#include "winlib/TApplication.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwchar>

namespace {

// The library's own texts.
constexpr wchar_t InvalidCharacterText[] = L"Invalid character in input";
constexpr wchar_t RangeErrorFormat[] = L"Value is not in the range %1 to %2.";

} // namespace

// ---- TValidator -----------------------------------------------------------------------

TValidator::~TValidator() = default;

void TValidator::Error(TWindow*) {}

bool TValidator::IsValidInput(wchar_t*, bool)
{
    return true;
}

bool TValidator::IsValid(const wchar_t*)
{
    return true;
}

UINT TValidator::Transfer(wchar_t*, void*, TTransferDirection)
{
    return 0;
}

int TValidator::Adjust(std::wstring&, int&, int&, int)
{
    return 0;
}

bool TValidator::Valid(const wchar_t* text, TWindow* owner)
{
    if (IsValid(text ? text : L""))
        return true;
    Error(owner);
    return false;
}

void TValidator::ShowErrorBox(const std::wstring& text)
{
    const std::wstring caption = TApplication::Name();
    TApplication::ShowMessageBox(text.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

std::wstring TValidator::FillPlaceholders(const std::wstring& format, std::initializer_list<std::wstring> arguments)
{
    std::wstring out;
    for (size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        if (c == L'%' && i + 1 < format.size() && format[i + 1] >= L'1' && format[i + 1] <= L'9') {
            const size_t n = static_cast<size_t>(format[i + 1] - L'1');
            if (n < arguments.size()) {
                out += *(arguments.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// ---- TCharSet -------------------------------------------------------------------------

TCharSet::TCharSet(const wchar_t* characters)
{
    Add(characters);
}

void TCharSet::Add(wchar_t c)
{
    if (!Has(c))
        chars_ += c;
}

void TCharSet::Add(const wchar_t* characters)
{
    if (!characters)
        return;
    const size_t length = std::wcslen(characters);
    for (size_t i = 0; i < length; ++i) {
        if (i + 2 < length && characters[i + 1] == L'-') {
            for (wchar_t c = characters[i]; c <= characters[i + 2]; ++c) {
                Add(c);
                if (c == WCHAR_MAX)
                    break;
            }
            i += 2;
        } else {
            Add(characters[i]);
        }
    }
}

// ---- TFilterValidator -----------------------------------------------------------------

TFilterValidator::TFilterValidator(const wchar_t* validChars) : validChars_(validChars) {}

void TFilterValidator::Error(TWindow*)
{
    ShowErrorBox(InvalidCharacterText);
}

bool TFilterValidator::IsValidInput(wchar_t* text, bool)
{
    for (const wchar_t* c = text; c && *c; ++c)
        if (!validChars_.Has(*c))
            return false;
    return true;
}

bool TFilterValidator::IsValid(const wchar_t* text)
{
    for (const wchar_t* c = text; c && *c; ++c)
        if (!validChars_.Has(*c))
            return false;
    return true;
}

// ---- TRangeValidator ------------------------------------------------------------------

TRangeValidator::TRangeValidator(long minimum, long maximum)
    : TFilterValidator(minimum >= 0 ? L"0-9+" : L"0-9+-"), min_(minimum), max_(maximum)
{}

void TRangeValidator::SetMin(long minimum)
{
    min_ = minimum;
    if (min_ < 0)
        validChars_.Add(L'-');
}

void TRangeValidator::SetMax(long maximum)
{
    max_ = maximum;
}

bool TRangeValidator::ParseLong(const wchar_t* text, long& value)
{
    if (!text || !*text)
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    const long parsed = std::wcstol(text, &end, 10);
    if (errno == ERANGE || end == text || *end != L'\0')
        return false;
    value = parsed;
    return true;
}

bool TRangeValidator::IsValid(const wchar_t* text)
{
    long value = 0;
    return TFilterValidator::IsValid(text) && ParseLong(text, value) && value >= min_ && value <= max_;
}

std::wstring TRangeValidator::ErrorText() const
{
    return FillPlaceholders(RangeErrorFormat, {std::to_wstring(min_), std::to_wstring(max_)});
}

void TRangeValidator::Error(TWindow*)
{
    ShowErrorBox(ErrorText());
}

UINT TRangeValidator::Transfer(wchar_t* text, void* buffer, TTransferDirection direction)
{
    if (!HasOption(voTransfer))
        return 0;
    auto* value = static_cast<long*>(buffer);
    if (direction == tdGetData) {
        long parsed = 0;
        *value = ParseLong(text, parsed) ? parsed : 0;
    } else if (direction == tdSetData) {
        // The caller's buffer holds at least the widest long's text.
        swprintf(text, 12, L"%ld", *value);
    }
    return sizeof(long);
}

int TRangeValidator::Adjust(std::wstring& text, int& begin, int& end, int amount)
{
    long value = 0;
    if (!ParseLong(text.c_str(), value))
        return 0;
    long long adjusted = static_cast<long long>(value) + amount;
    if (adjusted < min_)
        adjusted = min_;
    if (adjusted > max_)
        adjusted = max_;
    text = std::to_wstring(adjusted);
    begin = 0;
    end = static_cast<int>(text.size());
    return static_cast<int>(adjusted - value);
}
