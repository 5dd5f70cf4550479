#include "winlib/TFont.h"

#include <cwchar>

TFont::TFont(const LOGFONTW& description) : handle_(CreateFontIndirectW(&description))
{
    if (!handle_)
        handle_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

TFont::~TFont()
{
    if (handle_ && handle_ != GetStockObject(DEFAULT_GUI_FONT))
        DeleteObject(handle_);
}

LOGFONTW TFont::GetObject() const
{
    LOGFONTW description{};
    ::GetObjectW(handle_, sizeof(description), &description);
    return description;
}

int TFont::GetHeight() const
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, handle_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
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
    if (pointSize > 0) {
        HDC screen = GetDC(nullptr);
        description.lfHeight = -MulDiv(pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
    }
    if (bold)
        description.lfWeight = FW_BOLD;
    if (italic)
        description.lfItalic = TRUE;
    return description;
}
