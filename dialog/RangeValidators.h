#pragma once
// Range checks of the numeric edits: a floating range (characters "-+eE0-9" and the
// user's decimal separator, bounds included) and 32-bit integer ranges, each also in a
// form that reports to an error provider instead of a message box.

#include "foundation/QLXString.h"
#include "winlib/TValidator.h"

#include <cstddef>

namespace QLXControls {
class ErrorProvider;
}

namespace QLX {

// The decimal separator numbers are shown and read with: the user's.
wchar_t UserDecimalSeparator();
// Reads a floating value written with the user's decimal separator, whatever separator
// the C runtime uses. consumed (optional) gets the number of characters read; 0 when
// the text does not start with a number (the value is then 0).
double ReadUserDouble(const wchar_t* text, size_t* consumed = nullptr);

} // namespace QLX

class FltRangeValidator : public TFilterValidator {
public:
    // The upper bound comes first.
    FltRangeValidator(double upper, double lower);

    // A message box with host string 20001 holding the bounds.
    void Error(TWindow* owner) override;
    // Accepted characters only, a whole number, within the bounds (both included).
    bool IsValid(const wchar_t* text) override;
    // Only with the transfer option: text to double or double to text ("%lg"); 8 bytes.
    UINT Transfer(wchar_t* text, void* buffer, TTransferDirection direction) override;

    double GetMax() const { return upper_; }
    double GetMin() const { return lower_; }
    void SetMax(double upper) { upper_ = upper; }
    void SetMin(double lower) { lower_ = lower; }

    // Host string 20001 with the lower bound as "%1" and the upper bound as "%2".
    QLXString ErrorText() const;

private:
    double upper_;
    double lower_;
};

namespace QLXControls {

// The provider validators fill their provider with host string 22022 as title and 22023
// with the bounds as message, and show it below the edit.
class FltRangeValidatorErrProv : public FltRangeValidator {
public:
    FltRangeValidatorErrProv(double upper, double lower, ErrorProvider* provider);
    // Shows the range error in the provider; nothing without one.
    void Error(TWindow* owner) override;
    ErrorProvider* Provider() const { return provider_; }

private:
    ErrorProvider* provider_;
};

// The library's integer range check and its own error message, under the module's name.
class QLXRangeValidator : public TRangeValidator {
public:
    QLXRangeValidator(long minimum, long maximum) : TRangeValidator(minimum, maximum) {}
};

class LongRangeValidatorErrProv : public TRangeValidator {
public:
    LongRangeValidatorErrProv(long minimum, long maximum, ErrorProvider* provider);
    // Shows the range error in the provider; nothing without one.
    void Error(TWindow* owner) override;
    ErrorProvider* Provider() const { return provider_; }

private:
    ErrorProvider* provider_;
};

} // namespace QLXControls
