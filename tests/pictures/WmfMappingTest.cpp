#include "WmfMapping.h"

#include <gtest/gtest.h>

namespace corvane::wmf {
namespace {

// A 200-unit frame at 96 units per inch on a 100 x 50 image: half a pixel per unit across, a quarter down.
TWmfMapping Mapping() {
    TWmfFrame Frame;
    Frame.Left = 0;
    Frame.Top = 0;
    Frame.Width = 200;
    Frame.Height = 200;
    Frame.Inch = 96;
    Frame.ImageWidth = 100;
    Frame.ImageHeight = 50;
    return TWmfMapping(Frame);
}

void ExpectPoint(const TWmfMapping& Map, double X, double Y, double ImageX, double ImageY) {
    const TWmfPointD Point = Map.ToImage(X, Y);
    EXPECT_DOUBLE_EQ(Point.X, ImageX) << "x of (" << X << ", " << Y << ")";
    EXPECT_DOUBLE_EQ(Point.Y, ImageY) << "y of (" << X << ", " << Y << ")";
}

TEST(WmfMapping, WindowFillsTheFrameUntilTheViewportIsSet) {
    TWmfMapping Map = Mapping();
    ExpectPoint(Map, 200, 200, 100, 50); // the frame itself, before any record
    Map.SetWindowOrg(-500, 1000);
    Map.SetWindowExt(1000, -2000); // y runs upwards
    ExpectPoint(Map, -500, 1000, 0, 0);
    ExpectPoint(Map, 500, -1000, 100, 50);
    Map.OffsetWindowOrg(100, 0);
    ExpectPoint(Map, -400, 1000, 0, 0);
    Map.ScaleWindowExt(1, 2, 1, 1); // half the window: twice the scale across
    ExpectPoint(Map, 100, 1000, 100, 0);

    Map.SetViewportOrg(20, 40); // frame units
    Map.SetViewportExt(100, 100);
    ExpectPoint(Map, -400, 1000, 10, 10);
    Map.OffsetViewportOrg(20, 0);
    ExpectPoint(Map, -400, 1000, 20, 10);
    Map.ScaleViewportExt(2, 1, 1, 1);
    ExpectPoint(Map, 100, -1000, 20 + 100, 10 + 25);
}

TEST(WmfMapping, IsotropicAndMetricModes) {
    TWmfMapping Map = Mapping();
    Map.SetMapMode(mmIsotropic);
    Map.SetWindowExt(1000, 500); // the smaller scale serves both axes
    ExpectPoint(Map, 1000, 500, 100, 25);
    EXPECT_DOUBLE_EQ(Map.ScaleX(), 0.1);
    EXPECT_DOUBLE_EQ(Map.ScaleY(), 0.2 * 0.25);

    Map.SetMapMode(mmTwips); // 1440 to the inch, y upwards
    EXPECT_DOUBLE_EQ(Map.ScaleX(), 96.0 / 1440 * 0.5);
    EXPECT_DOUBLE_EQ(Map.ScaleY(), -96.0 / 1440 * 0.25);
    Map.SetMapMode(mmText);
    EXPECT_DOUBLE_EQ(Map.ScaleX(), 0.5);
    Map.SetMapMode(99); // not a mode: refused
    EXPECT_DOUBLE_EQ(Map.ScaleX(), 0.5);
}

TEST(WmfMapping, ExtentsThatWouldBreakTheMappingAreRefused) {
    TWmfMapping Map = Mapping();
    Map.SetWindowExt(1000, 1000);
    Map.SetWindowExt(0, 5);
    Map.SetViewportExt(5, 0);
    Map.ScaleWindowExt(1, 0, 1, 1);
    Map.ScaleViewportExt(0, 1, 1, 1);
    EXPECT_DOUBLE_EQ(Map.ScaleX(), 0.1);
    for (int Step = 0; Step < 10; ++Step)
        Map.ScaleWindowExt(1, 32767, 1, 32767);   // stops before the extent vanishes
    EXPECT_NEAR(Map.ScaleX(), 0.1 * 32767, 1e-6); // one step taken, the next refused
}

} // namespace
} // namespace corvane::wmf
