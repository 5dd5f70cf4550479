#pragma once
// Status-carrying exceptions for internal failures. Every XQLX that is built (not
// copied) leaves one line in the start-up log, the process's standard wide error stream.

#include "foundation/QLXString.h"

#include <windows.h>

#include <exception>
#include <string>

// A failure with a status code in the COM layout and a message text.
class XQLX : public std::exception {
public:
    // Code of an XQLX built from a message text.
    static constexpr HRESULT GenericCode = static_cast<HRESULT>(0xA0048210);

    // Derives the message from the code: own codes from the host program's string
    // resources, everything else from the system message table.
    explicit XQLX(HRESULT code);
    explicit XQLX(const QLXString& message);
    XQLX(const XQLX& other) = default;
    XQLX& operator=(const XQLX& other) = default;
    ~XQLX() override;

    // The message in the thread ANSI code page; valid while the exception lives.
    const char* what() const noexcept override;
    virtual QLXString Message() const;

    HRESULT Code() const { return code_; }

    // The text an XQLX of this code carries (empty when the code has none).
    static QLXString MessageForCode(HRESULT code);

private:
    HRESULT code_;
    // Mutable because what() keeps its narrow copy inside the string's representation.
    mutable QLXString message_;
};

// A bare failure status from a host or system call that the caller does not turn into text.
class XHResult {
public:
    explicit XHResult(HRESULT code) : code_(code) {}
    HRESULT Code() const { return code_; }

private:
    HRESULT code_;
};

namespace QLX {

// Finishes a looked-up message: a trailing line break goes, and the text ends with one ".".
// Texts of one character or none are left alone.
void FinishMessageText(std::wstring& text);

} // namespace QLX
