#pragma once
// The simulated recording unit's description: its shape, states, output limits
// and input ranges, as read from a unit INI file or the built-in default.

#include <string>
#include <vector>

namespace VireoHost {

struct UnitModel {
    std::wstring name = L"Korvane 8/35";
    // One range text per input, such as "10 V".
    std::vector<std::wstring> inputRanges{L"10 V", L"5 V", L"2 V", L"200 mV"};
    int analogOutputs = 2;
    // Line count of each digital output group.
    std::vector<int> digitalGroups{4, 4};
    bool supported = true;
    bool active = true;
    bool sampling = false;
    double maxPulseDelay = 10.0;
    double maxHoldoff = 10.0;
    bool stimulator = false;
    // Samples per second of every input.
    double sampleRate = 10000.0;
    // Whether the unit offers its online event control and its settings interface.
    bool control = true;
    bool settings = true;
    bool limitsFail = false;
    // The host's setting "qlx\\application\\visible": false keeps the module's hint pop-ups hidden.
    bool applicationVisible = true;

    int DigitalOutputCount() const;
    // The unit's settings text for one input: an XML element whose
    // PhysicalGainIndex child holds the range (left out for the range "-"); empty
    // for an input it lacks.
    std::wstring InputSettingsText(int input) const;
};

// Reads a unit INI file over the defaults. Keys left out keep their default;
// false with a one-line reason when the file is missing or a value is bad.
bool LoadUnitIni(const std::wstring& path, UnitModel& unit, std::wstring& error);

} // namespace VireoHost
