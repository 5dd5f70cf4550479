#include "foundation/StartupLog.h"

#include "foundation/XQLX.h"

#include <cwchar>
#include <exception>
#include <iostream>

namespace QLX {

void WriteStartupLog(const wchar_t* writer, const wchar_t* text) noexcept
{
    try {
        std::wcerr << L"QLXBOOTLOG: " << writer << L": " << (text ? text : L"");
        if (!std::wcerr)
            std::wcerr.clear();
        std::wcerr << std::endl;
        if (!std::wcerr)
            std::wcerr.clear();
    } catch (...) {
        std::wcerr.clear();
    }
}

std::wstring CaughtFailureText()
{
    const std::exception_ptr caught = std::current_exception();
    if (!caught)
        return std::wstring();
    try {
        std::rethrow_exception(caught);
    } catch (const XQLX& failure) {
        const QLXString message = failure.Message();
        return std::wstring(message.c_str(), message.Length());
    } catch (const std::exception& failure) {
        // What texts are in the thread's ANSI code page.
        const QLXString message = QLXString::FromNarrow(failure.what(), 1);
        return std::wstring(message.c_str(), message.Length());
    } catch (const XHResult& failure) {
        wchar_t text[32];
        std::swprintf(text, 32, L"XHResult 0x%08lX", static_cast<unsigned long>(failure.Code()));
        return text;
    } catch (...) {
        return L"unknown exception";
    }
}

void LogCaughtFailure(const wchar_t* writer, const wchar_t* place) noexcept
{
    try {
        WriteStartupLog(writer, (std::wstring(place) + L": " + CaughtFailureText()).c_str());
    } catch (...) {
        // Out of memory for the text: the place alone still says that something failed.
        WriteStartupLog(writer, place);
    }
}

} // namespace QLX
