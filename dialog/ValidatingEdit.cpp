#include "dialog/ValidatingEdit.h"

#include "dialog/ErrorProvider.h"
#include "foundation/LocaleInfo.h"
#include "foundation/StringStreams.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cwchar>
#include <ios>
#include <locale>

namespace {

// The bounds of a floating range check made where the edit had none.
constexpr double UnboundedLower = 2.2250738585072014e-308;
constexpr double UnboundedUpper = 1.7976931348623157e308;

} // namespace

// ---- ValidatingEdit -------------------------------------------------------------------

DEFINE_RESPONSE_TABLE(ValidatingEdit, TEdit, EV_MESSAGE(WM_CHAR, EvChar),
                      EV_MESSAGE(TEdit::WM_CHILDINVALID, EvChildInvalid))

ValidatingEdit::ValidatingEdit(TWindow* parent, int resourceId, TModule* module)
    : TEdit(parent, resourceId, TextLimit, module)
{
    // The user's separators and the number locale are in place before any value is written.
    LocaleInfo::Get();
}

void ValidatingEdit::SetErrorProvider(QLXControls::ErrorProvider* provider)
{
    provider_ = provider;
}

std::wstring ValidatingEdit::LeadingText() const
{
    std::wstring text = GetWindowText();
    if (text.size() > ReadLength)
        text.resize(ReadLength);
    return text;
}

LRESULT ValidatingEdit::EvChar(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = TEdit::EvChar(wParam, lParam);
    CheckAsTyped();
    return result;
}

void ValidatingEdit::CheckAsTyped()
{
    if (!provider_)
        return;
    TValidator* validator = GetValidator();
    const std::wstring text = GetWindowText();
    if (IsCompleteNumber() && (!validator || validator->IsValid(text.c_str()))) {
        provider_->SetTitle(L"");
        provider_->SetMessage(L"");
        provider_->Hide();
    } else if (validator) {
        validator->Error(this);
    }
}

LRESULT ValidatingEdit::EvChildInvalid(WPARAM wParam, LPARAM lParam)
{
    if (provider_)
        return 0;
    return TEdit::EvChildInvalid(wParam, lParam);
}

// ---- DoubleEdit -----------------------------------------------------------------------

DoubleEdit::DoubleEdit(TWindow* parent, int resourceId, TModule* module) : ValidatingEdit(parent, resourceId, module) {}

DoubleEdit::DoubleEdit(TWindow* parent, int resourceId, double lower, double upper, TModule* module)
    : ValidatingEdit(parent, resourceId, module)
{
    SetValidator(new FltRangeValidator(upper, lower));
}

// Written with the separator GetValue reads, whatever global locale is in place: a host
// that chose its own numeric locale leaves the global one classic.
std::wstring DoubleEdit::Format(double value, int precision, bool fixed)
{
    QLX::OStringStream text;
    text.imbue(std::locale::classic());
    text.precision(precision);
    if (fixed)
        text << std::fixed << std::showpoint;
    text << value;
    std::wstring written = text.TakeString().c_str();
    const wchar_t separator = QLX::UserDecimalSeparator();
    for (wchar_t& c : written)
        if (c == L'.')
            c = separator;
    return written;
}

double DoubleEdit::RoundToSignificant(double value, int precision)
{
    if (value == 0 || !std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, precision - std::floor(std::log(std::fabs(value)) / std::log(10.0) + 0.5));
    const double scaled = scale * value;
    // Near the ends of the double range the scale itself overflows; such values stay as read.
    if (!std::isfinite(scale) || !std::isfinite(scaled) || scale == 0)
        return value;
    return std::floor(scaled + 0.5) / scale;
}

void DoubleEdit::SetValue(double value)
{
    SetWindowTextIfChanged(Format(value, EffectivePrecision(), fixed_));
}

double DoubleEdit::GetValue() const
{
    const double value = QLX::ReadUserDouble(LeadingText().c_str());
    return RoundToSignificant(value, EffectivePrecision());
}

bool DoubleEdit::IsCompleteNumber() const
{
    const std::wstring text = LeadingText();
    size_t consumed = 0;
    QLX::ReadUserDouble(text.c_str(), &consumed);
    return !text.empty() && consumed == text.size();
}

FltRangeValidator* DoubleEdit::GetRangeValidator() const
{
    return dynamic_cast<FltRangeValidator*>(GetValidator());
}

void DoubleEdit::SetRange(double lower, double upper)
{
    if (FltRangeValidator* range = GetRangeValidator()) {
        range->SetMin(lower);
        range->SetMax(upper);
        return;
    }
    if (GetErrorProvider())
        SetValidator(new QLXControls::FltRangeValidatorErrProv(upper, lower, GetErrorProvider()));
    else
        SetValidator(new FltRangeValidator(upper, lower));
}

void DoubleEdit::SetErrorProvider(QLXControls::ErrorProvider* provider)
{
    double lower = UnboundedLower, upper = UnboundedUpper;
    if (const FltRangeValidator* range = GetRangeValidator()) {
        lower = range->GetMin();
        upper = range->GetMax();
    }
    if (provider)
        SetValidator(new QLXControls::FltRangeValidatorErrProv(upper, lower, provider));
    else
        SetValidator(new FltRangeValidator(upper, lower));
    ValidatingEdit::SetErrorProvider(provider);
}

// ---- IntEdit --------------------------------------------------------------------------

IntEdit::IntEdit(TWindow* parent, int resourceId, long upper, TModule* module)
    : ValidatingEdit(parent, resourceId, module)
{
    SetValidator(new QLXControls::QLXRangeValidator(0, upper));
    AddCreationStyle(ES_NUMBER);
}

void IntEdit::SetValue(long value)
{
    SetWindowTextIfChanged(std::to_wstring(value));
}

long IntEdit::GetValue() const
{
    const std::wstring text = LeadingText();
    return std::wcstol(text.c_str(), nullptr, 10);
}

bool IntEdit::IsCompleteNumber() const
{
    const std::wstring text = LeadingText();
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    std::wcstol(text.c_str(), &end, 10);
    return errno != ERANGE && *end == L'\0';
}

void IntEdit::SetErrorProvider(QLXControls::ErrorProvider* provider)
{
    long lower = 0, upper = 0;
    if (const auto* range = dynamic_cast<const TRangeValidator*>(GetValidator())) {
        lower = range->GetMin();
        upper = range->GetMax();
    }
    if (provider)
        SetValidator(new QLXControls::LongRangeValidatorErrProv(lower, upper, provider));
    else
        SetValidator(new QLXControls::QLXRangeValidator(lower, upper));
    ValidatingEdit::SetErrorProvider(provider);
}
