#include "EmfPlayer.h"

#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxPictureConverterEMF.h"
#include "CxPictureConverterList.h"
#include "CxPictureConverterWMF.h"
#include "EmfWriter.h"
#include "PngImage.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace corvane {
namespace {

using test::DecodePng;
using test::MakeDib;
using test::PutDword;
using test::Rgb;
using test::TBytes;
using test::TEmfWriter;
using test::TPngImage;

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Blue = 0x0000FF;

// A pixel and the colour it must have.
struct TProbe {
    int X, Y;
    std::uint32_t Color;
};

std::optional<TPngImage> Play(const TBytes& Metafile, int Width = 100, int Height = 100) {
    const auto Png = wmf::RenderEmfToPng(Metafile, Width, Height);
    if (!Png) return std::nullopt;
    return DecodePng(*Png);
}

void ExpectProbes(const TPngImage& Image, const std::vector<TProbe>& Probes) {
    for (const TProbe& Probe : Probes)
        EXPECT_EQ(Image.Pixel(Probe.X, Probe.Y), Probe.Color)
            << std::hex << "pixel (" << std::dec << Probe.X << ", " << Probe.Y << ")";
}

// Region data with one rectangle: the header (size, type, count, bytes, bounds), then the rectangle.
TBytes Region(int Left, int Top, int Right, int Bottom) {
    TBytes Out;
    for (int Value : {32, 1, 1, 16, Left, Top, Right, Bottom, Left, Top, Right, Bottom})
        PutDword(Out, static_cast<std::uint32_t>(Value));
    return Out;
}

// StretchDIBits of a packed DIB whose header is HeaderBytes long, onto the given logical rectangle,
// with the raster operation SRCCOPY.
TEmfWriter& StretchDib(TEmfWriter& Writer, int X, int Y, int Width, int Height, const TBytes& Dib,
                       int DibWidth, int DibHeight, int HeaderBytes = 40) {
    const int Bits = static_cast<int>(Dib.size()) - HeaderBytes;
    return Writer.Ints(81,
                       {0, 0, 0, 0, X, Y, 0, 0, DibWidth, DibHeight, 80, HeaderBytes, 80 + HeaderBytes, Bits,
                        0, 0x00CC0020, Width, Height},
                       Dib);
}

// ExtTextOutW of Text (ASCII) at (X, Y) with options and their rectangle.
TEmfWriter& TextOut(TEmfWriter& Writer, int X, int Y, const std::string& Text, int Options,
                    std::initializer_list<std::int64_t> Rect = {0, 0, 0, 0}) {
    TBytes Params;
    for (std::int64_t Value : {0, 0, 0, 0, 1, 0, 0, X, Y, static_cast<int>(Text.size()), 76, Options})
        PutDword(Params, static_cast<std::uint32_t>(Value));
    for (std::int64_t Value : Rect)
        PutDword(Params, static_cast<std::uint32_t>(Value));
    PutDword(Params, 0); // no advances
    for (char Character : Text)
        test::PutWord(Params, Character);
    return Writer.Record(84, Params);
}

// Each case draws with records of one group and checks pixels where they must and must not paint.
TEST(EmfPlayer, RecordGroupsPaintWhereTheyShould) {
    const TBytes Dib = MakeDib(24, {{Red, Blue}, {Blue, Red}}, true);
    struct TCase {
        const char* Name;
        TEmfWriter Writer;
        std::vector<TProbe> Probes;
    };
    std::vector<TCase> Cases;
    auto Add = [&](const char* Name, std::vector<TProbe> Probes) -> TEmfWriter& {
        Cases.push_back({Name, TEmfWriter(), std::move(Probes)});
        return Cases.back().Writer;
    };
    Add("world transform: scaled by 2, moved by 10",
        {{15, 15, Red}, {49, 49, Red}, {55, 55, White}, {5, 5, White}})
        .WorldTransform(2, 0, 0, 2, 10, 10)
        .Filled(Rgb(255, 0, 0))
        .Rectangle(0, 0, 20, 20);
    Add("world transform turned a quarter, then reset", {{75, 25, Red}, {25, 75, White}, {5, 5, Blue}})
        .WorldTransform(0, 1, -1, 0, 100, 0) // (x, y) -> (100 - y, x)
        .Filled(Rgb(255, 0, 0))
        .Rectangle(0, 0, 50, 50)
        .Ints(36, {0, 0, 0, 0, 0, 0, 1}) // identity
        .CreateBrush(2, Rgb(0, 0, 255))
        .SelectObject(2)
        .Rectangle(0, 0, 10, 10);
    Add("anisotropic window and viewport", {{75, 75, Red}, {25, 25, White}})
        .Ints(17, {8})
        .Ints(9, {1000, 1000})
        .Ints(11, {100, 100})
        .Filled(Rgb(255, 0, 0))
        .Rectangle(500, 500, 1000, 1000);
    Add("clip rectangles intersected and excluded", {{30, 30, Red}, {10, 10, White}, {70, 70, White}})
        .Ints(30, {0, 0, 50, 100})
        .Ints(29, {0, 0, 20, 20})
        .Filled(Rgb(255, 0, 0))
        .Rectangle(0, 0, 100, 100);
    Add("clip region selected, then restored away", {{75, 75, Red}, {25, 25, White}, {10, 90, Blue}})
        .Ints(33, {})
        .Ints(75, {48, 5}, Region(50, 50, 100, 100))
        .Filled(Rgb(255, 0, 0))
        .Rectangle(0, 0, 100, 100)
        .Ints(34, {-1})
        .CreateBrush(2, Rgb(0, 0, 255))
        .SelectObject(2)
        .Rectangle(0, 80, 20, 100);
    Add("path of curves filled and clip path", {{50, 50, Red}, {3, 3, White}, {50, 97, White}, {20, 50, Red}})
        .Ints(59, {})
        .Ellipse(0, 0, 100, 100)
        .Ints(60, {})
        .Ints(67, {5})
        .Ints(59, {})
        .Ints(27, {0, 0})
        .Record(88,
                [] { // PolyBezierTo16: bounds, count, three points
                    TBytes Params;
                    for (int Value : {0, 0, 100, 100, 3})
                        PutDword(Params, static_cast<std::uint32_t>(Value));
                    for (int Value : {100, 0, 100, 90, 0, 90})
                        test::PutWord(Params, Value);
                    return Params;
                }())
        .Ints(61, {})
        .Ints(60, {})
        .Filled(Rgb(255, 0, 0))
        .Ints(62, {0, 0, 100, 100});
    Add("widened path filled as a band", {{50, 45, Red}, {50, 55, Red}, {50, 30, White}, {50, 65, White}})
        .Ints(59, {})
        .Ints(27, {10, 50})
        .Ints(54, {90, 50})
        .Ints(60, {})
        .Filled(Rgb(255, 0, 0))
        .CreatePen(2, 0, 20, Rgb(0, 0, 0))
        .SelectObject(2)
        .Ints(66, {})
        .Ints(62, {0, 0, 100, 100});
    // A rectangle from red at the left to blue at the right; a triangle of two red corners and a blue one.
    Add("gradient rectangle and triangle",
        {{25, 25, 0xBD0041}, {75, 25, 0x3E00C0}, {5, 95, 0xAA0055}, {95, 70, White}})
        .Ints(118, {0, 0, 100, 100, 2, 1, 0, 0, 0, 0xFF00, 0, 100, 50, 0, 0xFF00, 0, 1})
        .Ints(118,
              {0, 0, 100, 100, 3, 1, 2, 0, 60, 0xFF00, 0, 100, 100, 0xFF00, 0, 0, 100, 0, 0xFF00, 0, 1, 2});
    Add("pie and round rectangle, a stock brush selected on the way",
        {{60, 40, Red}, {40, 60, White}, {40, 95, Blue}, {1, 99, White}})
        .Filled(Rgb(255, 0, 0))
        .Ints(47, {0, 0, 100, 100, 100, 50, 50, 0}) // the quarter from 3 to 12 o'clock
        .SelectObject(0x80000004)                   // the black brush
        .CreateBrush(2, Rgb(0, 0, 255))
        .SelectObject(2)
        .Ints(44, {0, 80, 100, 100, 40, 40});
    Add("bitmap stretched, then blended at half strength",
        {{25, 25, Red}, {75, 25, Blue}, {75, 75, 0xFF8080}});
    StretchDib(Cases.back().Writer, 0, 0, 100, 100, Dib, 2, 2);
    // AlphaBlend: destination, blend function (constant alpha 128), source position, an identity
    // transform, background, colour use, the bitmap's offsets and sizes, the source size.
    Cases.back().Writer.Ints(114, {0, 0,          0, 0, 50, 50, 50,  50, 0x00800000, 0,  0, 0x3F800000, 0,
                                   0, 0x3F800000, 0, 0, 0,  0,  108, 40, 148,        16, 2, 2},
                             MakeDib(24, {{White, White}, {White, White}}, true));
    Add("text over an opaque box", {{2, 2, White}, {60, 40, Red}, {95, 45, Red}, {5, 45, White}});
    Cases.back().Writer.Ints(25, {Rgb(255, 0, 0)});
    TextOut(Cases.back().Writer, 10, 10, "Ill", 2, {10, 10, 100, 50});

    auto F = TEmfWriter::Bits;
    const std::int64_t Version = 0xDBC01002;
    Add("EMF+ only: objects, rectangles, ellipse, solid and dashed lines, transforms", {{25, 25, Red},
                                                                                        {75, 75, Blue},
                                                                                        {52, 52, White},
                                                                                        {50, 90, 0x00FF00},
                                                                                        {90, 10, White},
                                                                                        {6, 70, 0x00FF00},
                                                                                        {14, 70, White}})
        .Plus({TEmfWriter::PlusRecord(0x4001, 0, {Version, 0, 96, 96}),
               TEmfWriter::PlusRecord(0x4008, 0x0100, {Version, 0, 0xFFFF0000}), // brush 0
               TEmfWriter::PlusRecord(0x400A, 0, {0, 1, F(0), F(0), F(50), F(50)}),
               TEmfWriter::PlusRecord(0x402D, 0, {F(50), F(50)}),
               TEmfWriter::PlusRecord(0x400E, 0x8000, {0xFF0000FF, F(0), F(0), F(50), F(50)}),
               TEmfWriter::PlusRecord(0x402B, 0, {}),
               // Pen 1: no optional data, 4 pixels wide, a solid green brush.
               TEmfWriter::PlusRecord(0x4008, 0x0201, {Version, 0, 0, 2, F(4), Version, 0, 0xFF00FF00}),
               TEmfWriter::PlusRecord(0x400D, 0x4001, {2, 90 << 16, 100 | (90 << 16)}),
               // Pen 2 the same, dashed: dashes of three widths, gaps of one.
               TEmfWriter::PlusRecord(0x4008, 0x0202, {Version, 0, 0x20, 2, F(4), 1, Version, 0, 0xFF00FF00}),
               TEmfWriter::PlusRecord(0x400D, 0x4002, {2, 70 << 16, 100 | (70 << 16)})});
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const auto Image = Play(Case.Writer.Metafile());
        ASSERT_TRUE(Image);
        ExpectProbes(*Image, Case.Probes);
    }
}

// Metafiles that lie about their sizes, indexes and counts end without harm: refused, or drawn as far
// as they make sense.
TEST(EmfPlayer, HostileMetafilesAreRefusedOrDrawnSafely) {
    struct TCase {
        const char* Name;
        TBytes Metafile;
        bool Renders;
    };
    auto Broken = [](const TBytes& Record) { return TEmfWriter().Raw(Record).Metafile(); };
    TBytes Header = TEmfWriter().Metafile();
    Header[40] = 'X';
    TBytes PlusOnly = TEmfWriter().Ints(70, {16, 0x2B464D45, 0x4001 | (0u << 16), 28}).Metafile();
    TBytes PlusDual = TEmfWriter()
                          .Ints(70, {16, 0x2B464D45, 0x4001 | (1u << 16), 28})
                          .Filled(Rgb(255, 0, 0))
                          .Rectangle(0, 0, 9, 9)
                          .Metafile();
    TBytes Many = TEmfWriter().Metafile();
    Many.resize(88);
    for (std::uint32_t Record = 0; Record <= wmf::MaxEmfRecords; ++Record)
        for (std::uint32_t Value : {18u, 12u, 1u})
            PutDword(Many, Value);
    TBytes SavedTooOften = TEmfWriter().Metafile();
    SavedTooOften.resize(88);
    for (int Save = 0; Save < 2000; ++Save)
        for (std::uint32_t Value : {33u, 8u})
            PutDword(SavedTooOften, Value);
    const TBytes LyingDib = [] {
        TBytes Dib = MakeDib(24, {{Red, Blue}, {Blue, Red}}, true);
        Dib[4] = 0xFF; // 255 pixels wide, with the bits of two
        return Dib;
    }();
    TEmfWriter LyingBitmap;
    StretchDib(LyingBitmap, 0, 0, 10, 10, LyingDib, 2, 2);
    for (const TCase& Case : std::initializer_list<TCase>{
             {"no records", TEmfWriter().Metafile(), true},
             {"signature wrong", Header, false},
             {"record size 0", Broken({18, 0, 0, 0, 0, 0, 0, 0}), false},
             {"record size not a multiple of 4", Broken({18, 0, 0, 0, 10, 0, 0, 0, 1, 0}), false},
             {"record past the end", Broken({18, 0, 0, 0, 0xF0, 0xFF, 0, 0}), false},
             {"object index outside the table", TEmfWriter().SelectObject(100).Metafile(), false},
             {"point count beyond the record", TEmfWriter().Ints(86, {0, 0, 0, 0, 0x40000000}).Metafile(),
              false},
             {"figure counts beyond the total",
              TEmfWriter().Ints(91, {0, 0, 0, 0, 2, 3, 0xFFFFFFFF, 4, 0, 0, 0, 0, 0, 0}).Metafile(), false},
             {"region count beyond its data", TEmfWriter().Ints(75, {16, 5, 32, 1, 1000, 16}).Metafile(),
              false},
             {"text longer than its record",
              TEmfWriter().Ints(84, {0, 0, 0, 0, 1, 0, 0, 5, 5, 1000, 76, 0}).Metafile(), false},
             {"bitmap wider than its bits", LyingBitmap.Metafile(), false},
             {"transform huge, then flat: both ignored",
              TEmfWriter()
                  .WorldTransform(1e30f, 0, 0, 1e30f, 0, 0)
                  .WorldTransform(0, 0, 0, 0, 0, 0)
                  .Filled(Rgb(255, 0, 0))
                  .Rectangle(0, 0, 50, 50)
                  .Metafile(),
              true},
             {"shapes far outside every range",
              TEmfWriter()
                  .Filled(Rgb(255, 0, 0))
                  .Rectangle(-2000000000, -2000000000, 2000000000, 2000000000)
                  .Ellipse(0, 0, 2000000000, 5)
                  .Metafile(),
              true},
             {"EMF+ only, drawing nothing", PlusOnly, true},
             {"EMF+ record past its comment",
              TEmfWriter()
                  .Plus({TEmfWriter::PlusRecord(0x4001, 0, {1, 0, 96, 96}),
                         {0x0A, 0x40, 0, 0, 0xF0, 0, 0, 0, 0, 0, 0, 0}})
                  .Metafile(),
              false},
             {"EMF+ object index outside the table",
              TEmfWriter()
                  .Plus({TEmfWriter::PlusRecord(0x4001, 0, {1, 0, 96, 96}),
                         TEmfWriter::PlusRecord(0x400A, 0, {70, 0})})
                  .Metafile(),
              false},
             {"EMF+ dual plays its EMF records", PlusDual, true},
             {"too many records", Many, false},
             {"too many saved states", SavedTooOften, false},
         }) {
        SCOPED_TRACE(Case.Name);
        EXPECT_EQ(wmf::RenderEmf(Case.Metafile, 50, 50).has_value(), Case.Renders);
    }
}

// The sample document holds two drawings exported by two drawing programs from the same picture: each
// becomes a PNG of its goal size, named and written as one, with its shapes where they belong.
TEST(EmfPlayer, SampleDocumentPicturesBecomePng) {
    const auto Adapter = std::make_shared<TMemoryPictureAdapterDataURI>(0);
    Adapter->SetConverter(
        std::make_shared<TPictureConverterList>(std::vector<std::shared_ptr<IPictureConverter>>{
            std::make_shared<TPictureConverterWMF>(), std::make_shared<TPictureConverterEMF>()}));
    TRkCorvaneXHTML Cx;
    Cx.SetConvertPictures(true);
    Cx.SetPictureAdapter(Adapter);
    Cx.Convert(test::ReadFile(std::filesystem::path(CORVANE_TEST_DATA_DIR) / "emf/shapes.rtf"));
    // Rectangle, its outline, ellipse, curve, turned rectangle, two squares of the bitmap, background;
    // in the first, a dash of the dashed line and the gap after it.
    // clang-format off
    const std::vector<std::tuple<std::string, int, int, std::vector<TProbe>>> Expected{
        {"image1.png", 401, 303, {{70, 50, Red}, {10, 50, 0}, {210, 50, 0x00C000}, {340, 70, Blue},
                                  {80, 175, 0xFFCC00}, {310, 160, Red}, {330, 160, Blue}, {200, 110, White},
                                  {164, 128, 0x800080}, {166, 132, White}}},
        {"image2.png", 373, 273, {{60, 40, Red}, {195, 35, 0x00C000}, {325, 60, Blue}, {70, 160, 0xFFCC00},
                                  {295, 145, Red}, {315, 145, Blue}, {190, 100, White}}}};
    // clang-format on
    ASSERT_EQ(Adapter->GetPictures().size(), Expected.size());
    for (const auto& [Name, Width, Height, Probes] : Expected) {
        SCOPED_TRACE(Name);
        const auto Found = Adapter->GetPictures().find(Name);
        ASSERT_NE(Found, Adapter->GetPictures().end());
        const TEmbeddedPicture& Picture = *Found->second;
        EXPECT_EQ(Picture.PictureType(), ptPNG);
        const auto Image = DecodePng(Picture.GetData().Bytes());
        ASSERT_TRUE(Image);
        EXPECT_EQ(Image->Width, static_cast<std::uint32_t>(Width));
        EXPECT_EQ(Image->Height, static_cast<std::uint32_t>(Height));
        ExpectProbes(*Image, Probes);
        // The caption's dark blue letters lie in the bottom left.
        int Letters = 0;
        for (int Y = Height - 60; Y < Height; ++Y)
            for (int X = 0; X < Width / 2; ++X)
                Letters += Image->Pixel(X, Y) == 0x000080;
        EXPECT_GT(Letters, 300);
    }
}

} // namespace
} // namespace corvane
