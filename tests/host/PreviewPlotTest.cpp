// The preview picture, drawn into a memory bitmap and read back pixel by pixel.

#include "PreviewPlot.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace VireoHost;
using namespace Gdiplus;

namespace {

// Input 1 (V) steps from -5 to 5 at 0.5 s; A1 pulses from 0.5 to 0.75 s.
PreviewPicture OneOutput()
{
    PreviewPicture picture;
    picture.title = L"test";
    picture.rate = 100;
    picture.count = 100;
    PlotInput input{1, L"V", {}};
    for (int n = 0; n < 100; ++n)
        input.values.push_back(n < 50 ? -5.0 : 5.0);
    picture.inputs.push_back(input);
    PlotOutput output{"A1", true, true, 0.25, 0, 0, 0, {{1, true, 2.5, 1.5, 2.5}}, {{0.5, 0.75}}};
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

TEST(PreviewPlot, LanesShowPulsesInTheOutputsColourAtTheirTimes)
{
    GdiplusSession session;
    ASSERT_TRUE(session.Started());
    const PreviewPicture picture = OneOutput();
    const PlotLayout layout = LayoutFor(picture, 600);
    Bitmap bitmap(layout.width, layout.height, PixelFormat24bppRGB);
    {
        Graphics graphics(&bitmap);
        DrawPreview(graphics, picture, layout);
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

TEST(PreviewPlot, HysteresisBandIsTintedAndTheSignalIsDrawnInItsPanel)
{
    GdiplusSession session;
    const PreviewPicture picture = OneOutput();
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
    EXPECT_LT(darkest, 3 * 160);
}
