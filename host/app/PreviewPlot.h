#pragma once
// The preview's picture: one panel per watched input with its signal, thresholds
// and hysteresis bands, one lane per output that is on with its activity, a shared
// time axis and a legend in the words of the setup dialog.

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
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
    std::vector<uint8_t> active; // per pixel column: 1 where the output is on
};

// Marks the columns during which the output is on from `start` to `end` seconds of a
// picture spanning `span` seconds; a stretch shorter than a column still shows.
void MarkActivity(PlotOutput& output, double start, double end, double span, int columns);

// A signal as the picture keeps it, whatever its length: every sample while there are
// at most two per pixel column, otherwise each column's least and greatest sample.
class PlotTrace {
public:
    PlotTrace(size_t count, int columns);
    // The next samples, in order.
    void Add(const double* values, size_t n);
    bool Dense() const { return dense_; }
    // Sparse: the samples.
    const std::vector<double>& Samples() const { return samples_; }
    // Dense: per column the extreme that came first, then the other.
    size_t Columns() const { return columnLow_.size(); }
    double ColumnFirst(size_t c) const { return lowFirst_[c] ? columnLow_[c] : columnHigh_[c]; }
    double ColumnSecond(size_t c) const { return lowFirst_[c] ? columnHigh_[c] : columnLow_[c]; }
    size_t Count() const { return count_; }
    bool Empty() const { return added_ == 0; }
    double Low() const { return low_; }
    double High() const { return high_; }

private:
    size_t count_;
    size_t columns_;
    bool dense_;
    size_t added_ = 0;
    size_t column_ = 0;
    size_t boundary_ = 0; // the first sample of the next column
    double low_ = 0.0;
    double high_ = 0.0;
    std::vector<double> samples_;
    std::vector<double> columnLow_;
    std::vector<double> columnHigh_;
    std::vector<uint8_t> lowFirst_;
};

struct PlotInput {
    int number; // 1, 2, ...
    std::wstring unit;
    PlotTrace trace; // as the unit sees it, in the input's own unit
};

// The width of the saved picture, and the pixel columns of its plotting area for a width.
constexpr int PlotWidth = 1200;
int PlotColumns(int width);

struct PreviewPicture {
    std::wstring title;
    double rate = 1.0;
    size_t count = 0;
    int columns = 0; // of the traces and activity
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

// The fonts of the picture: the first of the preferred families the system has, else
// its generic sans-serif family, else any family it has; none at all leaves the
// picture without text.
class PlotFonts {
public:
    explicit PlotFonts(const std::vector<std::wstring>& preferred = {L"Tahoma", L"Microsoft Sans Serif", L"Arial"});
    // With `systemFallbacks` false only the preferred families are tried.
    PlotFonts(const std::vector<std::wstring>& preferred, bool systemFallbacks);
    bool HasText() const { return text_ != nullptr; }
    const Gdiplus::Font* Text() const { return text_.get(); }
    const Gdiplus::Font* Title() const { return title_.get(); }
    // The family chosen; empty when there is none.
    std::wstring FamilyName() const;

private:
    void Choose(const std::vector<std::wstring>& preferred, bool systemFallbacks);
    std::unique_ptr<Gdiplus::FontFamily> family_;
    std::unique_ptr<Gdiplus::Font> text_;
    std::unique_ptr<Gdiplus::Font> title_;
};

// Draws the whole picture into `graphics` (GDI+ must be running).
void DrawPreview(Gdiplus::Graphics& graphics, const PreviewPicture& picture, const PlotLayout& layout);
void DrawPreview(Gdiplus::Graphics& graphics, const PreviewPicture& picture, const PlotLayout& layout,
                 const PlotFonts& fonts);
// Draws and saves it as a PNG file; false with a reason.
bool SavePreviewPng(const PreviewPicture& picture, const std::wstring& path, std::wstring& error);

} // namespace VireoHost
