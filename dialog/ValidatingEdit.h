#pragma once
// Numeric edit fields bound to a template item: they refuse characters that cannot
// belong to a number, check their value against a closed range when the dialog closes
// with OK, and write and read floating values with a fixed number of significant digits.
// An error provider, when attached, shows range errors as the user types instead.

#include "dialog/RangeValidators.h"
#include "winlib/TEdit.h"

#include <string>

namespace QLXControls {
class ErrorProvider;
}

class ValidatingEdit : public TEdit {
public:
    static constexpr UINT TextLimit = 255;
    // Only this many leading characters of the text are read as a number.
    static constexpr size_t ReadLength = 29;

    ValidatingEdit(TWindow* parent, int resourceId, TModule* module = nullptr);

    // Whether the whole text is one number of the edit's kind.
    virtual bool IsCompleteNumber() const = 0;
    // Attaches a provider (null: none); the pointer is kept, not owned.
    virtual void SetErrorProvider(QLXControls::ErrorProvider* provider);
    QLXControls::ErrorProvider* GetErrorProvider() const { return provider_; }

protected:
    // The first ReadLength characters of the text.
    std::wstring LeadingText() const;
    // The library's handling of the character, then the check-as-you-type step.
    LRESULT EvChar(WPARAM wParam, LPARAM lParam);
    // The library's handling runs only without an error provider.
    LRESULT EvChildInvalid(WPARAM wParam, LPARAM lParam);
    // With a provider: hides it when the text is a complete, accepted number, otherwise
    // lets the validator show its error in it.
    void CheckAsTyped();

private:
    QLXControls::ErrorProvider* provider_ = nullptr;

    DECLARE_RESPONSE_TABLE(ValidatingEdit)
};

class DoubleEdit : public ValidatingEdit {
public:
    static constexpr int DefaultPrecision = 9;

    // Without a range check (one can be set later with SetRange).
    DoubleEdit(TWindow* parent, int resourceId, TModule* module = nullptr);
    // With a floating range check from lower to upper.
    DoubleEdit(TWindow* parent, int resourceId, double lower, double upper, TModule* module = nullptr);

    // Writes the value with the precision's significant digits.
    void SetValue(double value);
    // The leading text as a number (0 when it is none), rounded to the precision.
    double GetValue() const;
    bool IsCompleteNumber() const override;
    void SetErrorProvider(QLXControls::ErrorProvider* provider) override;

    // The range check becomes lower to upper: a new one the first time, afterwards the
    // bounds of the present one are replaced.
    void SetRange(double lower, double upper);
    // The range check, or null.
    FltRangeValidator* GetRangeValidator() const;

    // Significant digits (decimals in fixed notation); 0 or less means 9.
    void SetPrecision(int precision) { precision_ = precision; }
    int GetPrecision() const { return precision_; }
    void SetFixedNotation(bool fixed) { fixed_ = fixed; }

    // How a value is written and how a read value is rounded.
    static std::wstring Format(double value, int precision, bool fixed);
    static double RoundToSignificant(double value, int precision);

private:
    int EffectivePrecision() const { return precision_ > 0 ? precision_ : DefaultPrecision; }

    int precision_ = 0;
    bool fixed_ = false;
};

class IntEdit : public ValidatingEdit {
public:
    // A range check from 0 to upper; only digits can be typed.
    IntEdit(TWindow* parent, int resourceId, long upper, TModule* module = nullptr);

    void SetValue(long value);
    // The integer at the start of the leading text; 0 when there are no digits.
    long GetValue() const;
    bool IsCompleteNumber() const override;
    void SetErrorProvider(QLXControls::ErrorProvider* provider) override;
};
