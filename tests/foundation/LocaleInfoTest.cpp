// The regional-settings record, observed for real: each case changes the user's
// settings through the system, builds the record in a fresh copy of this program
// (the record is built once per process) and reads back what that child saw,
// including every message box it showed.

#include "support/ChildProcess.h"
#include "support/RegionalSettings.h"
#include "foundation/LocaleInfo.h"
#include "foundation/TimeGet.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <clocale>
#include <ctime>
#include <iomanip>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using VireoTest::UserRegionalSettings;

namespace {

constexpr wchar_t ScenarioVariable[] = L"VIREO_LOCALE_SCENARIO";
constexpr wchar_t ReportVariable[] = L"VIREO_LOCALE_REPORT";

// Report entries: key and value joined by a unit separator, entries ended by a
// record separator, so texts with line breaks need no escaping.
constexpr wchar_t KeyEnd = L'\x1f';
constexpr wchar_t EntryEnd = L'\x1e';

// What the child does.

std::wstring g_childLines;

void Put(const std::wstring& key, const std::wstring& value)
{
    g_childLines += key + KeyEnd + value + EntryEnd;
}

// Set when a box's activation asks for the record again, as a message handler may.
bool g_askAgainOnBox = false;

// Records each message box and presses its OK button.
HWND g_box;
LRESULT CALLBACK CatchMessageBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[32] = {};
    if (code == HCBT_ACTIVATE && GetClassNameW(window, className, 32) && std::wstring(className) == L"#32770") {
        wchar_t caption[512] = {};
        GetWindowTextW(window, caption, 512);
        Put(L"box.caption", caption);
        if (g_askAgainOnBox)
            Put(L"box.askedAgain", LocaleInfo::Get().DecimalSeparator());
        g_box = window;
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    } else if (code == HCBT_DESTROYWND && window == g_box) {
        // The text is in place only once the box has been set up.
        wchar_t text[1024] = {};
        GetDlgItemTextW(window, 0xFFFF, text, 1024);
        Put(L"box.text", text);
        g_box = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring Written(double value)
{
    std::wostringstream out;
    out << value;
    return out.str();
}

std::wstring NarrowToWide(const char* text)
{
    return text ? std::wstring(text, text + strlen(text)) : L"(null)";
}

// Reads one field through a wide stream that uses the global locale.
std::wstring ReadField(wchar_t field, const wchar_t* text, int dayOfMonth)
{
    using Iter = std::istreambuf_iterator<wchar_t>;
    std::wistringstream in(text);
    in.imbue(std::locale());
    const auto& facet = std::use_facet<std::time_get<wchar_t>>(in.getloc());
    std::tm t{};
    t.tm_mday = dayOfMonth;
    std::ios_base::iostate err = std::ios_base::goodbit;
    Iter end;
    if (field == L'y')
        end = facet.get_year(Iter(in), Iter(), in, err, &t);
    else if (field == L'd')
        end = facet.get_date(Iter(in), Iter(), in, err, &t);
    else
        end = facet.get_time(Iter(in), Iter(), in, err, &t);
    if (err & std::ios_base::failbit)
        return L"fail";
    std::wstring result;
    if (field == L'y')
        result = std::to_wstring(t.tm_year + 1900);
    else if (field == L'd')
        result = std::to_wstring(t.tm_year + 1900) + L'-' + std::to_wstring(t.tm_mon + 1) + L'-' +
                 std::to_wstring(t.tm_mday);
    else
        result = std::to_wstring(t.tm_hour) + L':' + std::to_wstring(t.tm_min) + L':' + std::to_wstring(t.tm_sec);
    const std::wstring rest(end, Iter());
    return rest.empty() ? result : result + L" rest " + rest;
}

void BuildAndDescribe()
{
    Put(L"crt.before", NarrowToWide(std::setlocale(LC_NUMERIC, nullptr)));
    const LocaleInfo& info = LocaleInfo::Get();
    Put(L"installed", info.Installed() ? L"1" : L"0");
    Put(L"decimal", info.DecimalSeparator());
    Put(L"decimalA", NarrowToWide(info.DecimalSeparatorA()));
    Put(L"thousands", info.ThousandsSeparator());
    Put(L"date", info.DateSeparator());
    Put(L"list", info.ListSeparator());
    Put(L"shortDate", info.ShortDateFormat().c_str());
    Put(L"longDate", info.LongDateFormat().c_str());
    Put(L"timeFormat", info.TimeFormat().c_str());
    Put(L"crt.numeric", NarrowToWide(std::setlocale(LC_NUMERIC, nullptr)));
    Put(L"crt.time", NarrowToWide(std::setlocale(LC_TIME, nullptr)));
    Put(L"global.isRecorded", info.Locale() == std::locale() ? L"1" : L"0");

    Put(L"write.12.5", Written(12.5));
    {
        std::wostringstream out;
        out << 1000000 << L' ' << std::fixed << std::setprecision(1) << 1234567.5;
        Put(L"write.million", out.str());
    }
    {
        std::wistringstream in(L"12,5");
        double value = 0;
        in >> value;
        std::wostringstream out;
        out.imbue(std::locale::classic());
        out << value;
        Put(L"read.12,5", out.str());
    }

    const auto* facet = dynamic_cast<const QLX::time_getEx*>(&std::use_facet<std::time_get<wchar_t>>(std::locale()));
    Put(L"facet.ours", facet ? L"1" : L"0");
    for (const wchar_t* year : {L"34", L"35", L"2035", L"2036"})
        Put(std::wstring(L"year.") + year, ReadField(L'y', year, 0));
    Put(L"date.12.31.34", ReadField(L'd', L"12.31.34", 0));
    Put(L"time.13:45:10", ReadField(L't', L"13:45:10", 1));
    Put(L"time.5:30,25", ReadField(L't', L"5:30,25", 0));
}

int RunChildScenario(const std::wstring& scenario, const std::wstring& reportPath)
{
    HHOOK hook = SetWindowsHookExW(WH_CBT, CatchMessageBoxes, nullptr, GetCurrentThreadId());
    if (scenario == L"crt-preset") {
        std::setlocale(LC_NUMERIC, "English");
        BuildAndDescribe();
    } else if (scenario == L"build") {
        BuildAndDescribe();
    } else if (scenario == L"ask-again") {
        g_askAgainOnBox = true;
        BuildAndDescribe();
    } else {
        Put(L"error", L"unknown scenario " + scenario);
    }
    UnhookWindowsHookEx(hook);

    HANDLE file = CreateFileW(reportPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    WriteFile(file, g_childLines.data(), static_cast<DWORD>(g_childLines.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    return 0;
}

// A copy of this program started for a scenario runs it before any test and ends.
struct ChildEntry {
    ChildEntry()
    {
        wchar_t scenario[64] = {};
        wchar_t report[MAX_PATH] = {};
        if (GetEnvironmentVariableW(ScenarioVariable, scenario, 64) &&
            GetEnvironmentVariableW(ReportVariable, report, MAX_PATH))
            ExitProcess(static_cast<UINT>(RunChildScenario(scenario, report)));
    }
} g_childEntry;

// What the test does.

struct ChildReport {
    std::vector<std::pair<std::wstring, std::wstring>> entries;

    std::vector<std::wstring> All(const std::wstring& key) const
    {
        std::vector<std::wstring> values;
        for (const auto& e : entries)
            if (e.first == key)
                values.push_back(e.second);
        return values;
    }

    std::wstring operator[](const std::wstring& key) const
    {
        const auto values = All(key);
        return values.empty() ? L"(missing)" : values.front();
    }
};

ChildReport RunScenario(const wchar_t* scenario)
{
    ChildReport report;
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    wchar_t tempDir[MAX_PATH] = {};
    wchar_t reportPath[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempDir);
    GetTempFileNameW(tempDir, L"vlc", 0, reportPath);

    SetEnvironmentVariableW(ScenarioVariable, scenario);
    SetEnvironmentVariableW(ReportVariable, reportPath);
    VireoTest::ChildOptions options;
    options.inProgramFolder = false;
    const VireoTest::ChildResult child = VireoTest::RunChild(exe, L"", options);
    SetEnvironmentVariableW(ScenarioVariable, nullptr);
    SetEnvironmentVariableW(ReportVariable, nullptr);
    if (!child.started) {
        ADD_FAILURE() << "cannot start the child, error " << GetLastError();
        DeleteFileW(reportPath);
        return report;
    }
    if (!child.finished)
        ADD_FAILURE() << "the child did not finish";
    EXPECT_EQ(0u, child.exitCode);

    std::string bytes;
    HANDLE file = CreateFileW(reportPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
            bytes.append(buffer, read);
        CloseHandle(file);
    }
    DeleteFileW(reportPath);

    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    for (size_t begin = 0, end; (end = text.find(EntryEnd, begin)) != std::wstring::npos; begin = end + 1) {
        const size_t keyEnd = text.find(KeyEnd, begin);
        report.entries.emplace_back(text.substr(begin, keyEnd - begin), text.substr(keyEnd + 1, end - keyEnd - 1));
    }
    EXPECT_EQ(L"(missing)", report[L"error"]);
    return report;
}

// Runs a scenario in a child while the user's separators are the given ones.
ChildReport RunWithSettings(const wchar_t* decimal, const wchar_t* thousands, const wchar_t* date,
                            const wchar_t* list, const wchar_t* scenario = L"build")
{
    UserRegionalSettings settings;
    settings.Set(decimal, thousands, date, list);
    return RunScenario(scenario);
}

std::wstring HostText(UINT id)
{
    return LoadResourceString(GetModuleHandleW(nullptr), id, true).c_str();
}

std::vector<std::wstring> Boxes(const ChildReport& report)
{
    const auto captions = report.All(L"box.caption");
    const auto texts = report.All(L"box.text");
    EXPECT_EQ(captions.size(), texts.size());
    for (const auto& caption : captions) {
        EXPECT_EQ(HostText(20007), caption);
        // Host texts are loaded with the product words replaced.
        EXPECT_EQ(std::wstring::npos, caption.find(L"VARN")) << caption;
    }
    return texts;
}

std::wstring UserSetting(LCTYPE type)
{
    wchar_t value[128] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, value, 128);
    return value;
}

TEST(LocaleInfoUserSettings, CommaDecimalWritesNumbersWithoutGrouping)
{
    ChildReport report;
    std::wstring shortDate, longDate, timeFormat;
    {
        UserRegionalSettings settings;
        settings.Set(L",", L".", L"/", L";");
        report = RunScenario(L"build");
        shortDate = UserSetting(LOCALE_SSHORTDATE);
        longDate = UserSetting(LOCALE_SLONGDATE);
        timeFormat = UserSetting(LOCALE_STIMEFORMAT);
    }
    EXPECT_TRUE(Boxes(report).empty());
    EXPECT_EQ(L"1", report[L"installed"]);
    EXPECT_EQ(L",", report[L"decimal"]);
    EXPECT_EQ(L",", report[L"decimalA"]);
    EXPECT_EQ(L".", report[L"thousands"]);
    EXPECT_EQ(L"12,5", report[L"write.12.5"]);
    EXPECT_EQ(L"1000000 1234567,5", report[L"write.million"]);
    EXPECT_EQ(L"12.5", report[L"read.12,5"]);
    EXPECT_EQ(L"1", report[L"global.isRecorded"]);
    EXPECT_EQ(L";", report[L"list"]);
    EXPECT_FALSE(shortDate.empty());
    EXPECT_EQ(shortDate, report[L"shortDate"]);
    EXPECT_EQ(longDate, report[L"longDate"]);
    EXPECT_EQ(timeFormat, report[L"timeFormat"]);
}

TEST(LocaleInfoUserSettings, CRuntimeKeepsPointDecimalForItsNumbers)
{
    const ChildReport report = RunWithSettings(L",", L".", L"/", L";");
    EXPECT_EQ(L"C", report[L"crt.before"]);
    // The standard library here cannot build the user's locale, so the C runtime
    // is given the English one and only the streams carry the user's comma.
    EXPECT_EQ(0u, report[L"crt.numeric"].find(L"English")) << report[L"crt.numeric"];
    EXPECT_EQ(0u, report[L"crt.time"].find(L"English")) << report[L"crt.time"];
}

TEST(LocaleInfoUserSettings, DateSeparatorEqualToDecimalWarnsOnce)
{
    const ChildReport report = RunWithSettings(L".", L",", L".", L",");
    EXPECT_EQ(std::vector<std::wstring>{HostText(20009)}, Boxes(report));
    EXPECT_EQ(L"1", report[L"installed"]);
}

TEST(LocaleInfoUserSettings, WarningIsShownAfterBuildingSoItsHandlersMayAskForTheRecord)
{
    const ChildReport report = RunWithSettings(L".", L",", L".", L",", L"ask-again");
    EXPECT_EQ(std::vector<std::wstring>{HostText(20009)}, Boxes(report));
    EXPECT_EQ(std::vector<std::wstring>{L"."}, report.All(L"box.askedAgain"));
}

TEST(LocaleInfoUserSettings, ListSeparatorEqualToDecimalWarns)
{
    const ChildReport report = RunWithSettings(L".", L",", L"/", L".");
    EXPECT_EQ(std::vector<std::wstring>{HostText(20010)}, Boxes(report));
}

TEST(LocaleInfoUserSettings, OnlyTheLastApplicableWarningIsShown)
{
    const ChildReport report = RunWithSettings(L",", L".", L",", L",");
    EXPECT_EQ(std::vector<std::wstring>{HostText(20010)}, Boxes(report));
}

TEST(LocaleInfoUserSettings, TwoCharacterDecimalShowsOnlyItsOwnMessage)
{
    const ChildReport report = RunWithSettings(L".,", L" ", L".,", L".,");
    const auto boxes = Boxes(report);
    ASSERT_EQ(1u, boxes.size());
    std::wstring expected = HostText(20011);
    expected.replace(expected.find(L"%2"), 2, L" 2e 2c");
    expected.replace(expected.find(L"%1"), 2, L".,");
    EXPECT_EQ(expected, boxes[0]);
    // Streams take the first character of the separator.
    EXPECT_EQ(L"12.5", report[L"write.12.5"]);
}

TEST(LocaleInfoUserSettings, UnreadableSettingsShowOneMessageAndInstallNothing)
{
    ChildReport report;
    {
        UserRegionalSettings settings;
        // Longer than the record's eight characters: the read fails.
        settings.Set(LOCALE_SDECIMAL, L"abcdefghijk");
        report = RunScenario(L"build");
    }
    EXPECT_EQ(std::vector<std::wstring>{HostText(20008)}, Boxes(report));
    EXPECT_EQ(L"0", report[L"installed"]);
    EXPECT_EQ(L"C", report[L"crt.numeric"]);
    EXPECT_EQ(L"0", report[L"facet.ours"]);
}

TEST(LocaleInfoUserSettings, PresetCRuntimeNumericLocaleLeavesEverythingAlone)
{
    // Conflicting settings that would otherwise be reported.
    const ChildReport report = RunWithSettings(L",", L".", L",", L",", L"crt-preset");
    EXPECT_TRUE(Boxes(report).empty());
    EXPECT_EQ(L"0", report[L"installed"]);
    EXPECT_NE(L"C", report[L"crt.before"]);
    EXPECT_EQ(report[L"crt.before"], report[L"crt.numeric"]);
    EXPECT_EQ(L"12.5", report[L"write.12.5"]);
    EXPECT_EQ(L"0", report[L"facet.ours"]);
    EXPECT_EQ(L",", report[L"decimal"]);
}

TEST(LocaleInfoUserSettings, InstalledLocaleReadsYearsDatesAndTimes)
{
    const ChildReport report = RunWithSettings(L",", L" ", L".", L";");
    EXPECT_TRUE(Boxes(report).empty());
    EXPECT_EQ(L"1", report[L"facet.ours"]);
    EXPECT_EQ(L"2034", report[L"year.34"]);
    EXPECT_EQ(L"1935", report[L"year.35"]);
    EXPECT_EQ(L"2035", report[L"year.2035"]);
    EXPECT_EQ(L"fail", report[L"year.2036"]);
    EXPECT_EQ(L"2034-12-31", report[L"date.12.31.34"]);
    EXPECT_EQ(L"13:45:10", report[L"time.13:45:10"]);
    EXPECT_EQ(L"0:5:30 rest ,25", report[L"time.5:30,25"]);
}

} // namespace
