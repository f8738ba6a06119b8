#include "WmfPlayer.h"
#include "CxPictureConverterWMF.h"
#include "PngImage.h"
#include "WmfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>

namespace corvane {
namespace {

using test::DecodePng;
using test::MakeDib;
using test::MakeRleDib;
using test::Rgb;
using test::TBytes;
using test::TPngImage;
using test::TWmfWriter;

// cairo and fontconfig keep caches for the whole process; freeing them after the last test leaves the
// leak checker of the sanitizer build with what the converter itself leaves behind.
class TGraphicsCaches : public ::testing::Environment {
public:
    void TearDown() override { wmf::ReleaseGraphicsCaches(); }
};
[[maybe_unused]] ::testing::Environment* const GraphicsCaches =
    ::testing::AddGlobalTestEnvironment(new TGraphicsCaches);

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Green = 0x00FF00;
constexpr std::uint32_t Blue = 0x0000FF;
constexpr std::uint32_t Yellow = 0xFFFF00;

TBytes Placeable(const TBytes& Metafile, int Width, int Height) {
    const auto Header = TPictureConverterWMF::MakePlaceableHeader(static_cast<std::uint32_t>(Width),
                                                                  static_cast<std::uint32_t>(Height));
    TBytes Data(Header.size() + Metafile.size());
    std::copy(Header.begin(), Header.end(), Data.begin());
    std::copy(Metafile.begin(), Metafile.end(), Data.begin() + static_cast<std::ptrdiff_t>(Header.size()));
    return Data;
}

// A writer whose window of 1000 x 1000 units fills a 100 x 100 image: ten units to the pixel.
TWmfWriter Canvas() {
    TWmfWriter Writer;
    Writer.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(1000, 1000);
    return Writer;
}

std::optional<TPngImage> Play(const TWmfWriter& Writer, int Width = 100, int Height = 100, int Objects = 8) {
    const auto Png = wmf::RenderWmfToPng(Placeable(Writer.Metafile(Objects), Width, Height), Width, Height);
    if (!Png) return std::nullopt;
    return DecodePng(*Png);
}

bool Renders(const TBytes& Data, int Width = 50, int Height = 50) {
    return wmf::RenderWmf(Data, Width, Height).has_value();
}

::testing::AssertionResult Near(const TPngImage& Image, std::uint32_t X, std::uint32_t Y,
                                std::uint32_t Expected, int Tolerance = 40) {
    const std::uint32_t Actual = Image.Pixel(X, Y);
    for (int Shift : {16, 8, 0}) {
        const int Difference =
            static_cast<int>((Actual >> Shift) & 0xFF) - static_cast<int>((Expected >> Shift) & 0xFF);
        if (std::abs(Difference) > Tolerance)
            return ::testing::AssertionFailure() << "pixel (" << X << ", " << Y << ") is " << std::hex
                                                 << Actual << ", expected " << Expected;
    }
    return ::testing::AssertionSuccess();
}

// Dark pixels in the half-open box, for text that cannot be checked pixel by pixel.
int DarkPixels(const TPngImage& Image, std::uint32_t Left, std::uint32_t Top, std::uint32_t Right,
               std::uint32_t Bottom) {
    int Count = 0;
    for (std::uint32_t Y = Top; Y < Bottom; ++Y)
        for (std::uint32_t X = Left; X < Right; ++X)
            if ((Image.Pixel(X, Y) & 0xFF) < 128) ++Count;
    return Count;
}

TEST(WmfPlayer, FilledRectangleWithPngHeader) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(200, 200, 800, 600);
    const auto Image = Play(Writer, 100, 100);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Width, 100u);
    EXPECT_EQ(Image->Height, 100u);
    EXPECT_EQ(Image->ColorType, 2);
    EXPECT_EQ(Image->BitDepth, 8);
    EXPECT_TRUE(Near(*Image, 50, 40, Red, 0));
    EXPECT_TRUE(Near(*Image, 21, 21, Red, 0));
    EXPECT_TRUE(Near(*Image, 78, 58, Red, 0));
    EXPECT_TRUE(Near(*Image, 10, 10, White, 0));
    EXPECT_TRUE(Near(*Image, 50, 70, White, 0));
    EXPECT_TRUE(Near(*Image, 90, 40, White, 0));
}

TEST(WmfPlayer, ImageOfOtherSizeTakesTheWholeWindow) {
    // The same window on a 200 x 50 image: the picture stretches with it.
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(500, 0, 1000, 500);
    const auto Image = Play(Writer, 200, 50);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Width, 200u);
    EXPECT_EQ(Image->Height, 50u);
    EXPECT_TRUE(Near(*Image, 150, 12, Blue, 0));
    EXPECT_TRUE(Near(*Image, 50, 12, White, 0));
    EXPECT_TRUE(Near(*Image, 150, 37, White, 0));
}

TEST(WmfPlayer, PolygonWithPenAndPolyline) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0).CreatePen(0, 60, Rgb(0, 255, 0)).SelectObject(1);
    Writer.Polygon({{100, 100}, {900, 100}, {900, 900}});
    Writer.Polyline({{100, 950}, {900, 950}});
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 75, 40, Blue));  // inside the triangle
    EXPECT_TRUE(Near(*Image, 50, 10, Green)); // on its top edge (a pen 6 pixels wide)
    EXPECT_TRUE(Near(*Image, 90, 50, Green)); // on its right edge
    EXPECT_TRUE(Near(*Image, 25, 60, White)); // below the diagonal
    EXPECT_TRUE(Near(*Image, 50, 95, Green)); // the open polyline
    EXPECT_TRUE(Near(*Image, 50, 85, White));
}

TEST(WmfPlayer, EllipseLeavesTheCornersOfItsBox) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(255, 255, 0)).SelectObject(0).CreatePen(0, 0, Rgb(0, 0, 0)).SelectObject(1);
    Writer.Ellipse(100, 100, 900, 900);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 50, 50, Yellow));
    EXPECT_TRUE(Near(*Image, 50, 15, Yellow));
    EXPECT_TRUE(Near(*Image, 12, 12, White)); // inside the box, outside the ellipse
    EXPECT_TRUE(Near(*Image, 87, 87, White));
    EXPECT_TRUE(Near(*Image, 50, 10, Black, 100)); // the outline at the top
}

TEST(WmfPlayer, LinesFromTheCurrentPosition) {
    TWmfWriter Writer = Canvas();
    Writer.CreatePen(0, 0, Rgb(0, 0, 0)).SelectObject(0);
    Writer.MoveTo(100, 500).LineTo(900, 500).LineTo(900, 100);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 50, 50, Black));
    EXPECT_TRUE(Near(*Image, 90, 30, Black)); // the second line starts where the first ended
    EXPECT_TRUE(Near(*Image, 50, 48, White));
    EXPECT_TRUE(Near(*Image, 50, 52, White));
    EXPECT_TRUE(Near(*Image, 5, 50, White));
}

TEST(WmfPlayer, PieAndRoundRect) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    // Anticlockwise from the right (3 o'clock) to the top (12 o'clock): the upper right quarter.
    Writer.Pie(0, 0, 1000, 1000, 1000, 500, 500, 0);
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(2);
    Writer.RoundRect(100, 600, 400, 900, 200, 200);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 70, 30, Red));
    EXPECT_TRUE(Near(*Image, 30, 30, White));
    EXPECT_TRUE(Near(*Image, 70, 70, White));
    EXPECT_TRUE(Near(*Image, 25, 75, Blue));
    EXPECT_TRUE(Near(*Image, 11, 61, White)); // the rounded corner
}

TEST(WmfPlayer, TextInTheFontsPlace) {
    TWmfWriter Writer = Canvas();
    Writer.CreateFont(-300, "Arial").SelectObject(0).SetBkMode(1).SetTextColor(Rgb(0, 0, 0));
    Writer.TextOut(100, 100, "HH");
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    // 30-pixel letters from (10, 10) rightwards and downwards, nothing elsewhere.
    EXPECT_GT(DarkPixels(*Image, 10, 10, 60, 45), 100);
    EXPECT_EQ(DarkPixels(*Image, 0, 50, 100, 100), 0);
    EXPECT_EQ(DarkPixels(*Image, 70, 0, 100, 100), 0);
}

TEST(WmfPlayer, FaceNamesAndTextInOtherCharacterSets) {
    // A face name in Windows-1252 bytes, and Greek text in Windows-1253: both reach the fonts as UTF-8.
    TWmfWriter Writer = Canvas();
    Writer.CreateFont(-300, "Caf\xE9 \xFF", 0, 0).SelectObject(0).SetBkMode(1);
    Writer.TextOut(100, 100, "HH");
    Writer.CreateFont(-300, "Arial", 0, 161).SelectObject(1);
    Writer.TextOut(100, 600, "\xC1\xC2\xC3");
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_GT(DarkPixels(*Image, 10, 10, 60, 45), 100);
    EXPECT_GT(DarkPixels(*Image, 10, 60, 70, 95), 100);
}

TEST(WmfPlayer, TextAlignmentAndEscapement) {
    // Right and bottom aligned at (90, 90): the text lies left of and above that point.
    TWmfWriter Aligned = Canvas();
    Aligned.CreateFont(-200, "Times New Roman").SelectObject(0).SetBkMode(1).SetTextAlign(2 | 8);
    Aligned.TextOut(900, 900, "Hi");
    auto Image = Play(Aligned);
    ASSERT_TRUE(Image);
    EXPECT_GT(DarkPixels(*Image, 60, 65, 90, 90), 30);
    EXPECT_EQ(DarkPixels(*Image, 0, 0, 100, 60), 0);
    EXPECT_EQ(DarkPixels(*Image, 92, 0, 100, 100), 0);

    // Turned a quarter anticlockwise from (20, 90): the text runs upwards.
    TWmfWriter Turned = Canvas();
    Turned.CreateFont(-200, "Courier New", 900).SelectObject(0).SetBkMode(1).SetTextAlign(24);
    Turned.TextOut(200, 900, "HHHH");
    Image = Play(Turned);
    ASSERT_TRUE(Image);
    EXPECT_GT(DarkPixels(*Image, 0, 30, 20, 90), 60);
    EXPECT_EQ(DarkPixels(*Image, 25, 0, 100, 100), 0);
    EXPECT_EQ(DarkPixels(*Image, 0, 92, 100, 100), 0);
}

TEST(WmfPlayer, ExtTextOutOpaqueAndClippingRectangle) {
    TWmfWriter Writer = Canvas();
    Writer.CreateFont(-400, "Arial").SelectObject(0).SetBkColor(Rgb(0, 255, 0)).SetBkMode(1);
    // Opaque and clipped to the left half of the image's top band.
    Writer.ExtTextOut(0, 0, 2 | 4, {0, 0, 500, 300}, "WWWWWWWW", {100, 100, 100, 100, 100, 100, 100, 100});
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 48, 2, Green, 0));        // the rectangle's background
    EXPECT_EQ(DarkPixels(*Image, 50, 0, 100, 100), 0); // nothing right of the clip
    EXPECT_GT(DarkPixels(*Image, 0, 0, 50, 30), 50);   // letters inside it
    EXPECT_TRUE(Near(*Image, 20, 60, White, 0));
}

// Four colours in the quadrants, top-down: red, green / blue, yellow.
const std::vector<std::vector<std::uint32_t>> Quadrants{{Red, Green}, {Blue, Yellow}};
const std::vector<std::uint32_t> QuadrantPalette{Red, Green, Blue, Yellow};
const std::vector<std::vector<std::uint32_t>> QuadrantIndices{{0, 1}, {2, 3}};

void ExpectQuadrants(const TPngImage& Image) {
    EXPECT_TRUE(Near(Image, 30, 30, Red, 0));
    EXPECT_TRUE(Near(Image, 70, 30, Green, 0));
    EXPECT_TRUE(Near(Image, 30, 70, Blue, 0));
    EXPECT_TRUE(Near(Image, 70, 70, Yellow, 0));
    EXPECT_TRUE(Near(Image, 5, 5, White, 0));
    EXPECT_TRUE(Near(Image, 95, 95, White, 0));
}

struct TDibCase {
    int BitCount;
    bool TopDown;
};

void PrintTo(const TDibCase& Case, std::ostream* Out) {
    *Out << Case.BitCount << " bits" << (Case.TopDown ? ", top-down" : ", bottom-up");
}

class WmfPlayerDib : public ::testing::TestWithParam<TDibCase> {};

TEST_P(WmfPlayerDib, StretchedBitmapKeepsItsQuadrants) {
    const TDibCase Case = GetParam();
    const bool Indexed = Case.BitCount <= 8;
    TBytes Dib = Indexed ? MakeDib(Case.BitCount, QuadrantIndices, Case.TopDown, QuadrantPalette)
                         : MakeDib(Case.BitCount, Quadrants, Case.TopDown);
    if (Case.BitCount == 1) // two colours only: red and green on top, green and red below
        Dib = MakeDib(1, {{0, 1}, {1, 0}}, Case.TopDown, {Red, Green});
    TWmfWriter Writer = Canvas();
    Writer.StretchDIB(100, 100, 800, 800, 2, 2, Dib);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    if (Case.BitCount == 1) {
        EXPECT_TRUE(Near(*Image, 30, 30, Red, 0));
        EXPECT_TRUE(Near(*Image, 70, 30, Green, 0));
        EXPECT_TRUE(Near(*Image, 30, 70, Green, 0));
        EXPECT_TRUE(Near(*Image, 70, 70, Red, 0));
        EXPECT_TRUE(Near(*Image, 5, 5, White, 0));
    } else {
        ExpectQuadrants(*Image);
    }
}

std::string DibCaseName(const ::testing::TestParamInfo<TDibCase>& Info) {
    return std::to_string(Info.param.BitCount) + (Info.param.TopDown ? "BitsTopDown" : "BitsBottomUp");
}

INSTANTIATE_TEST_SUITE_P(BitCounts, WmfPlayerDib,
                         ::testing::Values(TDibCase{24, false}, TDibCase{24, true}, TDibCase{8, false},
                                           TDibCase{8, true}, TDibCase{32, false}, TDibCase{4, false},
                                           TDibCase{1, false}, TDibCase{1, true}),
                         DibCaseName);

TEST(WmfPlayer, EveryBlockTransferRecord) {
    const TBytes Dib = MakeDib(24, Quadrants);
    TWmfWriter Stretch = Canvas();
    Stretch.DIBStretchBlt(100, 100, 800, 800, 2, 2, Dib);
    auto Image = Play(Stretch);
    ASSERT_TRUE(Image);
    ExpectQuadrants(*Image);

    // A 40 x 40 bitmap unscaled: one image pixel per ten logical units, so a 400-unit square.
    std::vector<std::vector<std::uint32_t>> Big(40, std::vector<std::uint32_t>(40, Blue));
    TWmfWriter Bit = Canvas();
    Bit.DIBBitBlt(300, 300, 40, 40, MakeDib(24, Big));
    Image = Play(Bit, 100, 100);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 30, 30, Blue, 0));
    EXPECT_TRUE(Near(*Image, 28, 28, White, 0)); // 40 units are 4 pixels

    // SetDIBitsToDevice sizes are device units, here the 101-unit frame over 100 pixels.
    TWmfWriter Device = Canvas();
    Device.SetDIBToDev(500, 500, 40, 40, MakeDib(24, Big));
    Image = Play(Device, 100, 100);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 70, 70, Blue, 0));
    EXPECT_TRUE(Near(*Image, 92, 92, White, 0));
    EXPECT_TRUE(Near(*Image, 48, 48, White, 0));
}

TEST(WmfPlayer, RunLengthBitmapsLeaveSkippedPixels) {
    // 4 x 2, bottom row first: two red, then a move of two to the right; top row: four blue.
    const TBytes Rle8 = MakeRleDib(8, 4, 2, {Red, Blue}, {2, 0, 0, 2, 2, 0, 0, 0, 4, 1, 0, 1});
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(0, 255, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(0, 0, 1000, 1000);
    Writer.StretchDIB(0, 0, 1000, 1000, 4, 2, Rle8);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 12, 75, Red, 0));
    EXPECT_TRUE(Near(*Image, 37, 75, Red, 0));
    EXPECT_TRUE(Near(*Image, 87, 75, Green, 0)); // skipped: what was there stays
    EXPECT_TRUE(Near(*Image, 62, 25, Blue, 0));

    // RLE4: a run alternating red and blue, then a literal run of blue, red, blue.
    const TBytes Rle4 = MakeRleDib(4, 4, 2, {Red, Blue}, {4, 0x01, 0, 0, 0, 3, 0x10, 0x10, 0, 1});
    TWmfWriter Nibbles = Canvas();
    Nibbles.StretchDIB(0, 0, 1000, 1000, 4, 2, Rle4);
    const auto Second = Play(Nibbles);
    ASSERT_TRUE(Second);
    EXPECT_TRUE(Near(*Second, 12, 75, Red, 0));
    EXPECT_TRUE(Near(*Second, 37, 75, Blue, 0));
    EXPECT_TRUE(Near(*Second, 62, 75, Red, 0));
    EXPECT_TRUE(Near(*Second, 12, 25, Blue, 0));
    EXPECT_TRUE(Near(*Second, 37, 25, Red, 0));
    EXPECT_TRUE(Near(*Second, 62, 25, Blue, 0));
    EXPECT_TRUE(Near(*Second, 87, 25, White, 0)); // the literal run ended there
}

TEST(WmfPlayer, ClippingAndSavedStates) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.SaveDC().IntersectClipRect(0, 0, 500, 1000).ExcludeClipRect(100, 100, 300, 300);
    Writer.Rectangle(0, 0, 1000, 500);
    Writer.RestoreDC(-1);
    Writer.Rectangle(0, 600, 1000, 1000); // unclipped again
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 40, 40, Red, 0));
    EXPECT_TRUE(Near(*Image, 20, 20, White, 0)); // excluded
    EXPECT_TRUE(Near(*Image, 70, 20, White, 0)); // outside the intersection
    EXPECT_TRUE(Near(*Image, 70, 80, Red, 0));
}

TEST(WmfPlayer, GeometryFarBeyondTheImage) {
    // One logical unit is ten pixels: clip edges and line ends lie hundreds of thousands of pixels out.
    TWmfWriter Writer;
    Writer.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(10, 10);
    Writer.ExcludeClipRect(-32000, -32000, 2, 32000);
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(-32000, -32000, 32000, 5);
    // A dotted pen along a line millions of dots long is drawn solid rather than dot by dot.
    Writer.CreatePen(2, 0, Rgb(0, 0, 255)).SelectObject(2);
    Writer.Polyline({{-32000, 8}, {32000, 8}, {-32000, 8}, {32000, 8}});
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 60, 20, Red, 0));
    EXPECT_TRUE(Near(*Image, 10, 20, White, 0)); // excluded
    EXPECT_TRUE(Near(*Image, 60, 70, White, 0));
    for (std::uint32_t X : {30u, 31u, 32u, 33u})
        EXPECT_TRUE(Near(*Image, X, 80, Blue));
}

TEST(WmfPlayer, ClipRegionFromTheObjectTable) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.CreateRegion(500, 500, 1000, 1000).SelectClipRegion(2);
    Writer.Rectangle(0, 0, 1000, 1000);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 75, 75, Blue, 0));
    EXPECT_TRUE(Near(*Image, 25, 75, White, 0));
    EXPECT_TRUE(Near(*Image, 75, 25, White, 0));
}

TEST(WmfPlayer, HatchedPatternAndPaletteBrushes) {
    TWmfWriter Writer = Canvas();
    Writer.SetBkMode(2).SetBkColor(Rgb(255, 255, 0)).CreatePen(5, 0, 0).SelectObject(0);
    Writer.CreateBrush(2, Rgb(0, 0, 255), 4).SelectObject(1); // blue cross hatch on yellow
    Writer.Rectangle(0, 0, 500, 500);
    Writer.DIBCreatePatternBrush(MakeDib(24, Quadrants)).SelectObject(2);
    Writer.Rectangle(500, 0, 1000, 500);
    Writer.CreatePalette({Rgb(1, 2, 3), Rgb(0, 128, 0)}).SelectPalette(3);
    Writer.CreateBrush(0, 0x01000001).SelectObject(4); // palette entry 1
    Writer.Rectangle(0, 500, 1000, 1000);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    int HatchBlue = 0, HatchYellow = 0;
    for (std::uint32_t Y = 5; Y < 45; ++Y)
        for (std::uint32_t X = 5; X < 45; ++X) {
            HatchBlue += Image->Pixel(X, Y) == Blue;
            HatchYellow += Image->Pixel(X, Y) == Yellow;
        }
    EXPECT_GT(HatchBlue, 200);
    EXPECT_GT(HatchYellow, 900);
    EXPECT_EQ(HatchBlue + HatchYellow, 1600);
    // The 2 x 2 pattern repeats on image pixels.
    const std::uint32_t Pattern = Image->Pixel(60, 20);
    EXPECT_TRUE(Pattern == Red || Pattern == Green || Pattern == Blue || Pattern == Yellow);
    EXPECT_NE(Image->Pixel(60, 20), Image->Pixel(61, 20));
    EXPECT_EQ(Image->Pixel(60, 20), Image->Pixel(62, 20));
    EXPECT_TRUE(Near(*Image, 50, 75, 0x008000, 0));
}

TEST(WmfPlayer, RasterOperations) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(0, 0, 1000, 500);
    Writer.SetROP2(6); // R2_NOT inverts what is there
    Writer.Rectangle(500, 0, 1000, 1000);
    Writer.SetROP2(11); // R2_NOP draws nothing
    Writer.Rectangle(0, 500, 500, 1000);
    Writer.PatBlt(0, 900, 1000, 100, 0x00000042); // BLACKNESS
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 25, 25, Red, 0));
    EXPECT_TRUE(Near(*Image, 75, 25, 0x00FFFF, 0)); // red inverted
    EXPECT_TRUE(Near(*Image, 75, 75, Black, 0));    // white inverted
    EXPECT_TRUE(Near(*Image, 25, 75, White, 0));
    EXPECT_TRUE(Near(*Image, 25, 95, Black, 0));
}

TEST(WmfPlayer, MappingThatTurnsTheYAxisAround) {
    // Window origin at the bottom, extent upwards: logical y 0 is the image's bottom row.
    TWmfWriter Writer;
    Writer.SetMapMode(8).SetWindowOrg(0, 1000).SetWindowExt(1000, -1000);
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(0, 0, 1000, 300);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 50, 90, Blue, 0));
    EXPECT_TRUE(Near(*Image, 50, 10, White, 0));
}

TEST(WmfPlayer, EscapesAndUnknownRecordsAreSkipped) {
    TWmfWriter Writer = Canvas();
    Writer.Words(0x0626, {15, 4, 0x4241, 0x4443}); // an escape with data
    Writer.Words(0x0777, {1, 2, 3});               // no such record
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).Rectangle(0, 0, 1000, 1000);
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 50, 50, Red, 0));
}

// Robustness: every malformed metafile ends its playback with a failure, and reads nothing outside
// the data (the sanitizer build checks that part).

TBytes Broken(const TWmfWriter& Writer, int Objects = 8) {
    return Placeable(Writer.Metafile(Objects), 50, 50);
}

TEST(WmfPlayerRobustness, RecordSizes) {
    TWmfWriter Zero = Canvas();
    Zero.Raw({0, 0, 0, 0, 0x1B, 0x04, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(Renders(Broken(Zero)));

    TWmfWriter Two = Canvas();
    Two.Raw({2, 0, 0, 0, 0x1B, 0x04});
    EXPECT_FALSE(Renders(Broken(Two)));

    // A rectangle claiming 100 words at the very end of the data.
    TWmfWriter Long = Canvas();
    Long.Raw({100, 0, 0, 0, 0x1B, 0x04, 1, 0, 2, 0, 3, 0, 4, 0});
    TBytes Data = Placeable(Long.Metafile(), 50, 50);
    Data.resize(Data.size() - 6); // no EOF record after it
    EXPECT_FALSE(Renders(Data));

    // A record whose parameters are shorter than its kind needs.
    TWmfWriter Short = Canvas();
    Short.Words(0x041B, {1, 2});
    EXPECT_FALSE(Renders(Broken(Short)));

    // Points and polygons that run past their record.
    TWmfWriter Points = Canvas();
    Points.Words(0x0324, {100, 0, 0, 10, 10});
    EXPECT_FALSE(Renders(Broken(Points)));
    TWmfWriter Polygons = Canvas();
    Polygons.Words(0x0538, {2, 3, 30000, 0, 0, 1, 1, 2, 2});
    EXPECT_FALSE(Renders(Broken(Polygons)));
    TWmfWriter Text = Canvas();
    Text.Words(0x0521, {200, 0x4141});
    EXPECT_FALSE(Renders(Broken(Text)));

    // A metafile that simply ends after a whole record, without EOF, is complete.
    TWmfWriter Ends = Canvas();
    Ends.CreateBrush(0, Rgb(255, 0, 0));
    Data = Placeable(Ends.Metafile(), 50, 50);
    Data.resize(Data.size() - 6);
    EXPECT_TRUE(Renders(Data));
}

TEST(WmfPlayerRobustness, ObjectIndices) {
    TWmfWriter Select = Canvas();
    Select.CreateBrush(0, 0).SelectObject(8);
    EXPECT_FALSE(Renders(Broken(Select, 8)));
    EXPECT_TRUE(Renders(Broken(Select, 9)));

    TWmfWriter Delete = Canvas();
    Delete.DeleteObject(65535);
    EXPECT_FALSE(Renders(Broken(Delete)));

    TWmfWriter Full = Canvas();
    Full.CreateBrush(0, 0).CreateBrush(0, 0).CreateBrush(0, 0);
    EXPECT_FALSE(Renders(Broken(Full, 2)));
    Full.DeleteObject(0);
    EXPECT_FALSE(Renders(Broken(Full, 2))); // the third creation already failed

    // Deleting frees an index for the next object; an empty entry selects nothing.
    TWmfWriter Reuse = Canvas();
    Reuse.CreateBrush(0, 0).CreateBrush(0, 0).DeleteObject(0).CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0);
    Reuse.DeleteObject(1).SelectObject(1).Rectangle(0, 0, 1000, 1000);
    const auto Image = Play(Reuse, 50, 50, 2);
    ASSERT_TRUE(Image);
    EXPECT_TRUE(Near(*Image, 25, 25, Blue, 0));

    TWmfWriter Region = Canvas();
    Region.SelectClipRegion(40);
    EXPECT_FALSE(Renders(Broken(Region)));
    TWmfWriter Palette = Canvas();
    Palette.SelectPalette(40);
    EXPECT_FALSE(Renders(Broken(Palette)));
}

TEST(WmfPlayerRobustness, BitmapsLargerThanTheirBytes) {
    TBytes Dib = MakeDib(24, Quadrants);
    Dib.resize(Dib.size() - 4); // the last row is cut short
    TWmfWriter Cut = Canvas();
    Cut.StretchDIB(0, 0, 1000, 1000, 2, 2, Dib);
    EXPECT_FALSE(Renders(Broken(Cut)));

    TBytes Huge = MakeDib(24, Quadrants);
    Huge[4] = 0xFF; // width 255 with the bytes of 2
    TWmfWriter Wide = Canvas();
    Wide.DIBStretchBlt(0, 0, 1000, 1000, 2, 2, Huge);
    EXPECT_FALSE(Renders(Broken(Wide)));

    TBytes Table = MakeDib(8, QuadrantIndices, false, QuadrantPalette);
    Table[32] = 0xFF; // 255 colour-table entries that are not there
    TWmfWriter Colors = Canvas();
    Colors.DIBBitBlt(0, 0, 2, 2, Table);
    EXPECT_FALSE(Renders(Broken(Colors)));

    TBytes Header = MakeDib(24, Quadrants);
    Header.resize(20); // not even a whole header
    TWmfWriter Truncated = Canvas();
    Truncated.DIBCreatePatternBrush(Header);
    EXPECT_FALSE(Renders(Broken(Truncated)));

    // 20000 x 20000 claimed by a run-length bitmap of a few bytes: over the decoding limit.
    TBytes Rle = MakeRleDib(8, 20000, 20000, {Red}, {0, 1});
    TWmfWriter Bomb = Canvas();
    Bomb.StretchDIB(0, 0, 1000, 1000, 20000, 20000, Rle);
    EXPECT_FALSE(Renders(Broken(Bomb)));

    // A run-length bitmap whose declared compressed size exceeds its bytes.
    TBytes Claim = MakeRleDib(8, 4, 2, {Red}, {4, 0, 0, 1});
    Claim[20] = 200;
    TWmfWriter Claims = Canvas();
    Claims.StretchDIB(0, 0, 1000, 1000, 4, 2, Claim);
    EXPECT_FALSE(Renders(Broken(Claims)));
}

TEST(WmfPlayerRobustness, Headers) {
    const TBytes Good = Broken(Canvas());
    EXPECT_TRUE(Renders(Good));

    TBytes Key = Good;
    Key[0] ^= 1;
    EXPECT_FALSE(Renders(Key));

    TBytes Checksum = Good;
    Checksum[20] ^= 1;
    EXPECT_FALSE(Renders(Checksum));

    TBytes Box = Good; // a box whose checksum matches but whose right edge is at its left
    Box[10] = 0;
    Box[11] = 0;
    Box[20] = 0;
    Box[21] = 0;
    std::uint16_t Sum = 0;
    for (std::size_t Offset = 0; Offset < 20; Offset += 2)
        Sum ^= static_cast<std::uint16_t>(Box[Offset] | (Box[Offset + 1] << 8));
    Box[20] = static_cast<std::uint8_t>(Sum & 0xFF);
    Box[21] = static_cast<std::uint8_t>(Sum >> 8);
    EXPECT_FALSE(Renders(Box));

    TBytes HeaderSize = Good;
    HeaderSize[24] = 8;
    EXPECT_FALSE(Renders(HeaderSize));

    EXPECT_FALSE(Renders(TBytes(Good.begin(), Good.begin() + 30)));
    EXPECT_FALSE(Renders({}));
}

TEST(WmfPlayerRobustness, ImageSizeLimits) {
    const TBytes Good = Broken(Canvas());
    EXPECT_FALSE(wmf::RenderWmf(Good, 0, 10));
    EXPECT_FALSE(wmf::RenderWmf(Good, 10, 0));
    EXPECT_FALSE(wmf::RenderWmf(Good, -5, 10));
    EXPECT_FALSE(wmf::RenderWmf(Good, 16385, 1));
    EXPECT_FALSE(wmf::RenderWmf(Good, 5000, 5000)); // 25 million pixels
    EXPECT_TRUE(wmf::RenderWmf(Good, 16384, 2));
}

TEST(WmfPlayerRobustness, StateStackIsBounded) {
    TWmfWriter Deep = Canvas();
    for (int Index = 0; Index < 1100; ++Index)
        Deep.SaveDC();
    EXPECT_FALSE(Renders(Broken(Deep)));

    // Restoring states that were never saved is refused, not a failure.
    TWmfWriter Unbalanced = Canvas();
    Unbalanced.RestoreDC(-5).RestoreDC(7).RestoreDC(0);
    EXPECT_TRUE(Renders(Broken(Unbalanced)));
}

} // namespace
} // namespace corvane
