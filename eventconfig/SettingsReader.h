#pragma once
// Token steps of the text settings reader; each raises a plain exception on a mismatch.
// Parse uses the one-pass reader below; the stream steps serve callers holding a stream.

#include <istream>
#include <string_view>

namespace OnlineEvents {

// Takes white space in the C library's sense; stops silently on a failed or ended stream.
void SkipWhitespace(std::istream& in);
// Expects the key token followed by a separate "=" token.
void SwallowKey(std::istream& in, const char* key);
void SwallowLabel(std::istream& in, const char* label);

// The same steps in one pass straight over the characters, with numbers read as the
// classic locale's stream extraction reads them. As with a stream, a value that cannot
// be read marks the reader failed, and the next key or label then raises the error.
class SettingsTextReader {
public:
    SettingsTextReader(const char* begin, const char* end) : p_(begin), end_(end) {}

    void SwallowKey(std::string_view key);
    void SwallowLabel(std::string_view label);

    // At the end of the text the value is left as it was (the reader still fails).
    void Read(int& value);
    void Read(bool& value);
    void Read(double& value);
    bool Failed() const { return failed_; }

private:
    void SkipWhitespace();
    std::string_view Token();
    // Sign and decimal digits; false with 0 for no digits, with the limit on overflow.
    bool ExtractLong(long& value);
    // Where a real in the stream's grammar ends: sign, digits, point, exponent.
    const char* RealEnd() const;

    const char* p_;
    const char* end_;
    bool failed_ = false;
};

} // namespace OnlineEvents
