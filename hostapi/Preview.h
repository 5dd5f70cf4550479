#pragma once
// The output preview: what the recording unit would output for the records it is
// sent and sampled input signals. Vireo.dll registers one object for it with COM
// when the host calls DllRegisterClassObjects; the host finds it with
// CoGetClassObject(CLSID_VireoOutputPreview, CLSCTX_INPROC_SERVER, nullptr,
// IID_IVireoOutputPreview, ...). The object keeps no state between calls.
//
// Records are the 112-byte output records as the unit receives them, back to back.
// Samples are in unit counts: full scale (the input's range) is
// VIREO_PREVIEW_FULL_SCALE counts.

#include <windows.h>
#include <unknwn.h>

#include "hostapi/Guid.h"

// chosen
VIREO_GUID(CLSID_VireoOutputPreview, 0xB4BE0119, 0xFEC9, 0x44A2, 0x83, 0xD0, 0xA8, 0x52, 0xB1, 0x3E, 0xF8, 0xA4);
VIREO_GUID(IID_IVireoOutputPreview, 0x918B7DC3, 0xD6E1, 0x4A18, 0xB9, 0x5C, 0x20, 0x41, 0x13, 0x29, 0x54, 0x38);
VIREO_GUID(IID_IVireoPreviewRun, 0xA1DE4FB3, 0xEE44, 0x4B68, 0xA6, 0x8A, 0x2B, 0xCA, 0x6D, 0x95, 0x4D, 0xAF);

#define VIREO_PREVIEW_RECORD_SIZE 112
#define VIREO_PREVIEW_FULL_SCALE 32000

// One output as the preview reads its record.
struct VireoPreviewOutput {
    LONG output;     // 1, 2, ... analog; -1, -2, ... digital
    ULONG mode;      // 0 off, 1 all rules, 2 any rule
    LONG pulseLimit; // 0: no limit
    LONG ruleCount;  // used rule slots
    double width;    // seconds; 0: the output is on while the condition holds
    double delay;    // seconds
    double holdoff;  // seconds; 0: none
};

// One used rule slot.
struct VireoPreviewRule {
    LONG record;     // index of the record the slot belongs to
    LONG slot;       // 0 to 3
    LONG input;      // zero-based input watched
    LONG above;      // 1 above, 0 below
    LONG threshold;  // counts: the upper edge of the band
    LONG hysteresis; // counts: the band is threshold - hysteresis to threshold
};

// One stretch of time during which an output is on.
struct VireoPreviewActivity {
    LONG record; // index of the record
    LONG output;
    double start; // seconds from the first sample
    double end;
};

// One run over signals that arrive block by block; it keeps only the rules' and
// outputs' state and the activities found, so a recording of any length fits.
struct IVireoPreviewRun : public IUnknown {
    // The next sampleCount samples of every input: inputCount channels of sampleCount
    // samples each, one channel after the other.
    virtual HRESULT STDMETHODCALLTYPE Feed(const LONG* samples, ULONG sampleCount) = 0;
    // Ends the signals: the activities of the whole run, in order of start time,
    // allocated with CoTaskMemAlloc. The run takes no samples after it.
    virtual HRESULT STDMETHODCALLTYPE Finish(VireoPreviewActivity** activities, ULONG* activityCount) = 0;
};

struct IVireoOutputPreview : public IUnknown {
    // How the preview reads the records: outputs gets one entry per record, rules up
    // to four per record (ruleCount returns how many were written). E_INVALIDARG for
    // a record whose size fields are not 112 and 4 x 16.
    virtual HRESULT STDMETHODCALLTYPE Describe(const BYTE* records, ULONG recordCount, VireoPreviewOutput* outputs,
                                               VireoPreviewRule* rules, ULONG* ruleCount) = 0;
    // Runs the records over the signals: samples holds inputCount channels of
    // sampleCount samples each, one channel after the other. Inputs a rule watches
    // beyond inputCount read 0. The activities, in order of start time, are
    // allocated with CoTaskMemAlloc; the caller frees them with CoTaskMemFree.
    virtual HRESULT STDMETHODCALLTYPE Run(const BYTE* records, ULONG recordCount, const LONG* samples, ULONG inputCount,
                                          ULONG sampleCount, double sampleRate, VireoPreviewActivity** activities,
                                          ULONG* activityCount) = 0;
    // Starts a run of the records over inputCount inputs sampled at sampleRate whose
    // samples are fed in blocks. E_INVALIDARG as Describe, or for a rate not above 0.
    virtual HRESULT STDMETHODCALLTYPE Start(const BYTE* records, ULONG recordCount, ULONG inputCount, double sampleRate,
                                            IVireoPreviewRun** run) = 0;
};
