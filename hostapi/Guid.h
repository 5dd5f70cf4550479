#pragma once
// How the contract headers define identifiers: one constant per GUID, usable in any
// translation unit without a separate definition.

#include <windows.h>

#define VIREO_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                                                    \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
