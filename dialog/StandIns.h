#pragma once
// Temporary stand-ins until the window library's dialog base and numeric edits land.

#include "winlib/TDialog.h"
#include "winlib/TEdit.h"

#include <cfloat>

namespace QLX {
class DialogBase : public TDialog {
public:
    DialogBase(TWindow* parent, int resourceId, TModule* module = nullptr) : TDialog(parent, resourceId, module) {}
    DialogBase(HWND parent, int resourceId, TModule* module = nullptr) : TDialog(parent, resourceId, module) {}
};
} // namespace QLX

class FltRangeValidator : public TFilterValidator {
public:
    FltRangeValidator(double upper, double lower);
    bool IsValid(const wchar_t* text) override;
    double GetMax() const { return upper_; }
    void SetMax(double upper) { upper_ = upper; }
    void SetMin(double lower) { lower_ = lower; }

private:
    double upper_, lower_;
};

class DoubleEdit : public TEdit {
public:
    DoubleEdit(TWindow* parent, int id) : TEdit(parent, id, 255) {}
    DoubleEdit(TWindow* parent, int id, double lower, double upper);
    void SetValue(double value);
    double GetValue() const;
    void SetRange(double lower, double upper);
    FltRangeValidator* GetRangeValidator() const { return dynamic_cast<FltRangeValidator*>(GetValidator()); }
};

class IntEdit : public TEdit {
public:
    IntEdit(TWindow* parent, int id, long upper);
};
