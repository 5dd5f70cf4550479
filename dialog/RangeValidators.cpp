#include "dialog/RangeValidators.h"

#include "dialog/ErrorProvider.h"
#include "foundation/LocaleInfo.h"
#include "foundation/StringStreams.h"
#include "winlib/TApplication.h"
#include "winlib/TWindow.h"

#include <clocale>
#include <cwchar>
#include <string>

namespace {

// Texts of the host application.
constexpr UINT IDS_HOST_RANGE_ERROR = 20001;
constexpr UINT IDS_HOST_RANGE_TITLE = 22022;
constexpr UINT IDS_HOST_RANGE_MESSAGE = 22023;

QLXString HostString(UINT id)
{
    return LoadResourceString(GetModuleHandleW(nullptr), id);
}

template <typename Bound>
QLXString FormatBounds(UINT formatId, Bound lower, Bound upper)
{
    QLX::OFormatStringStream text(HostString(formatId));
    text << lower;
    text << upper;
    return text.TakeString();
}

} // namespace

namespace QLX {

wchar_t UserDecimalSeparator()
{
    const wchar_t separator = LocaleInfo::Get().DecimalSeparator()[0];
    return separator ? separator : L'.';
}

double ReadUserDouble(const wchar_t* text, size_t* consumed)
{
    if (consumed)
        *consumed = 0;
    if (!text || !*text)
        return 0;
    std::wstring copy(text);
    const wchar_t user = UserDecimalSeparator();
    const char* runtimePoint = std::localeconv()->decimal_point;
    const wchar_t runtime = runtimePoint && *runtimePoint ? static_cast<wchar_t>(*runtimePoint) : L'.';
    if (user && user != runtime) {
        for (wchar_t& c : copy) {
            if (c == user)
                c = runtime;
            else if (c == runtime)
                c = L'\x1'; // the runtime's separator is not the user's: it ends the number
        }
    }
    wchar_t* end = nullptr;
    const double value = std::wcstod(copy.c_str(), &end);
    if (consumed)
        *consumed = static_cast<size_t>(end - copy.c_str());
    return value;
}

} // namespace QLX

// ---- FltRangeValidator ----------------------------------------------------------------

FltRangeValidator::FltRangeValidator(double upper, double lower)
    : TFilterValidator(L"-+eE0-9"), upper_(upper), lower_(lower)
{
    validChars_.Add(LocaleInfo::Get().DecimalSeparator());
}

bool FltRangeValidator::IsValid(const wchar_t* text)
{
    if (!TFilterValidator::IsValid(text) || !text || !*text)
        return false;
    size_t consumed = 0;
    const double value = QLX::ReadUserDouble(text, &consumed);
    // A text with more after its number ("1.5.3", "1e") is no number.
    return consumed == std::wcslen(text) && value >= lower_ && value <= upper_;
}

UINT FltRangeValidator::Transfer(wchar_t* text, void* buffer, TTransferDirection direction)
{
    if (!HasOption(voTransfer))
        return 0;
    auto* value = static_cast<double*>(buffer);
    if (direction == tdGetData)
        *value = QLX::ReadUserDouble(text);
    else if (direction == tdSetData)
        swprintf(text, 32, L"%lg", *value);
    return sizeof(double);
}

QLXString FltRangeValidator::ErrorText() const
{
    return FormatBounds(IDS_HOST_RANGE_ERROR, lower_, upper_);
}

void FltRangeValidator::Error(TWindow*)
{
    const QLXString text = ErrorText();
    const std::wstring caption = TApplication::Name();
    TApplication::ShowMessageBox(text.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

// ---- provider validators --------------------------------------------------------------

namespace QLXControls {

template <typename Bound>
void ShowRangeError(ErrorProvider* provider, TWindow* owner, Bound lower, Bound upper)
{
    if (!provider)
        return;
    provider->SetTitle(HostString(IDS_HOST_RANGE_TITLE).c_str());
    provider->SetMessage(FormatBounds(IDS_HOST_RANGE_MESSAGE, lower, upper).c_str());
    provider->Show(owner ? owner->GetHandle() : nullptr);
}

FltRangeValidatorErrProv::FltRangeValidatorErrProv(double upper, double lower, ErrorProvider* provider)
    : FltRangeValidator(upper, lower), provider_(provider)
{}

void FltRangeValidatorErrProv::Error(TWindow* owner)
{
    ShowRangeError(provider_, owner, GetMin(), GetMax());
}

LongRangeValidatorErrProv::LongRangeValidatorErrProv(long minimum, long maximum, ErrorProvider* provider)
    : TRangeValidator(minimum, maximum), provider_(provider)
{}

void LongRangeValidatorErrProv::Error(TWindow* owner)
{
    ShowRangeError(provider_, owner, GetMin(), GetMax());
}

} // namespace QLXControls
