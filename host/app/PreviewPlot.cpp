#include "PreviewPlot.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>

namespace VireoHost {

using namespace Gdiplus;

namespace {

constexpr int TitleTop = 10;
constexpr int PanelGap = 14;
constexpr int LegendLine = 18;
constexpr REAL TextSize = 12.0f;
constexpr int PlotLeft = 90;
constexpr int PlotRightMargin = 24;

const Color InkColor(255, 40, 40, 40);
const Color GridColor(255, 226, 226, 226);
const Color FrameColor(255, 160, 160, 160);

std::wstring Number(double value)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%.4g", std::fabs(value) < 1e-12 ? 0.0 : value);
    return text;
}

// A tick step of 1, 2 or 5 times a power of ten giving at most `most` steps over `span`.
double TickStep(double span, int most)
{
    if (!(span > 0))
        return 1.0;
    const double raw = span / most;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= raw)
            return factor * power;
    return 10.0 * power;
}

void DrawText(Graphics& g, const std::wstring& text, const Font* font, const Color& color, REAL x, REAL y,
              StringAlignment align = StringAlignmentNear)
{
    if (!font)
        return;
    StringFormat format;
    format.SetAlignment(align);
    SolidBrush brush(color);
    g.DrawString(text.c_str(), static_cast<INT>(text.size()), font, PointF(x, y), &format, &brush);
}

std::unique_ptr<FontFamily> UsableFamily(const std::wstring& name)
{
    if (name.empty())
        return nullptr;
    std::unique_ptr<FontFamily> family(new FontFamily(name.c_str()));
    if (family->GetLastStatus() != Ok || !family->IsAvailable() || !family->IsStyleAvailable(FontStyleRegular))
        return nullptr;
    return family;
}

// The name of GDI+'s generic sans-serif family; empty when it has none, as on a
// system without its usual fonts.
std::wstring GenericSansSerifName()
{
    GpFontFamily* generic = nullptr;
    if (DllExports::GdipGetGenericFontFamilySansSerif(&generic) != Ok || !generic)
        return std::wstring();
    WCHAR name[LF_FACESIZE] = {};
    const bool named = DllExports::GdipGetFamilyName(generic, name, LANG_NEUTRAL) == Ok;
    DllExports::GdipDeleteFontFamily(generic);
    return named ? name : std::wstring();
}

// The first installed family with a regular style.
std::unique_ptr<FontFamily> AnyInstalledFamily()
{
    InstalledFontCollection installed;
    const INT count = installed.GetFamilyCount();
    if (installed.GetLastStatus() != Ok || count <= 0)
        return nullptr;
    std::vector<FontFamily> families(static_cast<size_t>(count));
    INT found = 0;
    if (installed.GetFamilies(count, families.data(), &found) != Ok)
        return nullptr;
    for (INT i = 0; i < found; ++i) {
        WCHAR name[LF_FACESIZE] = {};
        if (families[static_cast<size_t>(i)].GetFamilyName(name) != Ok)
            continue;
        if (std::unique_ptr<FontFamily> family = UsableFamily(name))
            return family;
    }
    return nullptr;
}

struct ValueScale {
    double low;
    double high;
    int top;
    int bottom;
    REAL Y(double value) const { return static_cast<REAL>(bottom - (value - low) / (high - low) * (bottom - top)); }
};

// The values shown in a panel: the signal and every band drawn on it, with a margin.
ValueScale ScaleFor(const PlotInput& input, const PreviewPicture& picture, int top, int bottom)
{
    double low = input.trace.Empty() ? 0.0 : input.trace.Low();
    double high = input.trace.Empty() ? 0.0 : input.trace.High();
    for (const PlotOutput& output : picture.outputs)
        for (const PlotRule& rule : output.rules)
            if (rule.input == input.number) {
                low = std::min(low, rule.lower);
                high = std::max(high, rule.upper);
            }
    if (high - low < 1e-9) {
        low -= 1.0;
        high += 1.0;
    }
    const double margin = (high - low) * 0.08;
    return {low - margin, high + margin, top, bottom};
}

void DrawValueTicks(Graphics& g, const PlotFonts& fonts, const PlotLayout& layout, const ValueScale& scale)
{
    Pen grid(GridColor, 1.0f);
    const double step = TickStep(scale.high - scale.low, 5);
    for (double v = std::ceil(scale.low / step) * step; v <= scale.high; v += step) {
        const REAL y = scale.Y(v);
        g.DrawLine(&grid, static_cast<REAL>(layout.left), y, static_cast<REAL>(layout.right), y);
        DrawText(g, Number(v), fonts.Text(), InkColor, static_cast<REAL>(layout.left - 6), y - TextSize * 0.65f,
                 StringAlignmentFar);
    }
}

void DrawBands(Graphics& g, const PlotFonts& fonts, const PreviewPicture& picture, const PlotInput& input,
               const PlotLayout& layout, const ValueScale& scale)
{
    for (size_t o = 0; o < picture.outputs.size(); ++o) {
        const Color color = OutputColor(o);
        for (const PlotRule& rule : picture.outputs[o].rules) {
            if (rule.input != input.number)
                continue;
            const REAL top = scale.Y(rule.upper);
            const REAL bottom = scale.Y(rule.lower);
            SolidBrush band(Color(48, color.GetR(), color.GetG(), color.GetB()));
            g.FillRectangle(&band, static_cast<REAL>(layout.left), top, static_cast<REAL>(layout.right - layout.left),
                            std::max(1.0f, bottom - top));
            Pen level(color, 2.0f);
            Pen edge(color, 1.0f);
            edge.SetDashStyle(DashStyleDash);
            const REAL levelY = scale.Y(rule.level);
            const REAL edgeY = rule.above ? bottom : top;
            g.DrawLine(&edge, static_cast<REAL>(layout.left), edgeY, static_cast<REAL>(layout.right), edgeY);
            g.DrawLine(&level, static_cast<REAL>(layout.left), levelY, static_cast<REAL>(layout.right), levelY);
            DrawText(g, std::wstring(picture.outputs[o].name.begin(), picture.outputs[o].name.end()), fonts.Text(),
                     color, static_cast<REAL>(layout.right - 4), levelY - TextSize - 3, StringAlignmentFar);
        }
    }
}

// The signal as a line; dense signals as the least and greatest value per pixel column.
void DrawSignal(Graphics& g, const PlotInput& input, const PlotLayout& layout, const ValueScale& scale)
{
    const PlotTrace& trace = input.trace;
    const int width = layout.right - layout.left;
    if (trace.Empty() || width <= 0)
        return;
    std::vector<PointF> points;
    if (!trace.Dense()) {
        const std::vector<double>& values = trace.Samples();
        for (size_t n = 0; n < values.size(); ++n)
            points.emplace_back(static_cast<REAL>(layout.left + static_cast<double>(n) * width / trace.Count()),
                                scale.Y(values[n]));
    } else {
        for (size_t c = 0; c < trace.Columns(); ++c) {
            const REAL x = static_cast<REAL>(layout.left + static_cast<double>(c) * width / trace.Columns());
            points.emplace_back(x, scale.Y(trace.ColumnFirst(c)));
            points.emplace_back(x, scale.Y(trace.ColumnSecond(c)));
        }
    }
    if (points.size() < 2)
        return;
    Pen pen(InkColor, 1.0f);
    g.DrawLines(&pen, points.data(), static_cast<INT>(points.size()));
}

void DrawPanel(Graphics& g, const PlotFonts& fonts, const PreviewPicture& picture, size_t index,
               const PlotLayout& layout)
{
    const PlotInput& input = picture.inputs[index];
    const int top = layout.PanelTop(index);
    const int bottom = top + layout.panelHeight - PanelGap;
    const ValueScale scale = ScaleFor(input, picture, top, bottom);
    DrawText(g, L"Input " + std::to_wstring(input.number), fonts.Text(), InkColor, 8, static_cast<REAL>(top));
    if (!input.unit.empty())
        DrawText(g, L"(" + input.unit + L")", fonts.Text(), InkColor, 8, static_cast<REAL>(top) + LegendLine);
    DrawValueTicks(g, fonts, layout, scale);
    g.SetClip(Rect(layout.left, top, layout.right - layout.left, bottom - top));
    DrawBands(g, fonts, picture, input, layout, scale);
    DrawSignal(g, input, layout, scale);
    g.ResetClip();
    Pen frame(FrameColor, 1.0f);
    g.DrawRectangle(&frame, layout.left, top, layout.right - layout.left, bottom - top);
}

void DrawLane(Graphics& g, const PlotFonts& fonts, const PreviewPicture& picture, size_t index,
              const PlotLayout& layout)
{
    const PlotOutput& output = picture.outputs[index];
    const Color color = OutputColor(index);
    const int top = layout.LaneTop(index, picture.inputs.size());
    const int bottom = top + layout.laneHeight - 8;
    DrawText(g, std::wstring(output.name.begin(), output.name.end()), fonts.Text(), color, 8,
             static_cast<REAL>(top + (layout.laneHeight - 8) / 2) - TextSize * 0.65f);
    Pen base(FrameColor, 1.0f);
    g.DrawLine(&base, layout.left, bottom, layout.right, bottom);
    SolidBrush fill(color);
    const int width = layout.right - layout.left;
    const size_t columns = output.active.size();
    for (size_t c = 0; c < columns;) {
        if (!output.active[c]) {
            ++c;
            continue;
        }
        size_t end = c;
        while (end < columns && output.active[end])
            ++end;
        const int from = layout.left + static_cast<int>(c * static_cast<size_t>(width) / columns);
        const int to = layout.left + static_cast<int>(end * static_cast<size_t>(width) / columns);
        g.FillRectangle(&fill, from, top + 2, std::max(1, to - from), bottom - top - 2);
        c = end;
    }
}

void DrawTimeAxis(Graphics& g, const PlotFonts& fonts, const PlotLayout& layout, double span)
{
    Pen grid(GridColor, 1.0f);
    Pen tick(InkColor, 1.0f);
    const double step = TickStep(span, 10);
    for (double t = 0.0; t <= span + step * 1e-9; t += step) {
        const int x = layout.TimeX(t, span);
        g.DrawLine(&grid, x, layout.top, x, layout.axisTop);
        g.DrawLine(&tick, x, layout.axisTop, x, layout.axisTop + 5);
        DrawText(g, Number(t), fonts.Text(), InkColor, static_cast<REAL>(x), static_cast<REAL>(layout.axisTop + 6),
                 StringAlignmentCenter);
    }
    g.DrawLine(&tick, layout.left, layout.axisTop, layout.right, layout.axisTop);
    DrawText(g, L"Time (s)", fonts.Text(), InkColor, static_cast<REAL>(layout.right),
             static_cast<REAL>(layout.axisTop + 6 + LegendLine), StringAlignmentFar);
}

void DrawLegend(Graphics& g, const PlotFonts& fonts, const PreviewPicture& picture, const PlotLayout& layout)
{
    REAL y = static_cast<REAL>(layout.legendTop);
    for (size_t o = 0; o < picture.outputs.size(); ++o) {
        const PlotOutput& output = picture.outputs[o];
        SolidBrush swatch(OutputColor(o));
        g.FillRectangle(&swatch, static_cast<REAL>(layout.left), y + 3, 14.0f, 10.0f);
        DrawText(g, OutputWords(output), fonts.Text(), InkColor, static_cast<REAL>(layout.left + 20), y);
        y += LegendLine;
        for (const PlotRule& rule : output.rules) {
            const PlotInput* input = nullptr;
            for (const PlotInput& candidate : picture.inputs)
                if (candidate.number == rule.input)
                    input = &candidate;
            const std::wstring unit = input ? input->unit : std::wstring();
            DrawText(g,
                     RuleWords(rule, output.fixedWidth, unit) + L"  (hysteresis " + Number(rule.upper - rule.lower) +
                         (unit.empty() ? L"" : L" " + unit) + L")",
                     fonts.Text(), InkColor, static_cast<REAL>(layout.left + 40), y);
            y += LegendLine;
        }
    }
}

bool PngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, size, codecs) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

} // namespace

Color OutputColor(size_t index)
{
    static const Color palette[] = {
        Color(255, 31, 119, 180),  Color(255, 214, 39, 40),   Color(255, 44, 160, 44),   Color(255, 255, 127, 14),
        Color(255, 148, 103, 189), Color(255, 140, 86, 75),   Color(255, 227, 119, 194), Color(255, 23, 190, 207),
        Color(255, 188, 189, 34),  Color(255, 127, 127, 127),
    };
    return palette[index % (sizeof palette / sizeof palette[0])];
}

std::wstring RuleWords(const PlotRule& rule, bool fixedWidth, const std::wstring& unit)
{
    return L"Input " + std::to_wstring(rule.input) + (fixedWidth ? L" goes " : L" is ") +
           (rule.above ? L"above " : L"below ") + Number(rule.level) + (unit.empty() ? L"" : L" " + unit);
}

std::wstring OutputWords(const PlotOutput& output)
{
    std::wstring words = std::wstring(output.name.begin(), output.name.end()) + L": ";
    if (output.fixedWidth) {
        words += L"fixed width pulse " + Number(output.width) + L" s";
        if (output.holdoff > 0)
            words += L", wait after pulse start " + Number(output.holdoff) + L" s";
    } else {
        words += L"on while the conditions hold";
    }
    if (output.delay > 0)
        words += L", delay " + Number(output.delay) + L" s";
    if (output.pulseLimit > 0)
        words += L", at most " + std::to_wstring(output.pulseLimit) + (output.fixedWidth ? L" pulses" : L" times");
    words += output.all ? L"; when all of the following conditions are met:"
                        : L"; when any of the following conditions are met:";
    return words;
}

PlotFonts::PlotFonts(const std::vector<std::wstring>& preferred)
{
    Choose(preferred, true);
}

PlotFonts::PlotFonts(const std::vector<std::wstring>& preferred, bool systemFallbacks)
{
    Choose(preferred, systemFallbacks);
}

void PlotFonts::Choose(const std::vector<std::wstring>& preferred, bool systemFallbacks)
{
    for (const std::wstring& name : preferred)
        if ((family_ = UsableFamily(name)))
            break;
    if (!family_ && systemFallbacks)
        family_ = UsableFamily(GenericSansSerifName());
    if (!family_ && systemFallbacks)
        family_ = AnyInstalledFamily();
    if (!family_)
        return;
    text_.reset(new Font(family_.get(), TextSize, FontStyleRegular, UnitPixel));
    if (text_->GetLastStatus() != Ok) {
        text_.reset();
        return;
    }
    // A family without bold draws its title regular.
    title_.reset(new Font(family_.get(), TextSize + 3, FontStyleBold, UnitPixel));
    if (title_->GetLastStatus() != Ok)
        title_.reset(new Font(family_.get(), TextSize + 3, FontStyleRegular, UnitPixel));
    if (title_->GetLastStatus() != Ok)
        title_.reset();
}

std::wstring PlotFonts::FamilyName() const
{
    WCHAR name[LF_FACESIZE] = {};
    if (!family_ || family_->GetFamilyName(name) != Ok)
        return std::wstring();
    return name;
}

int PlotColumns(int width)
{
    return std::max(1, width - PlotLeft - PlotRightMargin);
}

void MarkActivity(PlotOutput& output, double start, double end, double span, int columns)
{
    if (!(span > 0) || columns <= 0)
        return;
    output.active.resize(static_cast<size_t>(columns), 0);
    const long from = std::lround(start / span * columns);
    const long to = std::max(from + 1, std::lround(end / span * columns));
    for (long c = std::max(0L, from); c < std::min<long>(to, columns); ++c)
        output.active[static_cast<size_t>(c)] = 1;
}

PlotTrace::PlotTrace(size_t count, int columns)
    : count_(count), columns_(static_cast<size_t>(std::max(1, columns))), dense_(count > 2 * columns_)
{
    if (dense_) {
        columnLow_.assign(columns_, 0.0);
        columnHigh_.assign(columns_, 0.0);
        lowFirst_.assign(columns_, 1);
    } else {
        samples_.reserve(count);
    }
}

void PlotTrace::Add(const double* values, size_t n)
{
    for (size_t i = 0; i < n && added_ < count_; ++i, ++added_) {
        const double v = values[i];
        low_ = added_ ? std::min(low_, v) : v;
        high_ = added_ ? std::max(high_, v) : v;
        if (!dense_) {
            samples_.push_back(v);
        } else if (added_ == boundary_) {
            // Sample n belongs to column n * columns / count.
            column_ = static_cast<size_t>(static_cast<unsigned long long>(added_) * columns_ / count_);
            boundary_ = static_cast<size_t>(((static_cast<unsigned long long>(column_) + 1) * count_ + columns_ - 1) /
                                            columns_);
            columnLow_[column_] = columnHigh_[column_] = v;
            lowFirst_[column_] = 1;
        } else if (v < columnLow_[column_]) {
            columnLow_[column_] = v;
            lowFirst_[column_] = 0;
        } else if (v > columnHigh_[column_]) {
            columnHigh_[column_] = v;
            lowFirst_[column_] = 1;
        }
    }
}

int PlotLayout::TimeX(double seconds, double span) const
{
    if (!(span > 0))
        return left;
    return left + static_cast<int>(std::lround(seconds / span * (right - left)));
}

PlotLayout LayoutFor(const PreviewPicture& picture, int width)
{
    PlotLayout layout{};
    layout.width = width;
    layout.left = PlotLeft;
    layout.right = width - PlotRightMargin;
    layout.top = TitleTop + 34;
    layout.panelHeight = 170;
    layout.laneHeight = 30;
    layout.axisTop = layout.LaneTop(picture.outputs.size(), picture.inputs.size()) + 4;
    layout.legendTop = layout.axisTop + 6 + 2 * LegendLine + 8;
    size_t lines = 0;
    for (const PlotOutput& output : picture.outputs)
        lines += 1 + output.rules.size();
    layout.height = layout.legendTop + static_cast<int>(lines) * LegendLine + 12;
    return layout;
}

void DrawPreview(Graphics& graphics, const PreviewPicture& picture, const PlotLayout& layout)
{
    DrawPreview(graphics, picture, layout, PlotFonts());
}

void DrawPreview(Graphics& graphics, const PreviewPicture& picture, const PlotLayout& layout, const PlotFonts& fonts)
{
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
    graphics.Clear(Color(255, 255, 255, 255));
    DrawText(graphics, picture.title, fonts.Title(), InkColor, static_cast<REAL>(layout.left), TitleTop);
    const double span = picture.rate > 0 ? static_cast<double>(picture.count) / picture.rate : 0.0;
    DrawTimeAxis(graphics, fonts, layout, span);
    for (size_t i = 0; i < picture.inputs.size(); ++i)
        DrawPanel(graphics, fonts, picture, i, layout);
    graphics.SetSmoothingMode(SmoothingModeNone);
    for (size_t o = 0; o < picture.outputs.size(); ++o)
        DrawLane(graphics, fonts, picture, o, layout);
    DrawLegend(graphics, fonts, picture, layout);
}

GdiplusSession::GdiplusSession()
{
    GdiplusStartupInput input;
    started_ = GdiplusStartup(&token_, &input, nullptr) == Ok;
}

GdiplusSession::~GdiplusSession()
{
    if (started_)
        GdiplusShutdown(token_);
}

bool SavePreviewPng(const PreviewPicture& picture, const std::wstring& path, std::wstring& error)
{
    GdiplusSession session;
    CLSID encoder;
    if (!session.Started() || !PngEncoder(encoder)) {
        error = L"GDI+ offers no PNG encoder";
        return false;
    }
    const PlotLayout layout = LayoutFor(picture, PlotWidth);
    Status status = GenericError;
    {
        Bitmap bitmap(layout.width, layout.height, PixelFormat24bppRGB);
        Graphics graphics(&bitmap);
        DrawPreview(graphics, picture, layout);
        status = bitmap.Save(path.c_str(), &encoder, nullptr);
    }
    if (status != Ok) {
        error = L"cannot write the plot " + path;
        return false;
    }
    return true;
}

} // namespace VireoHost
