#pragma once
// The host's own string objects behind IQLXString. They have the contract's kind-9
// layout (header, then the characters, in one allocation), as the real host's do, so
// the module adopts them in place; the module's strings the host only reads through
// the interface.

#include "hostapi/HostInterfaces.h"

#include <string>

namespace VireoHost {

// A new string object holding the text, with one reference for the caller; null when
// memory runs out.
IQLXString* NewHostString(const std::wstring& text);

// The text of any string object, read through the interface; the caller keeps its
// reference. Null gives the empty text.
std::wstring TextOf(IQLXString* text);

// As TextOf, then releases the caller's reference.
std::wstring TakeText(IQLXString* text);

// String objects the host made that are not yet destroyed.
long LiveHostStrings();

} // namespace VireoHost
