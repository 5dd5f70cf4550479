#pragma once
// Token steps of the text settings reader; each raises a plain exception on a mismatch.

#include <istream>

namespace OnlineEvents {

// Takes white space in the C library's sense; stops silently on a failed or ended stream.
void SkipWhitespace(std::istream& in);
// Expects the key token followed by a separate "=" token.
void SwallowKey(std::istream& in, const char* key);
void SwallowLabel(std::istream& in, const char* label);

} // namespace OnlineEvents
