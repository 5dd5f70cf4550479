#pragma once
// The start-up log: one line per failure on the process's standard wide error stream, so
// that a failure the user only sees as a fixed message box, or not at all, leaves a trace.

#include <string>

namespace QLX {

// Writes "QLXBOOTLOG: ", the writer's name, ": ", the text and a newline, then flushes.
// A character the stream cannot convert cuts the text short; the line still ends and
// later lines are not silenced. Never throws.
void WriteStartupLog(const wchar_t* writer, const wchar_t* text) noexcept;

// Only inside a catch handler: what was caught, as the log shows it (the message of an
// XQLX or standard exception, the status of an XHResult).
std::wstring CaughtFailureText();

// Only inside a catch handler: logs what was caught and the place that caught it.
void LogCaughtFailure(const wchar_t* writer, const wchar_t* place) noexcept;

} // namespace QLX
