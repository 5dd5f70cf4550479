#include "preview/OutputPreview.h"

#include "preview/OutputModel.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

namespace OnlineEvents {
namespace {

static_assert(sizeof(LONG) == sizeof(int32_t), "samples cross the interface as 32-bit counts");

// False when a record cannot be read.
bool ReadRecords(const BYTE* records, ULONG count, std::vector<ModelOutput>& outputs)
{
    outputs.resize(count);
    for (ULONG i = 0; i < count; ++i)
        if (!ReadOutputRecord(records + static_cast<size_t>(i) * VIREO_PREVIEW_RECORD_SIZE, outputs[i]))
            return false;
    return true;
}

VireoPreviewOutput Describe(const ModelOutput& output)
{
    VireoPreviewOutput described{};
    described.output = output.output;
    described.mode = output.mode;
    described.pulseLimit = output.pulseLimit;
    described.ruleCount = static_cast<LONG>(output.rules.size());
    described.width = output.width;
    described.delay = output.delay;
    described.holdoff = output.holdoff;
    return described;
}

// Runs a method's body; no exception leaves it.
template <typename Body>
HRESULT Guarded(Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Hands the activities out in task memory; false when there is none to be had.
bool HandOut(const std::vector<Activity>& found, VireoPreviewActivity** activities, ULONG* activityCount)
{
    if (found.empty())
        return true;
    auto* out = static_cast<VireoPreviewActivity*>(CoTaskMemAlloc(found.size() * sizeof(VireoPreviewActivity)));
    if (!out)
        return false;
    for (size_t i = 0; i < found.size(); ++i)
        out[i] = {static_cast<LONG>(found[i].record), found[i].output, found[i].start, found[i].end};
    *activities = out;
    *activityCount = static_cast<ULONG>(found.size());
    return true;
}

class PreviewRun final : public IVireoPreviewRun {
public:
    PreviewRun(std::vector<ModelOutput> outputs, ULONG inputs, double rate)
        : stream_(std::move(outputs), inputs, rate), inputs_(inputs)
    {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IVireoPreviewRun)) {
            AddRef();
            *object = static_cast<IVireoPreviewRun*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Feed(const LONG* samples, ULONG sampleCount) override
    {
        if (finished_)
            return E_UNEXPECTED;
        if (sampleCount && inputs_ && !samples)
            return E_POINTER;
        return Guarded([&] {
            stream_.Feed(reinterpret_cast<const int32_t*>(samples), sampleCount);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Finish(VireoPreviewActivity** activities, ULONG* activityCount) override
    {
        if (!activities || !activityCount)
            return E_POINTER;
        *activities = nullptr;
        *activityCount = 0;
        if (finished_)
            return E_UNEXPECTED;
        finished_ = true;
        return Guarded([&] { return HandOut(stream_.Finish(), activities, activityCount) ? S_OK : E_OUTOFMEMORY; });
    }

private:
    ModelStream stream_;
    ULONG inputs_;
    bool finished_ = false;
    std::atomic<ULONG> references_{1};
};

} // namespace

OutputPreview& OutputPreview::Instance()
{
    static OutputPreview preview;
    return preview;
}

HRESULT STDMETHODCALLTYPE OutputPreview::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IVireoOutputPreview)) {
        *object = static_cast<IVireoOutputPreview*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE OutputPreview::Describe(const BYTE* records, ULONG recordCount, VireoPreviewOutput* outputs,
                                                  VireoPreviewRule* rules, ULONG* ruleCount)
{
    if (!ruleCount)
        return E_POINTER;
    *ruleCount = 0;
    if (recordCount && (!records || !outputs || !rules))
        return E_POINTER;
    return Guarded([&] {
        std::vector<ModelOutput> read;
        if (!ReadRecords(records, recordCount, read))
            return E_INVALIDARG;
        ULONG written = 0;
        for (ULONG i = 0; i < recordCount; ++i) {
            outputs[i] = OnlineEvents::Describe(read[i]);
            for (const ModelRule& rule : read[i].rules)
                rules[written++] = {static_cast<LONG>(i), rule.slot,      rule.input,
                                    rule.above ? 1 : 0,   rule.threshold, rule.hysteresis};
        }
        *ruleCount = written;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE OutputPreview::Run(const BYTE* records, ULONG recordCount, const LONG* samples,
                                             ULONG inputCount, ULONG sampleCount, double sampleRate,
                                             VireoPreviewActivity** activities, ULONG* activityCount)
{
    if (!activities || !activityCount)
        return E_POINTER;
    *activities = nullptr;
    *activityCount = 0;
    if (inputCount && sampleCount && !samples)
        return E_POINTER;
    // One run fed the whole signal.
    IVireoPreviewRun* run = nullptr;
    HRESULT hr = Start(records, recordCount, inputCount, sampleRate, &run);
    if (SUCCEEDED(hr))
        hr = run->Feed(samples, sampleCount);
    if (SUCCEEDED(hr))
        hr = run->Finish(activities, activityCount);
    if (run)
        run->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE OutputPreview::Start(const BYTE* records, ULONG recordCount, ULONG inputCount,
                                               double sampleRate, IVireoPreviewRun** run)
{
    if (!run)
        return E_POINTER;
    *run = nullptr;
    if (recordCount && !records)
        return E_POINTER;
    if (!(sampleRate > 0.0))
        return E_INVALIDARG;
    return Guarded([&] {
        std::vector<ModelOutput> outputs;
        if (!ReadRecords(records, recordCount, outputs))
            return E_INVALIDARG;
        *run = new PreviewRun(std::move(outputs), inputCount, sampleRate);
        return S_OK;
    });
}

namespace {

std::mutex g_registrationLock;
// The registration of the preview object, 0 while there is none.
DWORD g_registrationCookie = 0;

} // namespace

HRESULT RegisterOutputPreview()
{
    std::lock_guard<std::mutex> guard(g_registrationLock);
    // Offered once per apartment: a second registration would only hide the first.
    IUnknown* offered = nullptr;
    if (SUCCEEDED(CoGetClassObject(CLSID_VireoOutputPreview, CLSCTX_INPROC_SERVER, nullptr, IID_IUnknown,
                                   reinterpret_cast<void**>(&offered))) &&
        offered) {
        offered->Release();
        return S_FALSE;
    }
    // Kept until the module unloads: the host registers the module once, from one apartment.
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(CLSID_VireoOutputPreview, &OutputPreview::Instance(), CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
    if (SUCCEEDED(hr) && !g_registrationCookie)
        g_registrationCookie = cookie;
    return hr;
}

void RevokeOutputPreview()
{
    std::lock_guard<std::mutex> guard(g_registrationLock);
    if (g_registrationCookie)
        CoRevokeClassObject(g_registrationCookie);
    g_registrationCookie = 0;
}

} // namespace OnlineEvents
