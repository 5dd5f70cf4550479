#pragma once
// What the setup dialog asks of the document it edits the settings for: the master
// device's name for its caption and the recording unit for the inputs' ranges. The
// online-events document implements it; tests can give a dialog a document of their own.

#include "hostapi/HostInterfaces.h"
#include "foundation/QLXString.h"

namespace OnlineEvents {

class DetectorDocument {
public:
    // True when the unit reported its name.
    virtual bool GetMasterDeviceName(QLXString& name) = 0;
    // The recording unit without an added reference; null when there is none.
    virtual IRecordingUnit* RecordingUnit() const = 0;

protected:
    ~DetectorDocument() = default;
};

} // namespace OnlineEvents
