#include "CxPictureConverterWMF.h"

#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "PngImage.h"
#include "TestFiles.h"
#include "WmfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace corvane {
namespace {

using test::DecodePng;
using test::Rgb;
using test::TBytes;
using test::TWmfWriter;

TBytes RedSquareMetafile() {
    TWmfWriter Writer;
    Writer.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(100, 100);
    Writer.CreateBrush(0, Rgb(255, 0, 0)).SelectObject(0).CreatePen(5, 0, 0).SelectObject(1);
    Writer.Rectangle(25, 25, 75, 75);
    return Writer.Metafile();
}

void Fill(TEmbeddedPicture& Picture, const TBytes& Bytes) {
    for (std::uint8_t Byte : Bytes)
        Picture.AppendByte(Byte);
    Picture.Rewind();
}

TEST(PictureConverterWMF, PlaceableHeaderByteForByte) {
    // 1440 x 720 twips are 96 x 48 pixels; the box is one larger. The checksum is
    // 0xCDD7 ^ 0x9AC6 ^ 97 ^ 49 ^ 96 = 0x5721.
    const auto Header = TPictureConverterWMF::MakePlaceableHeader(96, 48);
    const decltype(Header) Expected{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0,    97,
                                    0,    49,   0,    96,   0, 0, 0, 0, 0, 0x21, 0x57};
    EXPECT_EQ(Header, Expected);
}

// Only an anisotropic metafile that the player can render becomes a PNG of its goal size; every other
// picture, and a metafile the player cannot render, stays as it was, and the conversion goes on.
TEST(PictureConverterWMF, OnlyRenderableAnisotropicMetafilesBecomePng) {
    const TBytes Good = RedSquareMetafile();
    TBytes Truncated = Good;
    Truncated.resize(Truncated.size() - 10); // the rectangle record runs past the end
    TBytes BadIndex = Good;
    BadIndex[10] = 1; // a header with a one-entry object table for two objects
    struct TCase {
        TPictureType Type;
        std::uint8_t MappingMode;
        TBytes Bytes;
        bool BecomesPng = false;
        std::int32_t GoalWidth = 1440, GoalHeight = 720;
    };
    for (const TCase& Case :
         {TCase{ptWMF, 8, Good, true}, TCase{ptWMF, 1, Good}, TCase{ptWMF, 7, Good}, TCase{ptPNG, 8, Good},
          TCase{ptEMF, 8, Good}, TCase{ptJPEG, 0, Good}, TCase{ptNone, 8, Good},
          TCase{ptWMF, 8, Good, false, 0, 720}, TCase{ptWMF, 8, Good, false, 1440, 0},
          TCase{ptWMF, 8, Good, false, 16385 * 15, 15}, TCase{ptWMF, 8, Good, false, 15 * 5000, 15 * 5000},
          TCase{ptWMF, 8, Truncated}, TCase{ptWMF, 8, BadIndex}, TCase{ptWMF, 8, TBytes{1, 2, 3}},
          TCase{ptWMF, 8, {}}}) {
        SCOPED_TRACE(testing::Message()
                     << Case.Type << " in mode " << int(Case.MappingMode) << ", " << Case.Bytes.size()
                     << " bytes, " << Case.GoalWidth << " x " << Case.GoalHeight);
        TEmbeddedPicture Picture;
        Picture.SetPictureType(Case.Type);
        Picture.SetMappingMode(Case.MappingMode);
        Picture.SetGoalWidth(Case.GoalWidth);
        Picture.SetGoalHeight(Case.GoalHeight);
        Fill(Picture, Case.Bytes);
        EXPECT_NO_THROW(TPictureConverterWMF().Convert(Picture));
        if (!Case.BecomesPng) {
            EXPECT_EQ(Picture.PictureType(), Case.Type);
            EXPECT_EQ(Picture.GetData().Bytes(), Case.Bytes);
            continue;
        }
        // 1440 x 720 twips are 96 x 48 pixels of 8-bit RGB; unpainted areas are white.
        EXPECT_EQ(Picture.PictureType(), ptPNG);
        EXPECT_EQ(Picture.GetData().Position(), 0u);
        const auto Image = DecodePng(Picture.GetData().Bytes());
        ASSERT_TRUE(Image);
        EXPECT_EQ(Image->Width, 96u);
        EXPECT_EQ(Image->Height, 48u);
        EXPECT_EQ(Image->Format, static_cast<std::uint32_t>(PNG_FORMAT_RGB));
        EXPECT_EQ(Image->Pixel(48, 24), 0xFF0000u);
        EXPECT_EQ(Image->Pixel(5, 5), 0xFFFFFFu);
        EXPECT_EQ(Image->Pixel(90, 44), 0xFFFFFFu);
    }
}

// Every metafile of the corpus, read by the reader and handed by the adapter to the converter, becomes a
// PNG of its goal size with something painted on it, named and embedded as one.
TEST(PictureConverterWMF, EveryCorpusMetafileBecomesAPicture) {
    std::size_t Metafiles = 0;
    for (const auto& File : test::CorpusFiles()) {
        const std::string Rtf = test::ReadFile(File);
        if (Rtf.find("wmetafile") == std::string::npos) continue;
        SCOPED_TRACE(File.filename().string());
        const auto Adapter = std::make_shared<TMemoryPictureAdapterDataURI>(1 << 20);
        Adapter->SetConverter(std::make_shared<TPictureConverterWMF>());
        TRkCorvaneXHTML Cx;
        Cx.SetConvertPictures(true);
        Cx.SetPictureAdapter(Adapter);
        Cx.Convert(Rtf);
        for (const auto& [Name, Picture] : Adapter->GetPictures()) {
            if (Picture->MappingMode() == 0) continue; // not a metafile
            SCOPED_TRACE(Name);
            ++Metafiles;
            ASSERT_EQ(Picture->PictureType(), ptPNG);
            EXPECT_TRUE(Name.ends_with(".png"));
            EXPECT_EQ(Picture->URL().rfind("data:image/png;base64,iVBORw0KGgo", 0), 0u);
            const auto Image = DecodePng(Picture->GetData().Bytes());
            ASSERT_TRUE(Image);
            EXPECT_EQ(Image->Width, Picture->GetWidthPixels());
            EXPECT_EQ(Image->Height, Picture->GetHeightPixels());
            const std::size_t Painted = static_cast<std::size_t>(std::count_if(
                Image->Rgb.begin(), Image->Rgb.end(), [](std::uint8_t Sample) { return Sample < 200; }));
            EXPECT_GT(Painted, Image->Rgb.size() / 200) << "blank picture";
        }
    }
    EXPECT_EQ(Metafiles, 14u) << "every \\wmetafile picture of the corpus";
}

} // namespace
} // namespace corvane
