#pragma once
// Base of the setup dialog's panes: a child dialog of the detector dialog that paints
// its background, and its static controls' backgrounds, with the dialog's themed brush.

#include "dialog/DialogBase.h"

namespace OnlineEvents {

class DetectorDialog;

class DetectorPane : public QLX::DialogBase {
public:
    DetectorPane(DetectorDialog& dialog, int templateId, TModule* module);

protected:
    DetectorDialog& dialog_;

private:
    LRESULT EvEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT EvCtlColorStatic(WPARAM wParam, LPARAM lParam);

    DECLARE_RESPONSE_TABLE(DetectorPane)
};

} // namespace OnlineEvents
