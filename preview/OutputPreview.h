#pragma once
// The COM face of the detection model that the host reaches through the contract.

#include "hostapi/Preview.h"

namespace OnlineEvents {

// The process-wide preview object: stateless, so one serves every caller; it is
// never deleted, so its reference count only answers.
class OutputPreview : public IVireoOutputPreview {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE Describe(const BYTE* records, ULONG recordCount, VireoPreviewOutput* outputs,
                                       VireoPreviewRule* rules, ULONG* ruleCount) override;
    HRESULT STDMETHODCALLTYPE Run(const BYTE* records, ULONG recordCount, const LONG* samples, ULONG inputCount,
                                  ULONG sampleCount, double sampleRate, VireoPreviewActivity** activities,
                                  ULONG* activityCount) override;
    HRESULT STDMETHODCALLTYPE Start(const BYTE* records, ULONG recordCount, ULONG inputCount, double sampleRate,
                                    IVireoPreviewRun** run) override;

    static OutputPreview& Instance();
};

// Offers the preview object as the class object of CLSID_VireoOutputPreview, once
// per process. Without COM on the thread it is not offered.
HRESULT RegisterOutputPreview();
// Withdraws that offer; the module's code must not stay registered once it is unloaded.
void RevokeOutputPreview();

} // namespace OnlineEvents
