#pragma once
// Fonts owned by an object. TGadgetWindowFont is the small user-interface font that
// tool bars, status bars and pop-ups use: the system's message font, optionally at
// another point size.

#include "winlib/TGdi.h"

#include <windows.h>

class TFont {
public:
    explicit TFont(const LOGFONTW& description);
    virtual ~TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    // The font made, or the stock interface font when it could not be made.
    HFONT GetHandle() const;
    operator HFONT() const { return GetHandle(); }
    LOGFONTW GetObject() const;
    // Height of the font's characters in pixels (ascent plus descent).
    int GetHeight() const;

private:
    TFontHandle made_;
};

class TGadgetWindowFont : public TFont {
public:
    // pointSize 0 keeps the system's size.
    explicit TGadgetWindowFont(int pointSize = 0, bool bold = false, bool italic = false);

    static LOGFONTW Describe(int pointSize, bool bold, bool italic);
};
