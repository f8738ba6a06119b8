#include "WmfDib.h"
#include "WmfWriter.h"

#include <gtest/gtest.h>

#include <array>

namespace corvane::wmf {
namespace {

using test::MakeDib;
using test::PutDword;
using test::PutWord;
using test::TBytes;

std::optional<TWmfImage> Decode(const TBytes& Dib, std::uint16_t Usage = 0,
                                std::span<const std::uint32_t> Palette = {}) {
    std::uint64_t Budget = MaxDibPixels;
    return DecodeDib(TWmfBytes(Dib), Usage, Palette, Budget);
}

// A 40-byte header for the given size, bit count and compression; ColorsUsed entries are to follow it.
TBytes InfoHeader(int Width, int Height, int BitCount, std::uint32_t Compression,
                  std::uint8_t ColorsUsed = 0) {
    TBytes Out = test::DibHeader(Width, Height, BitCount, Compression, 0, {});
    Out[32] = ColorsUsed;
    return Out;
}

TEST(WmfDib, SixteenBitsAndBitFields) {
    // 5-5-5 without compression: pure red and pure blue.
    TBytes Dib = InfoHeader(2, 1, 16, 0);
    for (std::uint8_t Byte : {0x00, 0x7C, 0x1F, 0x00})
        Dib.push_back(Byte);
    auto Image = Decode(Dib);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Pixels[0], OpaquePixel(0xFF0000));
    EXPECT_EQ(Image->Pixels[1], OpaquePixel(0x0000FF));

    // 5-6-5 bit fields: green needs the middle six bits.
    Dib = InfoHeader(1, 1, 16, 3);
    for (std::uint32_t Mask : {0xF800u, 0x07E0u, 0x001Fu})
        PutDword(Dib, Mask);
    for (std::uint8_t Byte : {0xE0, 0x07, 0x00, 0x00})
        Dib.push_back(Byte);
    Image = Decode(Dib);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Pixels[0], OpaquePixel(0x00FF00));

    // 32-bit fields in an unusual order: blue in the high byte.
    Dib = InfoHeader(1, 1, 32, 3);
    for (std::uint32_t Mask : {0x0000FF00u, 0x00FF0000u, 0xFF000000u})
        PutDword(Dib, Mask);
    PutDword(Dib, 0x80402000);
    Image = Decode(Dib);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Pixels[0], OpaquePixel(0x204080));
}

TEST(WmfDib, CoreHeaderAndPaletteIndices) {
    // The 12-byte header with three-byte colour entries.
    TBytes Core;
    PutDword(Core, 12);
    PutWord(Core, 2);
    PutWord(Core, 1);
    PutWord(Core, 1);
    PutWord(Core, 1);
    for (std::uint8_t Byte : {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}) // red, blue
        Core.push_back(Byte);
    PutDword(Core, 0x40); // pixels 0 and 1
    auto Image = Decode(Core);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Pixels[0], OpaquePixel(0xFF0000));
    EXPECT_EQ(Image->Pixels[1], OpaquePixel(0x0000FF));

    // DIB_PAL_COLORS: the colour table holds indices into the selected palette.
    TBytes Indexed = InfoHeader(2, 1, 8, 0, 2);
    PutWord(Indexed, 2);
    PutWord(Indexed, 7); // past the palette: black
    PutDword(Indexed, 0x0100);
    const std::array<std::uint32_t, 3> Palette{0x111111, 0x222222, 0x00AA00};
    Image = Decode(Indexed, 1, Palette);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Pixels[0], OpaquePixel(0x00AA00));
    EXPECT_EQ(Image->Pixels[1], OpaquePixel(0x000000));
}

TEST(WmfDib, WhatIsSkippedAndWhatFails) {
    // An embedded JPEG is well formed but not decoded.
    TBytes Jpeg = InfoHeader(4, 4, 0, 4);
    Jpeg.resize(Jpeg.size() + 16, 0);
    EXPECT_FALSE(Decode(Jpeg));
    // So is an empty bitmap.
    EXPECT_FALSE(Decode(InfoHeader(0, 4, 24, 0)));

    EXPECT_THROW(Decode(InfoHeader(-4, 4, 24, 0)), ECxError);
    TBytes Unknown = InfoHeader(1, 1, 24, 0);
    Unknown[0] = 20; // a header size no format has
    EXPECT_THROW(Decode(Unknown), ECxError);

    // The budget of a metafile runs out across its bitmaps.
    const TBytes Dib = MakeDib(24, {{0xFF0000, 0x00FF00}});
    std::uint64_t Budget = 3;
    EXPECT_TRUE(DecodeDib(TWmfBytes(Dib), 0, {}, Budget));
    EXPECT_EQ(Budget, 1u);
    EXPECT_THROW(DecodeDib(TWmfBytes(Dib), 0, {}, Budget), ECxError);
}

TEST(WmfDib, BandOfScanLines) {
    // Three rows declared, only the bottom two present, as SetDIBitsToDevice may give them.
    TBytes Band = MakeDib(24, {{0x0000FF}, {0x00FF00}});
    Band[8] = 3;
    std::uint64_t Budget = MaxDibPixels;
    const auto Image = DecodeDib(TWmfBytes(Band), 0, {}, Budget, 2);
    ASSERT_TRUE(Image);
    EXPECT_EQ(Image->Height, 2);
    EXPECT_EQ(Image->Pixels[0], OpaquePixel(0x0000FF));
    EXPECT_EQ(Image->Pixels[1], OpaquePixel(0x00FF00));
    EXPECT_THROW(Decode(Band), ECxError); // all three rows are not there
}

} // namespace
} // namespace corvane::wmf
