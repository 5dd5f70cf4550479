#pragma once
// Conversions between the program's UTF-8 output and files and its wide texts.

#include <string>

namespace VireoHost {

std::string Utf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The whole file as bytes; false when it cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

} // namespace VireoHost
