#include "UnitModel.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace VireoHost {
namespace {

const wchar_t* const DefaultRanges[] = {L"10 V", L"5 V", L"2 V", L"200 mV"};

std::wstring Trim(const std::wstring& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// The value of a key, trimmed; false when the key is absent.
bool ReadKey(const std::wstring& path, const wchar_t* section, const wchar_t* key, std::wstring& value)
{
    const wchar_t* const absent = L"\x01absent\x01";
    wchar_t buffer[1024];
    GetPrivateProfileStringW(section, key, absent, buffer, 1024, path.c_str());
    if (std::wcscmp(buffer, absent) == 0)
        return false;
    value = Trim(buffer);
    return true;
}

bool ParseInt(const std::wstring& text, int low, int high, int& value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    const long parsed = std::wcstol(text.c_str(), &end, 10);
    if (*end != 0 || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseSeconds(const std::wstring& text, double& value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    const double parsed = std::wcstod(text.c_str(), &end);
    if (*end != 0 || !(parsed >= 0) || parsed > 1e6)
        return false;
    value = parsed;
    return true;
}

bool ParseBool(const std::wstring& text, bool& value)
{
    std::wstring lower;
    for (wchar_t c : text)
        lower += static_cast<wchar_t>(std::towlower(c));
    if (lower == L"1" || lower == L"yes" || lower == L"true" || lower == L"on") {
        value = true;
        return true;
    }
    if (lower == L"0" || lower == L"no" || lower == L"false" || lower == L"off") {
        value = false;
        return true;
    }
    return false;
}

bool ParseGroups(const std::wstring& text, std::vector<int>& groups)
{
    std::vector<int> parsed;
    size_t start = 0;
    const std::wstring trimmed = Trim(text);
    if (!trimmed.empty()) {
        for (;;) {
            const size_t comma = trimmed.find(L',', start);
            int lines = 0;
            if (!ParseInt(Trim(trimmed.substr(start, comma - start)), 0, 32, lines))
                return false;
            parsed.push_back(lines);
            if (comma == std::wstring::npos)
                break;
            start = comma + 1;
        }
    }
    if (parsed.size() > 16)
        return false;
    groups = parsed;
    return true;
}

std::wstring EscapeXml(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

} // namespace

int UnitModel::DigitalOutputCount() const
{
    int total = 0;
    for (int lines : digitalGroups)
        total += lines;
    return total;
}

std::wstring UnitModel::InputSettingsText(int input) const
{
    if (input < 0 || input >= static_cast<int>(inputRanges.size()))
        return std::wstring();
    const std::wstring& range = inputRanges[static_cast<size_t>(input)];
    const std::wstring head = L"<InputSettings><Input>" + std::to_wstring(input + 1) + L"</Input>";
    if (range == L"-")
        return head + L"</InputSettings>";
    return head + L"<PhysicalGainIndex>" + EscapeXml(range) + L"</PhysicalGainIndex></InputSettings>";
}

bool LoadUnitIni(const std::wstring& file, UnitModel& unit, std::wstring& error)
{
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(file.c_str(), MAX_PATH, full, nullptr);
    const DWORD attributes = length && length < MAX_PATH ? GetFileAttributesW(full) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = L"cannot read unit file " + file;
        return false;
    }
    const std::wstring path = full;
    auto bad = [&](const wchar_t* key, const std::wstring& value) {
        error = L"bad value for " + std::wstring(key) + L" in " + file + L": " + value;
        return false;
    };

    std::wstring value;
    if (ReadKey(path, L"Unit", L"Name", value))
        unit.name = value;
    int inputs = static_cast<int>(unit.inputRanges.size());
    if (ReadKey(path, L"Unit", L"Inputs", value) && !ParseInt(value, 0, 64, inputs))
        return bad(L"Inputs", value);
    if (ReadKey(path, L"Unit", L"AnalogOutputs", value) && !ParseInt(value, 0, 16, unit.analogOutputs))
        return bad(L"AnalogOutputs", value);
    if (ReadKey(path, L"Unit", L"DigitalGroups", value) && !ParseGroups(value, unit.digitalGroups))
        return bad(L"DigitalGroups", value);
    struct Flag {
        const wchar_t* key;
        bool* target;
    } flags[] = {{L"Supported", &unit.supported},
                 {L"Active", &unit.active},
                 {L"Sampling", &unit.sampling},
                 {L"Stimulator", &unit.stimulator},
                 {L"Control", &unit.control},
                 {L"Settings", &unit.settings},
                 {L"LimitsFail", &unit.limitsFail}};
    for (const Flag& flag : flags)
        if (ReadKey(path, L"Unit", flag.key, value) && !ParseBool(value, *flag.target))
            return bad(flag.key, value);
    // The hint setting has two spellings: [Host] Hints and [Application] Visible.
    if (ReadKey(path, L"Host", L"Hints", value) && !ParseBool(value, unit.applicationVisible))
        return bad(L"Hints", value);
    if (ReadKey(path, L"Application", L"Visible", value) && !ParseBool(value, unit.applicationVisible))
        return bad(L"Visible", value);
    if (ReadKey(path, L"Unit", L"MaxPulseDelay", value) && !ParseSeconds(value, unit.maxPulseDelay))
        return bad(L"MaxPulseDelay", value);
    if (ReadKey(path, L"Unit", L"MaxHoldoff", value) && !ParseSeconds(value, unit.maxHoldoff))
        return bad(L"MaxHoldoff", value);
    if (ReadKey(path, L"Unit", L"SampleRate", value) &&
        (!ParseSeconds(value, unit.sampleRate) || !(unit.sampleRate > 0)))
        return bad(L"SampleRate", value);

    // Inputs without their own [Inputs] entry take the default ranges in turn.
    std::vector<std::wstring> ranges;
    for (int i = 0; i < inputs; ++i) {
        const std::wstring key = std::to_wstring(i + 1);
        if (ReadKey(path, L"Inputs", key.c_str(), value) && !value.empty())
            ranges.push_back(value);
        else
            ranges.push_back(DefaultRanges[i % 4]);
    }
    unit.inputRanges = ranges;
    return true;
}

} // namespace VireoHost
