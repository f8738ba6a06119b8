#include "CxMemoryPictureAdapterDataURI.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {
namespace {

std::string Base64(std::string_view Text) {
    std::string Output;
    AppendBase64(reinterpret_cast<const std::uint8_t*>(Text.data()), Text.size(), Output);
    return Output;
}

TEmbeddedPicture* AddPicture(TMemoryPictureAdapterDataURI& Adapter, TPictureType Type, std::size_t Size,
                             bool Show = true) {
    TEmbeddedPicture* Picture = Adapter.NewPicture();
    Picture->SetShow(Show);
    Picture->SetPictureType(Type);
    for (std::size_t i = 0; i < Size; ++i)
        Picture->AppendByte(static_cast<std::uint8_t>(i));
    Adapter.FinishPicture();
    return Picture;
}

std::vector<std::string> Names(const TMemoryPictureAdapterDataURI& Adapter) {
    std::vector<std::string> Result;
    for (const auto& Entry : Adapter.GetPictures())
        Result.push_back(Entry.first);
    return Result;
}

TEST(Base64, EncodesTheRfc4648TestVectors) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64("\xFB\xFF\xBF"), "+/+/"); // the two last letters of the alphabet
}

// The reader's tests hold the limit at its exact size, the prefix and the numbering.
TEST(DataURIAdapter, LimitsOfZeroAndBelow) {
    TMemoryPictureAdapterDataURI Zero(0); // embeds only empty pictures
    EXPECT_EQ(AddPicture(Zero, ptPNG, 0)->URL(), "data:image/png;base64,");
    EXPECT_EQ(AddPicture(Zero, ptPNG, 1)->URL(), "image2.png");
    TMemoryPictureAdapterDataURI Negative(-1); // embeds nothing
    EXPECT_EQ(AddPicture(Negative, ptJPEG, 0)->URL(), "image1.jpg");
}

TEST(DataURIAdapter, OnlyAnUnfinishedPictureIsFinishedAndStored) {
    TMemoryPictureAdapterDataURI Adapter(1);
    Adapter.FinishPicture(); // nothing to finish
    EXPECT_TRUE(Adapter.GetPictures().empty());
    Adapter.NewPicture()->SetPictureType(ptJPEG); // replaced before it was finished
    TEmbeddedPicture* Picture = AddPicture(Adapter, ptPNG, 2000);
    Adapter.FinishPicture(); // again, as when a group nested in the picture closed first
    EXPECT_EQ(Names(Adapter), std::vector<std::string>{"image1.png"});
    EXPECT_EQ(Adapter.GetPicture(), Picture);

    Adapter.NewPicture();
    Adapter.Clear(); // also forgets the unfinished picture
    Adapter.FinishPicture();
    EXPECT_TRUE(Adapter.GetPictures().empty());
}

// Turns anisotropic metafiles into a fixed PNG, as the metafile converter does, and remembers where the
// data stream stood when it was called.
class TFakeConverter : public IPictureConverter {
public:
    void Convert(TEmbeddedPicture& Picture) override {
        Positions.push_back(Picture.GetData().Position());
        if (Picture.PictureType() != ptWMF || Picture.MappingMode() != 8) return;
        Picture.SetPictureType(ptPNG);
        TByteStream Png;
        const std::uint8_t Bytes[] = {'P', 'N', 'G', '!'};
        Png.Write(Bytes, sizeof Bytes);
        Picture.LoadFromStream(Png);
    }
    std::vector<std::size_t> Positions;
};

TEST(DataURIAdapter, ConverterRunsOnTheRewoundPictureBeforeNaming) {
    TMemoryPictureAdapterDataURI Adapter(32);
    auto Converter = std::make_shared<TFakeConverter>();
    Adapter.SetConverter(Converter);

    TEmbeddedPicture* Anisotropic = Adapter.NewPicture();
    Anisotropic->SetPictureType(ptWMF);
    Anisotropic->SetMappingMode(8);
    for (int i = 0; i < 10; ++i)
        Anisotropic->AppendByte(0xAA);
    Adapter.FinishPicture();
    EXPECT_EQ(Anisotropic->URL(), "data:image/png;base64,UE5HIQ==");

    TEmbeddedPicture* Other = Adapter.NewPicture();
    Other->SetPictureType(ptWMF);
    Other->SetMappingMode(1);
    for (std::uint8_t Byte : {0, 1, 2})
        Other->AppendByte(Byte);
    Adapter.FinishPicture();
    EXPECT_EQ(Other->URL(), "data:image/x-wmf;base64,AAEC");
    EXPECT_EQ(Names(Adapter), (std::vector<std::string>{"image1.png", "image2.unknown"}));
    EXPECT_EQ(Converter->Positions, (std::vector<std::size_t>{0, 0}));

    Adapter.SetConverter(nullptr);
    TEmbeddedPicture* Unconverted = Adapter.NewPicture();
    Unconverted->SetPictureType(ptWMF);
    Unconverted->SetMappingMode(8);
    Adapter.FinishPicture();
    EXPECT_EQ(Unconverted->URL(), "data:image/x-wmf;base64,");
    EXPECT_EQ(Converter->Positions.size(), 2u);
}

} // namespace
} // namespace corvane
