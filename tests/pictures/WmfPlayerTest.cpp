#include "WmfPlayer.h"
#include "CxPictureConverterWMF.h"
#include "PngImage.h"
#include "WmfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
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
    TBytes Data = Metafile;
    Data.insert(Data.begin(), Header.begin(), Header.end());
    return Data;
}

// A writer whose window of 1000 x 1000 units fills a 100 x 100 image: ten units to the pixel.
TWmfWriter Canvas() {
    TWmfWriter Writer;
    Writer.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(1000, 1000);
    return Writer;
}

// The same with a brush of the given colour and no pen selected, for filled shapes.
TWmfWriter Filled(std::uint32_t Color) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Color).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    return Writer;
}

std::optional<TPngImage> Play(const TWmfWriter& Writer, int Width = 100, int Height = 100, int Objects = 8) {
    const auto Png = wmf::RenderWmfToPng(Placeable(Writer.Metafile(Objects), Width, Height), Width, Height);
    if (!Png) return std::nullopt;
    return DecodePng(*Png);
}

::testing::AssertionResult Near(const TPngImage& Image, std::uint32_t X, std::uint32_t Y,
                                std::uint32_t Expected, int Tolerance = 0) {
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

struct TPixel {
    std::uint32_t X, Y, Color;
};

void ExpectPixels(const TPngImage& Image, const std::vector<TPixel>& Pixels, int Tolerance = 0) {
    for (const TPixel& Pixel : Pixels)
        EXPECT_TRUE(Near(Image, Pixel.X, Pixel.Y, Pixel.Color, Tolerance));
}

// Plays the drawing onto an image of the given size and checks the pixels it must set and leave; the
// tolerance is per channel, for antialiased edges.
void ExpectDrawing(const TWmfWriter& Writer, const std::vector<TPixel>& Pixels, int Tolerance = 0,
                   int Width = 100, int Height = 100, int Objects = 8) {
    const auto Image = Play(Writer, Width, Height, Objects);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Width, static_cast<std::uint32_t>(Width));
    EXPECT_EQ(Image->Height, static_cast<std::uint32_t>(Height));
    ExpectPixels(*Image, Pixels, Tolerance);
}

// Four colours in the quadrants, top-down: red, green / blue, yellow.
const std::vector<std::vector<std::uint32_t>> Quadrants{{Red, Green}, {Blue, Yellow}};
const std::vector<std::uint32_t> QuadrantPalette{Red, Green, Blue, Yellow};
const std::vector<std::vector<std::uint32_t>> QuadrantIndices{{0, 1}, {2, 3}};
const std::vector<TPixel> QuadrantPixels{{30, 30, Red},    {70, 30, Green}, {30, 70, Blue},
                                         {70, 70, Yellow}, {5, 5, White},   {95, 95, White}};
const std::vector<std::vector<std::uint32_t>> BlueSquare(40, std::vector<std::uint32_t>(40, Blue));

// The canvas maps ten units to a pixel.

TEST(WmfPlayer, FilledRectangle) {
    ExpectDrawing(
        Filled(Rgb(255, 0, 0)).Rectangle(200, 200, 800, 600),
        {{50, 40, Red}, {21, 21, Red}, {78, 58, Red}, {10, 10, White}, {50, 70, White}, {90, 40, White}});
    // The same window on a 200 x 50 image: the picture stretches with it.
    ExpectDrawing(Filled(Rgb(0, 0, 255)).Rectangle(500, 0, 1000, 500),
                  {{150, 12, Blue}, {50, 12, White}, {150, 37, White}}, 0, 200, 50);
}

TEST(WmfPlayer, PolygonWithPenAndPolyline) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0).CreatePen(0, 60, Rgb(0, 255, 0)).SelectObject(1);
    Writer.Polygon({{100, 100}, {900, 100}, {900, 900}}).Polyline({{100, 950}, {900, 950}});
    // Inside the triangle, its top and right edges (a pen six pixels wide), below the diagonal, the
    // open polyline and above it.
    ExpectDrawing(
        Writer,
        {{75, 40, Blue}, {50, 10, Green}, {90, 50, Green}, {25, 60, White}, {50, 95, Green}, {50, 85, White}},
        40);
}

TEST(WmfPlayer, EllipseLeavesTheCornersOfItsBox) {
    TWmfWriter Writer = Canvas();
    Writer.CreateBrush(0, Rgb(255, 255, 0)).SelectObject(0).CreatePen(0, 0, 0).SelectObject(1);
    // Inside, inside the box but outside the ellipse, and the outline at the top.
    ExpectDrawing(Writer.Ellipse(100, 100, 900, 900),
                  {{50, 50, Yellow}, {50, 15, Yellow}, {12, 12, White}, {87, 87, White}, {50, 10, Black}},
                  100);
}

TEST(WmfPlayer, LinesFromTheCurrentPosition) {
    TWmfWriter Writer = Canvas();
    Writer.CreatePen(0, 0, 0).SelectObject(0).MoveTo(100, 500).LineTo(900, 500).LineTo(900, 100);
    // The second line starts where the first ended.
    ExpectDrawing(Writer,
                  {{50, 50, Black}, {90, 30, Black}, {50, 48, White}, {50, 52, White}, {5, 50, White}}, 40);
}

TEST(WmfPlayer, PieAndRoundRect) {
    TWmfWriter Writer = Filled(Rgb(255, 0, 0));
    // Anticlockwise from 3 o'clock to 12 o'clock: the upper right quarter; then a rounded corner.
    Writer.Pie(0, 0, 1000, 1000, 1000, 500, 500, 0);
    Writer.CreateBrush(0, Rgb(0, 0, 255)).SelectObject(2).RoundRect(100, 600, 400, 900, 200, 200);
    ExpectDrawing(Writer, {{70, 30, Red}, {30, 30, White}, {70, 70, White}, {25, 75, Blue}, {11, 61, White}},
                  40);
}

TEST(WmfPlayer, EveryBlockTransferRecord) {
    ExpectDrawing(Canvas().DIBStretchBlt(100, 100, 800, 800, 2, 2, MakeDib(24, Quadrants)), QuadrantPixels);
    // A 40 x 40 bitmap unscaled: one image pixel per ten logical units, so a 400-unit square.
    ExpectDrawing(Canvas().DIBBitBlt(300, 300, 40, 40, MakeDib(24, BlueSquare)),
                  {{30, 30, Blue}, {28, 28, White}});
    // SetDIBitsToDevice sizes are device units, here the 101-unit frame over 100 pixels.
    ExpectDrawing(Canvas().SetDIBToDev(500, 500, 40, 40, MakeDib(24, BlueSquare)),
                  {{70, 70, Blue}, {92, 92, White}, {48, 48, White}});
}

TEST(WmfPlayer, RunLengthBitmapsLeaveSkippedPixels) {
    // 4 x 2, bottom row first: two red, then a move of two to the right; top row: four blue. Skipped
    // pixels keep what was there.
    TWmfWriter Writer = Filled(Rgb(0, 255, 0));
    Writer.Rectangle(0, 0, 1000, 1000);
    Writer.StretchDIB(0, 0, 1000, 1000, 4, 2,
                      MakeRleDib(8, 4, 2, {Red, Blue}, {2, 0, 0, 2, 2, 0, 0, 0, 4, 1, 0, 1}));
    ExpectDrawing(Writer, {{12, 75, Red}, {37, 75, Red}, {87, 75, Green}, {62, 25, Blue}});

    // RLE4: a run alternating red and blue, then a literal run of blue, red, blue that ends before the row.
    const TBytes Rle4 = MakeRleDib(4, 4, 2, {Red, Blue}, {4, 0x01, 0, 0, 0, 3, 0x10, 0x10, 0, 1});
    ExpectDrawing(Canvas().StretchDIB(0, 0, 1000, 1000, 4, 2, Rle4), {{12, 75, Red},
                                                                      {37, 75, Blue},
                                                                      {62, 75, Red},
                                                                      {12, 25, Blue},
                                                                      {37, 25, Red},
                                                                      {62, 25, Blue},
                                                                      {87, 25, White}});
}

TEST(WmfPlayer, ClippingAndSavedStates) {
    TWmfWriter Writer = Filled(Rgb(255, 0, 0));
    Writer.SaveDC().IntersectClipRect(0, 0, 500, 1000).ExcludeClipRect(100, 100, 300, 300);
    Writer.Rectangle(0, 0, 1000, 500).RestoreDC(-1).Rectangle(0, 600, 1000, 1000);
    // Excluded, outside the intersection, and unclipped again after the state is restored.
    ExpectDrawing(Writer, {{40, 40, Red}, {20, 20, White}, {70, 20, White}, {70, 80, Red}});

    TWmfWriter Region = Filled(Rgb(0, 0, 255));
    Region.CreateRegion(500, 500, 1000, 1000).SelectClipRegion(2).Rectangle(0, 0, 1000, 1000);
    ExpectDrawing(Region, {{75, 75, Blue}, {25, 75, White}, {75, 25, White}});
}

TEST(WmfPlayer, GeometryFarBeyondTheImage) {
    // One logical unit is ten pixels: clip edges and line ends lie hundreds of thousands of pixels out.
    TWmfWriter Writer = Filled(Rgb(255, 0, 0));
    Writer.SetWindowExt(10, 10).ExcludeClipRect(-32000, -32000, 2, 32000).Rectangle(-32000, -32000, 32000, 5);
    // A dotted pen along a line millions of dots long is drawn solid rather than dot by dot.
    Writer.CreatePen(2, 0, Rgb(0, 0, 255)).SelectObject(2);
    Writer.Polyline({{-32000, 8}, {32000, 8}, {-32000, 8}, {32000, 8}});
    ExpectDrawing(Writer,
                  {{60, 20, Red},
                   {10, 20, White},
                   {60, 70, White},
                   {30, 80, Blue},
                   {31, 80, Blue},
                   {32, 80, Blue},
                   {33, 80, Blue}},
                  40);
}

TEST(WmfPlayer, RasterOperations) {
    TWmfWriter Writer = Filled(Rgb(255, 0, 0));
    Writer.Rectangle(0, 0, 1000, 500);
    Writer.SetROP2(6).Rectangle(500, 0, 1000, 1000); // R2_NOT inverts what is there
    Writer.SetROP2(11).Rectangle(0, 500, 500, 1000); // R2_NOP draws nothing
    Writer.PatBlt(0, 900, 1000, 100, 0x00000042);    // BLACKNESS
    ExpectDrawing(Writer,
                  {{25, 25, Red}, {75, 25, 0x00FFFF}, {75, 75, Black}, {25, 75, White}, {25, 95, Black}});
}

TEST(WmfPlayer, MappingThatTurnsTheYAxisAround) {
    // Window origin at the bottom, extent upwards: logical y 0 is the image's bottom row.
    ExpectDrawing(
        Filled(Rgb(0, 0, 255)).SetWindowOrg(0, 1000).SetWindowExt(1000, -1000).Rectangle(0, 0, 1000, 300),
        {{50, 90, Blue}, {50, 10, White}});
}

TEST(WmfPlayer, ObjectTableAndUnknownRecords) {
    // An escape with data and a record that does not exist are skipped.
    TWmfWriter Writer = Canvas();
    Writer.Words(0x0626, {15, 4, 0x4241, 0x4443}).Words(0x0777, {1, 2, 3});
    ExpectDrawing(Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).Rectangle(0, 0, 1000, 1000),
                  {{50, 50, Red}});

    // Deleting frees an index for the next object; an empty entry selects nothing.
    TWmfWriter Reuse = Canvas();
    Reuse.CreateBrush(0, 0).CreateBrush(0, 0).DeleteObject(0).CreateBrush(0, Rgb(0, 0, 255)).SelectObject(0);
    Reuse.DeleteObject(1).SelectObject(1).Rectangle(0, 0, 1000, 1000);
    ExpectDrawing(Reuse, {{25, 25, Blue}}, 0, 50, 50, 2);
}

// Text cannot be checked pixel by pixel: dark pixels where the letters go (more than MoreThan in a box),
// none at all elsewhere (MoreThan 0).
TEST(WmfPlayer, TextLandsInItsPlace) {
    struct TInk {
        std::uint32_t Left, Top, Right, Bottom;
        int MoreThan = 0;
    };
    const auto Text = [](int Height, const std::string& Face, int Escapement, int Align) {
        TWmfWriter Writer = Canvas();
        Writer.CreateFont(Height, Face, Escapement).SelectObject(0).SetBkMode(1).SetTextAlign(Align);
        return Writer;
    };
    const struct {
        const char* Name;
        TWmfWriter Writer;
        std::vector<TInk> Ink;
    } Cases[] = {
        // 30-pixel letters from (10, 10) rightwards and downwards.
        {"top left",
         std::move(Text(-300, "Arial", 0, 0).SetTextColor(0).TextOut(100, 100, "HH")),
         {{10, 10, 60, 45, 100}, {0, 50, 100, 100}, {70, 0, 100, 100}}},
        // A face name in Windows-1252 bytes, and Greek text in Windows-1253: both reach the fonts as UTF-8.
        {"other character sets",
         std::move(Text(-300, "Caf\xE9 \xFF", 0, 0)
                       .TextOut(100, 100, "HH")
                       .CreateFont(-300, "Arial", 0, 161)
                       .SelectObject(1)
                       .TextOut(100, 600, "\xC1\xC2\xC3")),
         {{10, 10, 60, 45, 100}, {10, 60, 70, 95, 100}}},
        // Right and bottom aligned at (90, 90): the text lies left of and above that point.
        {"aligned",
         std::move(Text(-200, "Times New Roman", 0, 2 | 8).TextOut(900, 900, "Hi")),
         {{60, 65, 90, 90, 30}, {0, 0, 100, 60}, {92, 0, 100, 100}}},
        // Turned a quarter anticlockwise from (20, 90): the text runs upwards.
        {"turned",
         std::move(Text(-200, "Courier New", 900, 24).TextOut(200, 900, "HHHH")),
         {{0, 30, 20, 90, 60}, {25, 0, 100, 100}, {0, 92, 100, 100}}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const auto Image = Play(Case.Writer);
        ASSERT_TRUE(Image);
        for (const TInk& Ink : Case.Ink) {
            const int Dark = DarkPixels(*Image, Ink.Left, Ink.Top, Ink.Right, Ink.Bottom);
            if (Ink.MoreThan > 0)
                EXPECT_GT(Dark, Ink.MoreThan) << Ink.Left << "," << Ink.Top;
            else
                EXPECT_EQ(Dark, 0) << Ink.Left << "," << Ink.Top;
        }
    }

    // ExtTextOut opaque and clipped to the left half of the image's top band.
    TWmfWriter Writer = Canvas();
    Writer.CreateFont(-400, "Arial").SelectObject(0).SetBkColor(Rgb(0, 255, 0)).SetBkMode(1);
    Writer.ExtTextOut(0, 0, 2 | 4, {0, 0, 500, 300}, "WWWWWWWW", {100, 100, 100, 100, 100, 100, 100, 100});
    const auto Image = Play(Writer);
    ASSERT_TRUE(Image);
    ExpectPixels(*Image, {{48, 2, Green}, {20, 60, White}});
    EXPECT_EQ(DarkPixels(*Image, 50, 0, 100, 100), 0);
    EXPECT_GT(DarkPixels(*Image, 0, 0, 50, 30), 50);
}

// A stretched bitmap of every bit count, stored either way up, keeps its quadrants.
TEST(WmfPlayer, StretchedBitmapsOfEveryFormat) {
    for (const auto& [BitCount, TopDown] : std::vector<std::pair<int, bool>>{{24, false},
                                                                             {24, true},
                                                                             {8, false},
                                                                             {8, true},
                                                                             {32, false},
                                                                             {4, false},
                                                                             {1, false},
                                                                             {1, true}}) {
        SCOPED_TRACE(std::to_string(BitCount) + (TopDown ? " bits top-down" : " bits bottom-up"));
        TBytes Dib = BitCount <= 8 ? MakeDib(BitCount, QuadrantIndices, TopDown, QuadrantPalette)
                                   : MakeDib(BitCount, Quadrants, TopDown);
        std::vector<TPixel> Expected = QuadrantPixels;
        if (BitCount == 1) { // two colours only: red and green on top, green and red below
            Dib = MakeDib(1, {{0, 1}, {1, 0}}, TopDown, {Red, Green});
            Expected = {{30, 30, Red}, {70, 30, Green}, {30, 70, Green}, {70, 70, Red}, {5, 5, White}};
        }
        const auto Image = Play(Canvas().StretchDIB(100, 100, 800, 800, 2, 2, Dib));
        ASSERT_TRUE(Image);
        for (const TPixel& Pixel : Expected)
            EXPECT_TRUE(Near(*Image, Pixel.X, Pixel.Y, Pixel.Color));
    }
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
    EXPECT_TRUE(Near(*Image, 50, 75, 0x008000));
}

// Robustness: every malformed metafile ends its playback with a failure, and reads nothing outside
// the data (the sanitizer build checks that part).

TBytes Broken(const TWmfWriter& Writer, int Objects = 8) {
    return Placeable(Writer.Metafile(Objects), 50, 50);
}

bool Renders(const TBytes& Data) {
    return wmf::RenderWmf(Data, 50, 50).has_value();
}

TBytes Cut(TBytes Data, std::size_t Size) {
    Data.resize(Size);
    return Data;
}
TBytes Patched(TBytes Data, std::size_t At, std::uint8_t Value) {
    Data.at(At) = Value;
    return Data;
}
// Without the EOF record at the end.
TBytes WithoutEnd(const TBytes& Data) {
    return Cut(Data, Data.size() - 6);
}

TEST(WmfPlayerRobustness, MalformedRecordsFailAndBoundaryCasesPlay) {
    const TBytes Dib24 = MakeDib(24, Quadrants);
    TWmfWriter DeepStates = Canvas();
    for (int Index = 0; Index < 1100; ++Index)
        DeepStates.SaveDC();
    const struct {
        const char* Name;
        TBytes Data;
        bool Renders;
    } Cases[] = {
        {"record of size 0", Broken(Canvas().Raw({0, 0, 0, 0, 0x1B, 0x04, 0, 0, 0, 0, 0, 0, 0, 0})), false},
        {"record of size 2", Broken(Canvas().Raw({2, 0, 0, 0, 0x1B, 0x04})), false},
        {"record claiming 100 words at the very end",
         WithoutEnd(Broken(Canvas().Raw({100, 0, 0, 0, 0x1B, 0x04, 1, 0, 2, 0, 3, 0, 4, 0}))), false},
        {"parameters shorter than the record needs", Broken(Canvas().Words(0x041B, {1, 2})), false},
        {"points past the record", Broken(Canvas().Words(0x0324, {100, 0, 0, 10, 10})), false},
        {"polygons past the record", Broken(Canvas().Words(0x0538, {2, 3, 30000, 0, 0, 1, 1, 2, 2})), false},
        {"text past the record", Broken(Canvas().Words(0x0521, {200, 0x4141})), false},
        {"ends after a whole record without EOF", WithoutEnd(Broken(Canvas().CreateBrush(0, Rgb(255, 0, 0)))),
         true},
        {"select past the object table", Broken(Canvas().CreateBrush(0, 0).SelectObject(8), 8), false},
        {"select at the table's last entry", Broken(Canvas().CreateBrush(0, 0).SelectObject(8), 9), true},
        {"delete past the table", Broken(Canvas().DeleteObject(65535)), false},
        {"more objects than entries",
         Broken(Canvas().CreateBrush(0, 0).CreateBrush(0, 0).CreateBrush(0, 0), 2), false},
        {"deleting after the failed creation",
         Broken(Canvas().CreateBrush(0, 0).CreateBrush(0, 0).CreateBrush(0, 0).DeleteObject(0), 2), false},
        {"clip region past the table", Broken(Canvas().SelectClipRegion(40)), false},
        {"palette past the table", Broken(Canvas().SelectPalette(40)), false},
        {"bitmap's last row cut short",
         Broken(Canvas().StretchDIB(0, 0, 1000, 1000, 2, 2, Cut(Dib24, Dib24.size() - 4))), false},
        {"width 255 with the bytes of 2",
         Broken(Canvas().DIBStretchBlt(0, 0, 1000, 1000, 2, 2, Patched(Dib24, 4, 0xFF))), false},
        {"255 colour-table entries that are not there",
         Broken(Canvas().DIBBitBlt(0, 0, 2, 2,
                                   Patched(MakeDib(8, QuadrantIndices, false, QuadrantPalette), 32, 0xFF))),
         false},
        {"not even a whole bitmap header", Broken(Canvas().DIBCreatePatternBrush(Cut(Dib24, 20))), false},
        {"20000 x 20000 run-length bitmap of a few bytes: over the decoding limit",
         Broken(
             Canvas().StretchDIB(0, 0, 1000, 1000, 20000, 20000, MakeRleDib(8, 20000, 20000, {Red}, {0, 1}))),
         false},
        {"run-length size claimed beyond its bytes",
         Broken(Canvas().StretchDIB(0, 0, 1000, 1000, 4, 2,
                                    Patched(MakeRleDib(8, 4, 2, {Red}, {4, 0, 0, 1}), 20, 200))),
         false},
        {"saved states over the limit", Broken(DeepStates), false},
        // Restoring states that were never saved is refused, not a failure.
        {"restoring unsaved states", Broken(Canvas().RestoreDC(-5).RestoreDC(7).RestoreDC(0)), true},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Renders(Case.Data), Case.Renders) << Case.Name;
}

TEST(WmfPlayerRobustness, HeadersAndImageSizes) {
    const TBytes Good = Broken(Canvas());
    EXPECT_TRUE(Renders(Good));
    // A box whose checksum matches but whose right edge is at its left.
    TBytes Box = Good;
    Box[10] = Box[11] = 0;
    std::uint16_t Sum = 0;
    for (std::size_t Offset = 0; Offset < 20; Offset += 2)
        Sum ^= static_cast<std::uint16_t>(Box[Offset] | (Box[Offset + 1] << 8));
    Box[20] = static_cast<std::uint8_t>(Sum & 0xFF);
    Box[21] = static_cast<std::uint8_t>(Sum >> 8);
    EXPECT_FALSE(Renders(Box));
    // The key, the checksum and the metafile header's size.
    for (const auto& [Offset, Value] : {std::pair{0, Good[0] ^ 1}, {20, Good[20] ^ 1}, {24, 8}})
        EXPECT_FALSE(
            Renders(Patched(Good, static_cast<std::size_t>(Offset), static_cast<std::uint8_t>(Value))))
            << Offset;
    EXPECT_FALSE(Renders(TBytes(Good.begin(), Good.begin() + 30)));
    EXPECT_FALSE(Renders({}));

    for (const auto& [Width, Height] : {std::pair{0, 10}, {10, 0}, {-5, 10}, {16385, 1}, {5000, 5000}})
        EXPECT_FALSE(wmf::RenderWmf(Good, Width, Height)) << Width << " x " << Height;
    EXPECT_TRUE(wmf::RenderWmf(Good, 16384, 2));
}

} // namespace
} // namespace corvane
