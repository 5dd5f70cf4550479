#include "foundation/ProductWords.h"

#include <string>

namespace {

constexpr UINT ReplacementFallbackId = 0xFFFFFFFFu;

struct DefaultWord {
    const wchar_t* pattern;
    const wchar_t* replacement;
    const wchar_t* key;
};

// "VARNFORWINDOWS" must come before "VARN", which it contains.
const DefaultWord DefaultWords[] = {
    {L"VARNFORWINDOWS", L"Kestrana", L"AppTitle"},
    {L"VARN", L"Kestrana", L"AppName"},
    {L"KORVANE", L"Korvane", L"HardwareName"},
    {L"OEM", L"Veltrisk", L"OEMName"},
};

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

ProductWordTable& ProductWordTable::Instance(HINSTANCE instance)
{
    static ProductWordTable table = [instance] {
        ProductWordTable built;
        built.settingsPath_ = ResolveHostPath(QLXString(L"Essential Files\\Ofig.qlxini"));
        for (const DefaultWord& word : DefaultWords)
            built.AddPair(instance, QLXString(word.pattern), QLXString(word.replacement), QLXString(word.key));
        return built;
    }();
    return table;
}

void ProductWordTable::AddPair(HINSTANCE instance, const QLXString& pattern, const QLXString& defaultReplacement,
                               const QLXString& key)
{
    QLXString replacement = defaultReplacement;
    if (replacement.IsEmpty()) {
        replacement = LoadResourceString(instance, ReplacementFallbackId, false);
        if (replacement.IsEmpty())
            replacement = LoadResourceString(GetModuleHandleW(nullptr), ReplacementFallbackId, false);
        if (replacement.IsEmpty())
            replacement = defaultReplacement;
    }
    pairs_.push_back(Pair{pattern, replacement, key});
}

void ProductWordTable::Apply(QLXString& text) const
{
    for (const Pair& pair : pairs_) {
        int at = text.Find(pair.pattern, 0);
        while (at >= 0) {
            text.Replace(unsigned(at), pair.pattern.Length(), pair.replacement);
            at = text.Find(pair.pattern, unsigned(at) + pair.replacement.Length());
        }
    }
}

void ApplyProductWords(QLXString& text, HINSTANCE instance)
{
    ProductWordTable::Instance(instance).Apply(text);
}

QLXString ResolvePathBeside(const QLXString& executable, const QLXString& relative)
{
    const std::wstring exe(executable.c_str(), executable.Length());
    const size_t folderEnd = exe.find_last_of(L"\\/");
    // Without a folder only the drive of the executable remains.
    std::wstring result = folderEnd == std::wstring::npos
                              ? (exe.size() >= 2 && exe[1] == L':' ? exe.substr(0, 2) : std::wstring())
                              : exe.substr(0, folderEnd + 1);
    std::wstring rest(relative.c_str(), relative.Length());
    // The relative path contributes its folder, name and extension, never a drive.
    if (rest.size() >= 2 && rest[1] == L':')
        rest.erase(0, 2);
    if (!result.empty() && !rest.empty() && IsSeparator(result.back()) && IsSeparator(rest.front()))
        rest.erase(0, 1);
    result += rest;
    return QLXString(result.c_str());
}

QLXString ResolveHostPath(const QLXString& relative)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (n == 0)
            return relative;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768)
            return relative;
        path.resize(path.size() * 2);
    }
    return ResolvePathBeside(QLXString(path.c_str()), relative);
}
