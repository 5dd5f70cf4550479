// The preview picture, drawn into a memory bitmap and read back pixel by pixel.

#include "PreviewPlot.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace VireoHost;
using namespace Gdiplus;

namespace {

// Input 1 (V) steps from -5 to 5 at 0.5 s; A1 pulses from 0.5 to 0.75 s.
PreviewPicture OneOutput(size_t count = 100)
{
    PreviewPicture picture;
    picture.title = L"test";
    picture.rate = static_cast<double>(count);
    picture.count = count;
    picture.columns = PlotColumns(600);
    PlotInput input{1, L"V", PlotTrace(count, picture.columns)};
    for (size_t n = 0; n < count; ++n) {
        const double value = n < count / 2 ? -5.0 : 5.0;
        input.trace.Add(&value, 1);
    }
    picture.inputs.push_back(std::move(input));
    PlotOutput output{"A1", true, true, 0.25, 0, 0, 0, {{1, true, 2.5, 1.5, 2.5}}, {}};
    MarkActivity(output, 0.5, 0.75, 1.0, picture.columns);
    picture.outputs.push_back(output);
    return picture;
}

bool SameColor(const Color& a, const Color& b)
{
    return a.GetR() == b.GetR() && a.GetG() == b.GetG() && a.GetB() == b.GetB();
}

} // namespace

TEST(PreviewPlot, RulesReadAsTheDialogWordsThem)
{
    EXPECT_EQ(RuleWords({2, true, 2.5, 2, 2.5}, true, L"V"), L"Input 2 goes above 2.5 V");
    EXPECT_EQ(RuleWords({4, false, -25, -25, -15}, false, L"mV"), L"Input 4 is below -25 mV");
    PlotOutput output{"D3", false, false, 0, 0.1, 0, 2, {}, {}};
    EXPECT_EQ(OutputWords(output), L"D3: on while the conditions hold, delay 0.1 s, at most 2 times; when any of the "
                                   L"following conditions are met:");
}

TEST(PreviewPlot, LanesShowPulsesInTheOutputsColourAtTheirTimesWithOrWithoutFonts)
{
    GdiplusSession session;
    ASSERT_TRUE(session.Started());
    // A system without any of these families and no fallback draws without text.
    const PlotFonts withText;
    const PlotFonts without({L"No Such Family"}, false);
    ASSERT_TRUE(withText.HasText());
    ASSERT_FALSE(without.HasText());
    for (const PlotFonts* fonts : {&withText, &without}) {
        const PreviewPicture picture = OneOutput();
        const PlotLayout layout = LayoutFor(picture, 600);
        Bitmap bitmap(layout.width, layout.height, PixelFormat24bppRGB);
        {
            Graphics graphics(&bitmap);
            DrawPreview(graphics, picture, layout, *fonts);
        }
        const int laneY = layout.LaneTop(0, 1) + layout.laneHeight / 2;
        Color pixel;
        bitmap.GetPixel(layout.TimeX(0.6, 1.0), laneY, &pixel);
        EXPECT_TRUE(SameColor(pixel, OutputColor(0)));
        bitmap.GetPixel(layout.TimeX(0.35, 1.0), laneY, &pixel);
        EXPECT_TRUE(SameColor(pixel, Color(255, 255, 255, 255)));
        bitmap.GetPixel(layout.TimeX(0.85, 1.0), laneY, &pixel);
        EXPECT_TRUE(SameColor(pixel, Color(255, 255, 255, 255)));
    }
}

TEST(PreviewPlot, UnknownFamiliesFallBackToOneTheSystemHas)
{
    GdiplusSession session;
    const PlotFonts fonts({L"No Such Family", L"Nor This One"});
    EXPECT_TRUE(fonts.HasText());
    EXPECT_FALSE(fonts.FamilyName().empty());
}

TEST(PreviewPlot, ADenseTraceKeepsEachColumnsExtremesInTheirOrder)
{
    // 10 columns of 100 samples: a rising ramp, with a dip at sample 299 and a peak at 777.
    PlotTrace trace(1000, 10);
    for (int n = 0; n < 1000; ++n) {
        const double value = n == 299 ? -50.0 : n == 777 ? 5000.0 : n;
        trace.Add(&value, 1);
    }
    ASSERT_TRUE(trace.Dense());
    ASSERT_EQ(trace.Columns(), 10u);
    EXPECT_EQ(trace.ColumnFirst(0), 0.0);
    EXPECT_EQ(trace.ColumnSecond(0), 99.0);
    // The dip ends its column, after the column's high.
    EXPECT_EQ(trace.ColumnFirst(2), 298.0);
    EXPECT_EQ(trace.ColumnSecond(2), -50.0);
    EXPECT_EQ(trace.ColumnFirst(7), 700.0);
    EXPECT_EQ(trace.ColumnSecond(7), 5000.0);
    EXPECT_EQ(trace.Low(), -50.0);
    EXPECT_EQ(trace.High(), 5000.0);
    EXPECT_FALSE(PlotTrace(20, 10).Dense());
}

TEST(PreviewPlot, HysteresisBandIsTintedAndTheSignalIsDrawnInItsPanel)
{
    GdiplusSession session;
    for (size_t count : {size_t{100}, size_t{100000}}) {
        const PreviewPicture picture = OneOutput(count);
        const PlotLayout layout = LayoutFor(picture, 600);
        Bitmap bitmap(layout.width, layout.height, PixelFormat24bppRGB);
        {
            Graphics graphics(&bitmap);
            DrawPreview(graphics, picture, layout);
        }
        // Values -5 to 5 with an 8 % margin over the panel's height.
        const int top = layout.PanelTop(0);
        const int bottom = top + layout.panelHeight - 14;
        auto y = [&](double v) { return static_cast<int>(bottom - (v + 5.8) / 11.6 * (bottom - top)); };
        Color pixel;
        bitmap.GetPixel(layout.TimeX(0.25, 1.0) + 3, y(2.0), &pixel);
        EXPECT_LT(pixel.GetR(), 240);
        EXPECT_GT(pixel.GetB(), pixel.GetR());
        bitmap.GetPixel(layout.TimeX(0.25, 1.0) + 3, y(-2.5), &pixel);
        EXPECT_TRUE(SameColor(pixel, Color(255, 255, 255, 255)));
        // The signal's low stretch.
        int darkest = 3 * 255;
        for (int dy = -1; dy <= 1; ++dy) {
            bitmap.GetPixel(layout.TimeX(0.25, 1.0), y(-5.0) + dy, &pixel);
            darkest = std::min(darkest, pixel.GetR() + pixel.GetG() + pixel.GetB());
        }
        EXPECT_LT(darkest, 3 * 160) << count;
    }
}
