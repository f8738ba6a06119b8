#include "CxPictureConverterEMF.h"

#include "CxPictureConverterList.h"
#include "CxPictureConverterWMF.h"
#include "EmfWriter.h"
#include "PngImage.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::DecodePng;
using test::Rgb;
using test::TBytes;
using test::TEmfWriter;

// An enhanced metafile becomes a PNG of its goal size with its frame stretched over it, whichever
// converter of a list it reaches; every other picture, and one the player cannot render or whose size
// is refused, stays as it was.
TEST(PictureConverterEMF, OnlyRenderableEnhancedMetafilesBecomePng) {
    const TBytes Good = TEmfWriter().Filled(Rgb(255, 0, 0)).Rectangle(0, 0, 50, 100).Metafile();
    TBytes Truncated = Good;
    Truncated.resize(Truncated.size() - 30); // the rectangle record runs past the end
    struct TCase {
        TPictureType Type;
        TBytes Bytes;
        bool BecomesPng = false;
        std::int32_t GoalWidth = 1440, GoalHeight = 720;
    };
    const auto List = std::make_shared<TPictureConverterList>(std::vector<std::shared_ptr<IPictureConverter>>{
        std::make_shared<TPictureConverterWMF>(), std::make_shared<TPictureConverterEMF>()});
    for (const TCase& Case :
         {TCase{ptEMF, Good, true}, TCase{ptWMF, Good}, TCase{ptPNG, Good}, TCase{ptNone, Good},
          TCase{ptEMF, Good, false, 0, 720}, TCase{ptEMF, Good, false, 16385 * 15, 15},
          TCase{ptEMF, Good, false, 15 * 5000, 15 * 5000}, TCase{ptEMF, Truncated},
          TCase{ptEMF, TBytes{1, 2, 3}}, TCase{ptEMF, {}}}) {
        SCOPED_TRACE(testing::Message() << Case.Type << ", " << Case.Bytes.size() << " bytes, "
                                        << Case.GoalWidth << " x " << Case.GoalHeight);
        TEmbeddedPicture Picture;
        Picture.SetPictureType(Case.Type);
        Picture.SetMappingMode(8);
        Picture.SetGoalWidth(Case.GoalWidth);
        Picture.SetGoalHeight(Case.GoalHeight);
        for (std::uint8_t Byte : Case.Bytes)
            Picture.AppendByte(Byte);
        Picture.Rewind();
        EXPECT_NO_THROW(List->Convert(Picture));
        if (!Case.BecomesPng) {
            EXPECT_EQ(Picture.PictureType(), Case.Type);
            EXPECT_EQ(Picture.GetData().Bytes(), Case.Bytes);
            continue;
        }
        // 1440 x 720 twips are 96 x 48 pixels; the left half of the frame is red.
        EXPECT_EQ(Picture.PictureType(), ptPNG);
        const auto Image = DecodePng(Picture.GetData().Bytes());
        ASSERT_TRUE(Image);
        EXPECT_EQ(Image->Width, 96u);
        EXPECT_EQ(Image->Height, 48u);
        EXPECT_EQ(Image->Pixel(10, 24), 0xFF0000u);
        EXPECT_EQ(Image->Pixel(80, 24), 0xFFFFFFu);
    }
}

} // namespace
} // namespace corvane
