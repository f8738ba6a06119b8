#include "CxEmbeddedPicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace corvane {
namespace {

TEST(EmbeddedPicture, ImageTagPutsHeightBeforeWidthAndTheURLUnchanged) {
    TEmbeddedPicture Picture;
    EXPECT_EQ(Picture.PictureType(), ptNone);
    EXPECT_FALSE(Picture.GetShow());
    EXPECT_EQ(Picture.GetImageTag(), R"(<img src="" height="0" width="0" alt="picture"/>)");
    Picture.SetGoalWidth(1440);
    Picture.SetGoalHeight(720);
    Picture.SetURL(R"(a"b.png)");
    EXPECT_EQ(Picture.GetImageTag(), R"(<img src="a"b.png" height="48" width="96" alt="picture"/>)");
}

TEST(EmbeddedPicture, PixelSizesRoundUpAndScaleTruncates) {
    TEmbeddedPicture Picture;
    const std::pair<std::int32_t, std::uint32_t> Sizes[] = {{0, 0},  {1, 1},     {15, 1},
                                                            {16, 2}, {1440, 96}, {1441, 97}};
    for (auto [Twips, Pixels] : Sizes) {
        Picture.SetGoalWidth(Twips);
        Picture.SetGoalHeight(Twips);
        EXPECT_EQ(Picture.GetWidthPixels(), Pixels) << Twips;
        EXPECT_EQ(Picture.GetHeightPixels(), Pixels) << Twips;
    }
    Picture.SetGoalWidth(1500);
    Picture.SetGoalHeight(1515);
    EXPECT_EQ(Picture.GetScaledWidth(), 100u); // no scale given
    Picture.SetScaleX(50);
    Picture.SetScaleY(33);
    EXPECT_EQ(Picture.GetScaledWidth(), 50u);
    EXPECT_EQ(Picture.GetScaledHeight(), 33u); // 101 * 33 / 100 = 33.33
    Picture.SetScaleX(250);
    EXPECT_EQ(Picture.GetScaledWidth(), 250u);
    EXPECT_EQ(Picture.GetImageTag(), R"(<img src="" height="33" width="250" alt="picture"/>)");
}

TEST(EmbeddedPicture, NegativeSizesCountAsZeroAndHugeScalesSaturate) {
    TEmbeddedPicture Picture;
    Picture.SetGoalWidth(-1500);
    Picture.SetGoalHeight(1500);
    Picture.SetScaleY(-50);
    EXPECT_EQ(Picture.GetScaledWidth(), 0u);
    EXPECT_EQ(Picture.GetScaledHeight(), 100u); // a scale of 0 is no scale

    Picture.SetGoalWidth(std::numeric_limits<std::int32_t>::max());
    Picture.SetScaleX(std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Picture.GetWidthPixels(), 143165577u);
    EXPECT_EQ(Picture.GetScaledWidth(), std::numeric_limits<std::uint32_t>::max());
    Picture.SetScaleX(200);
    EXPECT_EQ(Picture.GetScaledWidth(), 286331154u);
}

TEST(EmbeddedPicture, DataURIIsRecognisedByItsExactPrefix) {
    TEmbeddedPicture Picture;
    for (auto [URL, Expected] : {std::pair{"data:;base64,", true}, std::pair{"DATA:x", false},
                                 std::pair{"data", false}, std::pair{"pics/data:x", false}}) {
        Picture.SetURL(URL);
        EXPECT_EQ(Picture.IsDataURI(), Expected) << URL;
    }
}

TEST(EmbeddedPicture, BytesAreWrittenAtThePositionAndLoadingReplacesThemAll) {
    TEmbeddedPicture Picture;
    for (std::uint8_t Byte : {1, 2, 3, 4, 5})
        Picture.AppendByte(Byte);
    Picture.Rewind();
    std::uint8_t Buffer[8] = {};
    EXPECT_EQ(Picture.GetData().Read(Buffer, sizeof Buffer), 5u);
    EXPECT_EQ(Buffer[2], 3);
    EXPECT_EQ(Picture.GetData().Read(Buffer, sizeof Buffer), 0u);
    Picture.Rewind();
    Picture.AppendByte(9); // a stream overwrites before its end
    EXPECT_EQ(Picture.GetData().Bytes(), (std::vector<std::uint8_t>{9, 2, 3, 4, 5}));

    TByteStream Source;
    const std::uint8_t Png[] = {0x89, 'P', 'N', 'G'};
    Source.Write(Png, sizeof Png); // the whole source is loaded regardless of its position
    Picture.LoadFromStream(Source);
    EXPECT_EQ(Picture.GetData().Bytes(), (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G'}));
    EXPECT_EQ(Picture.GetData().Position(), 0u);
    Picture.LoadFromStream(Picture.GetData());
    EXPECT_EQ(Picture.GetData().Size(), 4u);
}

} // namespace
} // namespace corvane
