#include "winlib/TFont.h"

#include <cwchar>

TFont::TFont(const LOGFONTW& description) : made_(CreateFontIndirectW(&description)) {}

HFONT TFont::GetHandle() const
{
    return made_ ? made_.GetHandle() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LOGFONTW TFont::GetObject() const
{
    LOGFONTW description{};
    ::GetObjectW(GetHandle(), sizeof(description), &description);
    return description;
}

int TFont::GetHeight() const
{
    const TWindowDC screen(nullptr);
    const TSelection font(screen, GetHandle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    return metrics.tmHeight;
}

TGadgetWindowFont::TGadgetWindowFont(int pointSize, bool bold, bool italic) : TFont(Describe(pointSize, bold, italic))
{}

LOGFONTW TGadgetWindowFont::Describe(int pointSize, bool bold, bool italic)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW description{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        description = metrics.lfMessageFont;
    } else {
        description.lfHeight = -11;
        description.lfCharSet = DEFAULT_CHARSET;
        wcscpy(description.lfFaceName, L"MS Shell Dlg");
    }
    if (pointSize > 0)
        description.lfHeight = -MulDiv(pointSize, GetDeviceCaps(TWindowDC(nullptr), LOGPIXELSY), 72);
    if (bold)
        description.lfWeight = FW_BOLD;
    if (italic)
        description.lfItalic = TRUE;
    return description;
}
