#pragma once
// Bounds-checked element access with the same out-of-range text on every compiler,
// so callers and logs see one message whatever standard library is in use.

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace OnlineEvents {

[[noreturn]] inline void ThrowInvalidSubscript()
{
    throw std::out_of_range("invalid vector<T> subscript");
}

template <class T>
T& CheckedAt(std::vector<T>& items, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        ThrowInvalidSubscript();
    return items[static_cast<std::size_t>(index)];
}

template <class T>
const T& CheckedAt(const std::vector<T>& items, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        ThrowInvalidSubscript();
    return items[static_cast<std::size_t>(index)];
}

} // namespace OnlineEvents
