#pragma once
// The module's document: one per host document. It keeps the online event
// configuration, saves it with the host document and hands it to the recording
// unit as output records.

#include "dialog/DetectorDocument.h"
#include "eventconfig/EventConfig.h"
#include "eventconfig/PersistStreamSettings.h"
#include "extension/KXFDocument.h"
#include "extension/KXFDocumentClass.h"
#include "hostapi/OnlineEvents.h"

#include <memory>

namespace OnlineEvents {

class Doc : public VarnChildDocument, public DetectorDocument {
public:
    Doc(IUnknown* owner, IUnknown* classObject);
    // As the document class creates it.
    Doc(IUnknown* owner, KXFDocumentClassBase* documentClass) : Doc(owner, static_cast<ICustomDocClass*>(documentClass))
    {}
    ~Doc() override;

    KXF_DECLARE_EVENT_TABLE()

    // Identifier groups shifted left by 16, each asked for once per process.
    static DWORD DocumentGroup();
    static DWORD UnitEventGroup();
    static DWORD DeviceEventGroup();

    // Hands out the IPersistStream for flag 0 and kind 2; 1 and nothing otherwise.
    HRESULT STDMETHODCALLTYPE QueryPersistence(DWORD flag, DWORD kind, IUnknown** persistence, DWORD* extra) override;

    bool IsFeatureSupported();
    // One record per output of the unit; false without a unit that takes online
    // events, or when any record was refused.
    static bool ApplyToUnit(const EventConfig& configuration, IRecordingUnit* unit);
    void AttachUnit();
    bool GetMasterDeviceName(QLXString& name) override;

    // What the persistence uses.
    static CLSID ClassId() { return CLSID_OnlineEventsDocument; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    EventConfig& Configuration() { return *configuration_; }
    bool HasRecordingUnit() const { return unit_ != nullptr; }
    bool ApplyConfiguration() { return ApplyToUnit(*configuration_, unit_.get()); }
    HWND MessageOwner();

    IPersistStream* Persistence() { return &persistence_; }
    bool PersistenceAttached() const { return persistenceAttached_; }
    IRecordingUnit* RecordingUnit() const override { return unit_.get(); }

    // Handlers of the dispatch table.
    void OnSetupExecute();
    void OnSetupUpdate(IKXFCommandState* state);
    void OnUnitAttached();
    void OnOutputsRestart();
    void OnOutputsStop();
    void OnUnitSettingsChanged(BYTE flag);
    LONG OnRunSetup();
    LONG OnApplySettings(const QLXString& text);

private:
    // Only inside a handler's catch: what it caught goes to the start-up log, whatever the
    // user is shown, so that no failure ends without a trace.
    static void LogFailure(const wchar_t* handler);
    void RegisterPersistence();
    // The unit's online event control, or null.
    ComHeld<IOnlineEventControl> Control() const;
    void ShowMessage(UINT textId, UINT captionId, UINT style);
    // The setup run behind the run-setup message (in OnlineEventsSetup.cpp).
    void RunSetup();
    void ShowUnsupportedDevice();
    // Runs the dialog on the working copy; true when it ended with OK.
    bool RunDialog(EventConfig& working, const OutputLimits& limits);
    // The apply-settings message's send status.
    HRESULT SendSettings(const EventConfig& working);

    PersistStreamSettings<Doc> persistence_;
    bool persistenceAttached_ = false;
    bool modified_ = false;
    std::unique_ptr<EventConfig> configuration_;
    ComHeld<IDeviceObject> unitObject_;
    ComHeld<IRecordingUnit> unit_;
};

} // namespace OnlineEvents
