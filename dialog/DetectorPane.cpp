#include "dialog/DetectorPane.h"

#include "dialog/DetectorDialog.h"

namespace OnlineEvents {

DEFINE_RESPONSE_TABLE(DetectorPane, QLX::DialogBase,
                      EV_MESSAGE(WM_ERASEBKGND, EvEraseBkgnd),
                      EV_MESSAGE(WM_CTLCOLORSTATIC, EvCtlColorStatic))

DetectorPane::DetectorPane(DetectorDialog& dialog, int templateId, TModule* module)
    : QLX::DialogBase(&dialog, templateId, module), dialog_(dialog)
{
}

LRESULT DetectorPane::EvEraseBkgnd(WPARAM wParam, LPARAM)
{
    if (dialog_.ErasePane(GetHandle(), reinterpret_cast<HDC>(wParam)))
        return 1;
    return DefaultProcessing();
}

LRESULT DetectorPane::EvCtlColorStatic(WPARAM wParam, LPARAM lParam)
{
    if (HBRUSH brush = dialog_.PaneStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(brush);
    return DefaultProcessing();
}

} // namespace OnlineEvents
