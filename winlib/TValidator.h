#pragma once
// Validators: the checks an edit control asks of its text. As a character is typed the
// edit asks IsValidInput of the text it would get; when the dialog is about to close
// with OK it asks IsValid of the whole text, and on a refusal shows Error.

#include <windows.h>

#include <initializer_list>
#include <string>

class TWindow;

enum TTransferDirection { tdGetData, tdSetData, tdSizeData };

class TValidator {
public:
    // Options.
    enum : unsigned { voFill = 0x1, voTransfer = 0x2, voOnAppend = 0x4 };

    TValidator() = default;
    TValidator(const TValidator&) = delete;
    TValidator& operator=(const TValidator&) = delete;

    // Virtual operations in their fixed order.
    virtual ~TValidator();
    // Tells the user why the text was refused; owner is the edit (may be null).
    virtual void Error(TWindow* owner);
    // Whether text (as it would be after a keystroke) can still become valid.
    virtual bool IsValidInput(wchar_t* text, bool suppressFill);
    // Whether the whole text is acceptable.
    virtual bool IsValid(const wchar_t* text);
    // Moves the value between text and buffer; returns the bytes moved (0: none).
    virtual UINT Transfer(wchar_t* text, void* buffer, TTransferDirection direction);
    // Adjusts text by amount (spin controls); returns the amount used.
    virtual int Adjust(std::wstring& text, int& begin, int& end, int amount);

    // IsValid, and Error when it refuses.
    bool Valid(const wchar_t* text, TWindow* owner = nullptr);

    bool HasOption(unsigned option) const { return (options_ & option) != 0; }
    void SetOption(unsigned option) { options_ |= option; }
    void UnsetOption(unsigned option) { options_ &= ~option; }

    // The library's error box: the application's name as caption, exclamation, OK.
    static void ShowErrorBox(const std::wstring& text);
    // Fills "%1", "%2", ... of format with the arguments in order.
    static std::wstring FillPlaceholders(const std::wstring& format, std::initializer_list<std::wstring> arguments);

private:
    unsigned options_ = 0;
};

// A set of characters written as a list with ranges, as "-+eE0-9" (a "-" first or last
// stands for itself).
class TCharSet {
public:
    explicit TCharSet(const wchar_t* characters = L"");
    bool Has(wchar_t c) const { return chars_.find(c) != std::wstring::npos; }
    void Add(wchar_t c);
    void Add(const wchar_t* characters);

private:
    std::wstring chars_;
};

// Accepts texts made only of characters of a set.
class TFilterValidator : public TValidator {
public:
    explicit TFilterValidator(const wchar_t* validChars);

    void Error(TWindow* owner) override;
    bool IsValidInput(wchar_t* text, bool suppressFill) override;
    bool IsValid(const wchar_t* text) override;

    const TCharSet& ValidChars() const { return validChars_; }

protected:
    TCharSet validChars_;
};

// Accepts whole 32-bit integers between two bounds, both included.
class TRangeValidator : public TFilterValidator {
public:
    TRangeValidator(long minimum, long maximum);

    void Error(TWindow* owner) override;
    bool IsValid(const wchar_t* text) override;
    UINT Transfer(wchar_t* text, void* buffer, TTransferDirection direction) override;
    int Adjust(std::wstring& text, int& begin, int& end, int amount) override;

    long GetMin() const { return min_; }
    long GetMax() const { return max_; }
    void SetMin(long minimum);
    void SetMax(long maximum);

    // The whole text as a base-10 integer; false when it is not one.
    static bool ParseLong(const wchar_t* text, long& value);
    // The library's own text of the range error.
    std::wstring ErrorText() const;

private:
    long min_;
    long max_;
};
