#pragma once
// The preview's picture: one panel per watched input with its signal, thresholds
// and hysteresis bands, one lane per output that is on with its activity, a shared
// time axis and a legend in the words of the setup dialog.

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <string>
#include <utility>
#include <vector>

namespace VireoHost {

// A rule as the plot shows it, in the watched input's own unit.
struct PlotRule {
    int input; // 1, 2, ...
    bool above;
    double level; // the level the rule is set to
    double lower; // the band: lower to upper
    double upper;
};

struct PlotOutput {
    std::string name; // "A1"
    bool fixedWidth;  // pulses of a fixed width ("goes"), else a level ("is")
    bool all;
    double width; // seconds
    double delay;
    double holdoff;
    long pulseLimit; // 0: none
    std::vector<PlotRule> rules;
    std::vector<std::pair<double, double>> activity; // seconds
};

struct PlotInput {
    int number; // 1, 2, ...
    std::wstring unit;
    std::vector<double> values; // as the unit sees them, in the input's own unit
};

struct PreviewPicture {
    std::wstring title;
    double rate = 1.0;
    size_t count = 0;
    std::vector<PlotInput> inputs;
    std::vector<PlotOutput> outputs;
};

// The legend line of a rule: "Input 2 goes above 2.5 V".
std::wstring RuleWords(const PlotRule& rule, bool fixedWidth, const std::wstring& unit);
// The legend line of an output: what it gives and when.
std::wstring OutputWords(const PlotOutput& output);
// The colour of the output in place `index` of the picture.
Gdiplus::Color OutputColor(size_t index);

// GDI+ for the life of the object.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

// Where the parts of the picture go, for a picture `width` pixels wide.
struct PlotLayout {
    int width;
    int left; // the plotting area, shared by panels and lanes
    int right;
    int top; // of the first panel
    int panelHeight;
    int laneHeight;
    int axisTop;
    int legendTop;
    int height;
    int TimeX(double seconds, double span) const;
    int PanelTop(size_t panel) const { return top + static_cast<int>(panel) * panelHeight; }
    int LaneTop(size_t lane, size_t panels) const
    {
        return top + static_cast<int>(panels) * panelHeight + static_cast<int>(lane) * laneHeight;
    }
};
PlotLayout LayoutFor(const PreviewPicture& picture, int width);

// Draws the whole picture into `graphics` (GDI+ must be running).
void DrawPreview(Gdiplus::Graphics& graphics, const PreviewPicture& picture, const PlotLayout& layout);
// Draws and saves it as a PNG file; false with a reason.
bool SavePreviewPng(const PreviewPicture& picture, const std::wstring& path, std::wstring& error);

} // namespace VireoHost
