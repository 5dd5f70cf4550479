#include "foundation/XQLX.h"

#include "foundation/StartupLog.h"

namespace {

constexpr HRESULT MappedStorageCode = static_cast<HRESULT>(0x80030105);
constexpr HRESULT StorageCodeReplacement = static_cast<HRESULT>(0xA0048205);

constexpr DWORD CustomerBit = 0x20000000;
constexpr DWORD OwnFacility = 4;
constexpr DWORD OwnCodeBit = 0x8000;
constexpr DWORD OwnCodeFirst = 0x8200;

// Host string resource for each own code from 0x8200 on; 0 where a code has none.
constexpr UINT OwnCodeResources[31] = {
    57345, 57346, 57347, 57348, 57349, 57349, 57352, 57350, // 0x8200 - 0x8207
    57351, 57354, 0,     0,     0,     0,     0,     0,     // 0x8208 - 0x820F
    0,     0,     57358, 0,     0,     0,     0,     0,     // 0x8210 - 0x8217
    0,     0,     57359, 57360, 0,     57361, 0,            // 0x8218 - 0x821E
};

bool IsOwnCode(DWORD code)
{
    return HRESULT_FACILITY(code) == OwnFacility && (code & CustomerBit) && (code & OwnCodeBit);
}

std::wstring OwnCodeText(DWORD code)
{
    if (code == 0xA0048210 || code == 0xA0048211 || code == 0xA004820F)
        return std::wstring();
    const DWORD index = (code & 0xFFFF) - OwnCodeFirst;
    if (index >= 31 || OwnCodeResources[index] == 0)
        return std::wstring();
    // The texts belong to the host program, not to this module.
    QLXString text = LoadResourceString(GetModuleHandleW(nullptr), OwnCodeResources[index], true);
    return std::wstring(text.c_str(), text.Length());
}

std::wstring SystemText(DWORD code)
{
    const DWORD id = HRESULT_FACILITY(code) == FACILITY_WIN32 ? (code & 0xFFFF) : code;
    wchar_t buffer[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, id,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 511, nullptr);
    return std::wstring(buffer, length > 510 ? 510 : length);
}

} // namespace

namespace QLX {

void FinishMessageText(std::wstring& text)
{
    if (text.size() <= 1)
        return;
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    if (!text.empty() && text.back() != L'.')
        text.push_back(L'.');
}

} // namespace QLX

XQLX::XQLX(HRESULT code) : code_(code), message_(MessageForCode(code))
{
    QLX::WriteStartupLog(L"XQLX", message_.c_str());
}

XQLX::XQLX(const QLXString& message) : code_(GenericCode), message_(message)
{
    QLX::WriteStartupLog(L"XQLX", message_.c_str());
}

XQLX::~XQLX() = default;

const char* XQLX::what() const noexcept
{
    // The narrow copy is made once: a fresh one would free the pointer handed out before.
    const auto* header = reinterpret_cast<const QLXStringHeader*>(message_.Rep());
    if (header->narrowValid && header->narrow)
        return header->narrow;
    try {
        return message_.NarrowText();
    } catch (...) {
        return "";
    }
}

QLXString XQLX::Message() const
{
    return message_;
}

QLXString XQLX::MessageForCode(HRESULT code)
{
    DWORD value = static_cast<DWORD>(code == MappedStorageCode ? StorageCodeReplacement : code);
    std::wstring text = IsOwnCode(value) ? OwnCodeText(value) : SystemText(value);
    QLX::FinishMessageText(text);
    return text.empty() ? QLXString() : QLXString(text.c_str());
}
