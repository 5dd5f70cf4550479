#pragma once
// The script language of the setup command: one user action on the setup dialog a
// line, parsed before the dialog opens so that a bad line fails the run early.

#include <string>
#include <vector>

namespace VireoHost {

enum class ActionKind { Tab, Click, Select, Type, Leave, Slide, Spin, Key, Keys, Hover, Away, Wait, Dump, Shot, Ok, Cancel };

// A key of the key action, with the modifier held while it is pressed.
struct KeyStroke {
    unsigned virtualKey = 0;
    bool shift = false;
    // Alt with a letter or digit: the dialog's mnemonic.
    bool alt = false;
};

// Where a control lives: the dialog itself or one of its panes.
enum class Pane { Dialog, OnOff, Rule0, Rule1, Rule2, Rule3, Settings };

struct ScriptAction {
    ActionKind kind = ActionKind::Dump;
    int line = 0;
    Pane pane = Pane::Dialog;
    int control = 0;
    // Tab index, list entry, slider position, spin steps, or milliseconds.
    int number = 0;
    // What type enters, or the picture name of shot.
    std::wstring text;
    KeyStroke key;
};

struct ScriptResult {
    bool ok = true;
    int line = 0;
    std::wstring message;
};

// Blank lines and lines starting with '#' are skipped.
ScriptResult ParseScript(const std::wstring& text, std::vector<ScriptAction>& actions);
ScriptResult ParseScriptLine(const std::wstring& line, int number, ScriptAction& action, bool& isAction);
// "Tab", "Shift+Tab", "Enter", "Alt+G", ...; false for a name the key action does not know.
bool ParseKeyName(const std::wstring& name, KeyStroke& key);

// The script's name of a pane ("rule2"), and the value of the pane property the
// dialog sets on each pane window (on/off 0, rule panes 1 to 4, settings 5).
const wchar_t* PaneName(Pane pane);
int PanePropertyValue(Pane pane);

} // namespace VireoHost
