#include "SetupScript.h"

#include "hostapi/OnlineEvents.h"

#include <cwchar>
#include <cwctype>
#include <sstream>

namespace VireoHost {
namespace {

struct Word {
    const wchar_t* name;
    ActionKind kind;
};

// What each action takes after its name.
enum class Shape { None, Number, Control, ControlNumber, ControlText, Text, Name, KeyName };

const Word Words[] = {
    {L"tab", ActionKind::Tab},       {L"click", ActionKind::Click}, {L"select", ActionKind::Select},
    {L"type", ActionKind::Type},     {L"leave", ActionKind::Leave}, {L"slide", ActionKind::Slide},
    {L"spin", ActionKind::Spin},     {L"key", ActionKind::Key},     {L"keys", ActionKind::Keys},
    {L"hover", ActionKind::Hover},   {L"away", ActionKind::Away},
    {L"wait", ActionKind::Wait},     {L"dump", ActionKind::Dump},   {L"shot", ActionKind::Shot},
    {L"ok", ActionKind::Ok},         {L"cancel", ActionKind::Cancel},
};

const struct {
    const wchar_t* name;
    Pane pane;
} Panes[] = {{L"dialog", Pane::Dialog}, {L"onoff", Pane::OnOff}, {L"rule0", Pane::Rule0}, {L"rule1", Pane::Rule1},
             {L"rule2", Pane::Rule2},   {L"rule3", Pane::Rule3}, {L"settings", Pane::Settings}};

Shape ShapeOf(ActionKind kind)
{
    switch (kind) {
    case ActionKind::Tab:
    case ActionKind::Wait:
        return Shape::Number;
    case ActionKind::Click:
        return Shape::Control;
    case ActionKind::Select:
    case ActionKind::Slide:
    case ActionKind::Spin:
    case ActionKind::Hover:
        return Shape::ControlNumber;
    case ActionKind::Type:
        return Shape::ControlText;
    case ActionKind::Shot:
        return Shape::Name;
    case ActionKind::Key:
        return Shape::KeyName;
    case ActionKind::Keys:
        return Shape::Text;
    default:
        return Shape::None;
    }
}

ScriptResult Fail(int line, const std::wstring& message)
{
    return {false, line, message};
}

// The next blank-separated word of the line from pos on; empty at its end.
std::wstring NextWord(const std::wstring& line, size_t& pos)
{
    while (pos < line.size() && std::iswspace(line[pos]))
        ++pos;
    const size_t start = pos;
    while (pos < line.size() && !std::iswspace(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
}

bool ToInt(const std::wstring& word, bool signedAllowed, int& value)
{
    if (word.empty() || word.size() > ((word[0] == L'-' || word[0] == L'+') ? 10u : 9u))
        return false;
    size_t i = 0;
    if ((word[0] == L'-' || word[0] == L'+') && signedAllowed)
        i = 1;
    if (i == word.size())
        return false;
    for (size_t k = i; k < word.size(); ++k)
        if (!std::iswdigit(word[k]))
            return false;
    value = static_cast<int>(std::wcstol(word.c_str(), nullptr, 10));
    return true;
}

ScriptResult ReadControl(const std::wstring& line, size_t& pos, int number, ScriptAction& action)
{
    const std::wstring pane = NextWord(line, pos);
    bool found = false;
    for (const auto& entry : Panes)
        if (pane == entry.name) {
            action.pane = entry.pane;
            found = true;
        }
    if (!found)
        return Fail(number, pane.empty() ? L"missing pane" : L"unknown pane " + pane);
    const std::wstring id = NextWord(line, pos);
    if (!ToInt(id, false, action.control) || action.control > 0xFFFF)
        return Fail(number, id.empty() ? L"missing control id" : L"bad control id " + id);
    return {};
}

ScriptResult ReadNumber(const std::wstring& line, size_t& pos, int number, ScriptAction& action)
{
    const std::wstring word = NextWord(line, pos);
    const bool signedAllowed = action.kind == ActionKind::Spin || action.kind == ActionKind::Slide;
    if (!ToInt(word, signedAllowed, action.number))
        return Fail(number, word.empty() ? L"missing number" : L"bad number " + word);
    return {};
}

// Everything after the single blank that follows the control id.
std::wstring RestOfLine(const std::wstring& line, size_t pos)
{
    if (pos < line.size())
        ++pos;
    std::wstring rest = pos < line.size() ? line.substr(pos) : std::wstring();
    while (!rest.empty() && (rest.back() == L'\r' || rest.back() == L'\n'))
        rest.pop_back();
    return rest;
}

} // namespace

ScriptResult ParseScriptLine(const std::wstring& line, int number, ScriptAction& action, bool& isAction)
{
    size_t pos = 0;
    const std::wstring name = NextWord(line, pos);
    isAction = !name.empty() && name[0] != L'#';
    if (!isAction)
        return {};
    action = ScriptAction();
    action.line = number;
    const Word* word = nullptr;
    for (const Word& candidate : Words)
        if (name == candidate.name)
            word = &candidate;
    if (!word)
        return Fail(number, L"unknown action " + name);
    action.kind = word->kind;
    const Shape shape = ShapeOf(action.kind);
    ScriptResult result;
    if (shape == Shape::Control || shape == Shape::ControlNumber || shape == Shape::ControlText)
        result = ReadControl(line, pos, number, action);
    if (result.ok && (shape == Shape::Number || shape == Shape::ControlNumber))
        result = ReadNumber(line, pos, number, action);
    if (!result.ok)
        return result;
    if (shape == Shape::ControlText || shape == Shape::Text) {
        action.text = RestOfLine(line, pos);
        return {};
    }
    if (shape == Shape::KeyName) {
        const std::wstring key = NextWord(line, pos);
        if (!ParseKeyName(key, action.key))
            return Fail(number, key.empty() ? L"missing key" : L"unknown key " + key);
        action.text = key;
    }
    if (shape == Shape::Name) {
        action.text = NextWord(line, pos);
        if (action.text.empty() || action.text.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos)
            return Fail(number, L"shot needs a plain file name");
    }
    if (!NextWord(line, pos).empty())
        return Fail(number, L"unexpected text after " + name);
    return {};
}

bool ParseKeyName(const std::wstring& name, KeyStroke& key)
{
    static const struct {
        const wchar_t* name;
        unsigned virtualKey;
    } Keys[] = {{L"Tab", 0x09},    {L"Enter", 0x0D}, {L"Space", 0x20},  {L"Escape", 0x1B},   {L"Left", 0x25},
                {L"Right", 0x27},  {L"Up", 0x26},    {L"Down", 0x28},   {L"Home", 0x24},     {L"End", 0x23},
                {L"PageUp", 0x21}, {L"PageDown", 0x22}, {L"Delete", 0x2E}, {L"Backspace", 0x08}};
    key = KeyStroke();
    std::wstring rest = name;
    if (rest.compare(0, 6, L"Shift+") == 0) {
        key.shift = true;
        rest.erase(0, 6);
    } else if (rest.compare(0, 4, L"Alt+") == 0) {
        rest.erase(0, 4);
        // A mnemonic is one letter or digit.
        if (rest.size() != 1 || !std::iswalnum(rest[0]) || rest[0] > 0x7F)
            return false;
        key.alt = true;
        key.virtualKey = static_cast<unsigned>(std::towupper(rest[0]));
        return true;
    }
    for (const auto& entry : Keys)
        if (rest == entry.name) {
            key.virtualKey = entry.virtualKey;
            return true;
        }
    return false;
}

ScriptResult ParseScript(const std::wstring& text, std::vector<ScriptAction>& actions)
{
    std::wistringstream lines(text);
    int number = 0;
    for (std::wstring line; std::getline(lines, line);) {
        ++number;
        ScriptAction action;
        bool isAction = false;
        const ScriptResult result = ParseScriptLine(line, number, action, isAction);
        if (!result.ok)
            return result;
        if (isAction)
            actions.push_back(action);
    }
    return {};
}

const wchar_t* PaneName(Pane pane)
{
    for (const auto& entry : Panes)
        if (entry.pane == pane)
            return entry.name;
    return L"";
}

int PanePropertyValue(Pane pane)
{
    switch (pane) {
    case Pane::Dialog:
        return -1;
    case Pane::OnOff:
        return OnlineEventsContract::OnOffPaneValue;
    case Pane::Settings:
        return OnlineEventsContract::SettingsPaneValue;
    default:
        return OnlineEventsContract::FirstRulePaneValue + (static_cast<int>(pane) - static_cast<int>(Pane::Rule0));
    }
}

} // namespace VireoHost
