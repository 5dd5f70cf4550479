#include "dialog/StandIns.h"

#include <cmath>
#include <cwchar>
#include <sstream>

FltRangeValidator::FltRangeValidator(double upper, double lower)
    : TFilterValidator(L"-+eE0-9."), upper_(upper), lower_(lower)
{
}

bool FltRangeValidator::IsValid(const wchar_t* text)
{
    if (!TFilterValidator::IsValid(text))
        return false;
    const double v = wcstod(text, nullptr);
    return v >= lower_ && v <= upper_;
}

DoubleEdit::DoubleEdit(TWindow* parent, int id, double lower, double upper) : TEdit(parent, id, 255)
{
    SetValidator(new FltRangeValidator(upper, lower));
}

void DoubleEdit::SetValue(double value)
{
    std::wostringstream text;
    text.precision(9);
    text << value;
    SetWindowText(text.str());
}

double DoubleEdit::GetValue() const
{
    const double v = wcstod(GetWindowText().substr(0, 29).c_str(), nullptr);
    if (v == 0 || !std::isfinite(v))
        return v;
    const double c = std::pow(10.0, 9 - std::floor(std::log(std::fabs(v)) / std::log(10.0) + 0.5));
    return std::floor(c * v + 0.5) / c;
}

IntEdit::IntEdit(TWindow* parent, int id, long upper) : TEdit(parent, id, 255)
{
    SetValidator(new TRangeValidator(0, upper));
    AddCreationStyle(ES_NUMBER);
}

void DoubleEdit::SetRange(double lower, double upper)
{
    if (FltRangeValidator* check = GetRangeValidator()) {
        check->SetMin(lower);
        check->SetMax(upper);
    } else {
        SetValidator(new FltRangeValidator(upper, lower));
    }
}
