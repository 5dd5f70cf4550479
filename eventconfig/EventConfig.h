#pragma once
// The user's online event settings: one record per output of the recording unit,
// each with its pulse settings and up to four threshold rules on the inputs.

#include <string>
#include <vector>

struct IRecordingUnit;

namespace OnlineEvents {
class SettingsTextReader;
}

// One condition: input Input goes above or below Level, with a hysteresis.
struct OnlineEventRule {
    int Input = 0;
    bool Above = true;
    double Hysteresis = 5.0; // percent of the input's full-scale range
    double Level = 0.0;      // percent of the input's full-scale range
};

// One output: whether it is generated, its pulse shape and the rules that trigger it.
struct OnlineEvent {
    // The nine "settings", copied as one block by CopySettingsFrom.
    bool On = false;
    double PulseDuration = 0.001; // seconds
    double PulseDelay = 0.0;      // seconds
    bool LimitedDuration = false;
    bool LimitedNumPulses = false;
    int PulseNumLimit = 1;
    bool RetriggerHoldoff = false;
    double RetriggerHoldoffTime = 0.0; // seconds
    bool All = true;                   // all rules must hold, else any

    std::vector<OnlineEventRule> Rules;
    int Output = 0; // 1, 2, ... analog; -1, -2, ... digital
    std::wstring Name;

    void CopySettingsFrom(const OnlineEvent& other);
};

// The whole configuration: analog records first, then digital ones, each part in
// ascending magnitude of output number.
class EventConfig {
    std::vector<OnlineEvent> events_;

public:
    static constexpr int MaxRules = 4;
    // A settings text is data from a file; no unit has anywhere near this many outputs.
    static constexpr int MaxOutputs = 1024;

    int DigitalOutputCount = 0;
    int AnalogOutputCount = 0;
    int InputCount = 0; // set only from the unit, never written to text

    int GetCount() const;
    int GetRuleCount(int output) const;
    OnlineEvent& GetEvent(int output);
    const OnlineEvent& GetEvent(int output) const;

    void SetOutputCounts(int analogCount, int digitalCount);
    void AddDefaultRule();
    bool CanInsertRule(int output) const;
    bool CanDeleteRule(int output) const;
    // Inserts a default rule behind afterRule (-1: at the front).
    void InsertRule(int output, int afterRule);
    void DeleteRule(int output, int rule);
    void SetRule(int output, int rule, const OnlineEventRule& value);
    // Record index of the output number, or -1.
    int FindOutput(int outputNumber) const;
    void InsertEvent(int outputNumber);
    void CopyFrom(const EventConfig& source, bool createMissing);
    bool InitFromDevice(IRecordingUnit* unit);

    bool Serialize(std::string& text) const;
    bool Parse(const std::string& text);

    // Display names; the analog one depends on the current analog count.
    std::wstring AnalogOutputName(int number) const;
    static std::wstring DigitalOutputName(int magnitude);

private:
    OnlineEvent MakeRecord(int outputNumber) const;
    int FindOutputFrom(int hint, int outputNumber) const;
    // One output block of the text form, the block-th of those declared.
    void ReadBlock(OnlineEvents::SettingsTextReader& in, int block);
};
