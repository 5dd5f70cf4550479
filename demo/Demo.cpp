// Console demonstration: the module's resource strings, product words and format streams.

#include "foundation/ModuleInstance.h"
#include "foundation/QLXString.h"
#include "foundation/StringStreams.h"
#include "resources/resource.h"

#include "DemoStrings.h"

#include <windows.h>

#include <string>

namespace {

// Writes UTF-16 text: to a console as it is, to a pipe or a terminal behind Wine as UTF-8.
void Print(const QLXString& text)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    std::wstring line(text.c_str(), text.Length());
    line += L"\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, line.c_str(), DWORD(line.size()), &written, nullptr);
        return;
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), &utf8[0], bytes, nullptr, nullptr);
    WriteFile(out, utf8.data(), DWORD(utf8.size()), &written, nullptr);
}

void Print(const wchar_t* text)
{
    Print(QLXString(text));
}

QLXString Load(UINT id, bool substitute = false)
{
    return LoadResourceString(QLX::GetModuleInstance(), id, substitute);
}

} // namespace

int main()
{
    Print(L"Vireo foundation demonstration");
    Print(L"");

    Print(L"Resource strings of the module:");
    for (UINT id : {IDS_LOADFAIL_TEXT, IDS_INTERNAL_ERROR_TEXT, IDS_SAMPLING_TEXT, IDS_HELP_BUTTON_HINT})
        Print(Load(id));
    Print(L"");

    Print(L"Product words, loaded without and with substitution:");
    Print(Load(IDS_DEMO_PRODUCT_LINE, false));
    Print(Load(IDS_DEMO_PRODUCT_LINE, true));
    Print(L"");

    Print(L"Format streams:");
    for (int output = 1; output <= 2; ++output) {
        QLX::OFormatStringStream name(Load(IDS_ANALOG_OUTPUT_N));
        name << output;
        Print(name.TakeString());
    }
    {
        QLX::OFormatStringStream name(Load(IDS_DIGITAL_OUTPUT_N));
        name << 1;
        Print(name.TakeString());
    }
    {
        QLX::OFormatStringStream caption(Load(IDS_DIALOG_CAPTION));
        caption << Load(IDS_NO_DEVICE);
        Print(caption.TakeString());
    }
    {
        QLX::OFormatStringStream range(Load(IDS_DEMO_RANGE));
        range << 4 << 10 << 0.3;
        Print(range.TakeString());
    }
    {
        QLX::OFormatStringStream device(Load(IDS_UNSUPPORTED_DEVICE_TEXT));
        device << L"Korvane 2/26";
        Print(device.TakeString());
    }
    {
        QLX::OStringStream text;
        text << L"Composed in a string stream: " << 3 << L" rules, " << 0.25 << L" s hold-off";
        Print(text.TakeString());
    }
    return 0;
}
