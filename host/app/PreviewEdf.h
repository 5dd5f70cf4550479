#pragma once
// Recordings in EDF and EDF+ and in BDF, their 24-bit form, for the preview.

#include "PreviewSignals.h"

#include <memory>
#include <string>
#include <vector>

namespace VireoHost {

// Signal k feeds input k (annotation signals skipped); digital values become physical
// ones with the header's ranges. Volts of one prefix (V, mV, uV or µV) become the
// input's own unit when that is a volt too; any other dimension is taken as the
// input's unit. Signals beyond the unit's inputs are left out, which `note` says. All
// signals used must share one sample rate. A header that is cut short, lies about
// the sizes or announces no record count yet is refused with what is wrong.
SignalResult OpenEdfSignal(std::unique_ptr<ByteInput> input, const std::vector<std::wstring>& inputUnits,
                           std::unique_ptr<SignalSource>& source, std::wstring& note);

} // namespace VireoHost
