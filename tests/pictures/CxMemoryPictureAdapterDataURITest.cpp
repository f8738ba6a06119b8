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

TEST(DataURIAdapter, SmallPictureIsEmbeddedAndStored) {
    TMemoryPictureAdapterDataURI Adapter(32);
    TEmbeddedPicture* Picture = Adapter.NewPicture();
    EXPECT_EQ(Adapter.GetPicture(), Picture);
    Picture->SetPictureType(ptPNG);
    Picture->SetGoalWidth(1440);
    Picture->SetGoalHeight(720);
    for (char Byte : std::string("foobar"))
        Picture->AppendByte(static_cast<std::uint8_t>(Byte));
    Adapter.FinishPicture();
    EXPECT_EQ(Picture->URL(), "data:image/png;base64,Zm9vYmFy");
    EXPECT_TRUE(Picture->IsDataURI());
    EXPECT_EQ(Adapter.GetImageTag(),
              R"(<img src="data:image/png;base64,Zm9vYmFy" height="48" width="96" alt="picture"/>)");
    ASSERT_EQ(Names(Adapter), std::vector<std::string>{"image1.png"});
    EXPECT_EQ(Adapter.GetPictures().at("image1.png").get(), Picture);
    EXPECT_EQ(Adapter.GetPicture(), Picture);
}

TEST(DataURIAdapter, LimitIsInclusiveAtExactlyTheKilobytes) {
    TMemoryPictureAdapterDataURI Adapter(100);
    TEmbeddedPicture* Fits = AddPicture(Adapter, ptPNG, 102400);
    EXPECT_TRUE(Fits->IsDataURI());
    EXPECT_EQ(Fits->URL().size(), std::string("data:image/png;base64,").size() + 102400 / 3 * 4 + 4);
    TMemoryPictureAdapterDataURI Second(100);
    TEmbeddedPicture* TooLarge = AddPicture(Second, ptPNG, 102401);
    EXPECT_EQ(TooLarge->URL(), "image1.png");
    EXPECT_EQ(TooLarge->GetData().Size(), 102401u); // kept for the application to save

    TMemoryPictureAdapterDataURI Zero(0); // embeds only empty pictures
    EXPECT_EQ(AddPicture(Zero, ptPNG, 0)->URL(), "data:image/png;base64,");
    EXPECT_EQ(AddPicture(Zero, ptPNG, 1)->URL(), "image2.png");
    TMemoryPictureAdapterDataURI Negative(-1); // embeds nothing
    EXPECT_EQ(AddPicture(Negative, ptJPEG, 0)->URL(), "image1.jpg");
}

TEST(DataURIAdapter, PrefixGoesBeforeTheNameOfLargePicturesOnly) {
    TMemoryPictureAdapterDataURI Adapter(1);
    Adapter.SetURLPrefix("pics/");
    EXPECT_EQ(AddPicture(Adapter, ptJPEG, 2000)->URL(), "pics/image1.jpg");
    EXPECT_EQ(AddPicture(Adapter, ptJPEG, 3)->URL(), "data:image/jpeg;base64,AAEC");
}

TEST(DataURIAdapter, EveryFinishedPictureIsNumberedAndClearRestarts) {
    TMemoryPictureAdapterDataURI Adapter(1);
    AddPicture(Adapter, ptPNG, 10);
    TEmbeddedPicture* Hidden = AddPicture(Adapter, ptWMF, 2000, false);
    AddPicture(Adapter, ptJPEG, 2000);
    TEmbeddedPicture* Emf = AddPicture(Adapter, ptEMF, 1);
    AddPicture(Adapter, ptNone, 2000);
    AddPicture(Adapter, ptPICT, 2000);
    EXPECT_EQ(Hidden->URL(), "image2.unknown");
    EXPECT_EQ(Emf->URL(), "data:;base64,AA==");
    EXPECT_EQ(Names(Adapter),
              (std::vector<std::string>{"image1.png", "image2.unknown", "image3.jpg", "image4.unknown",
                                        "image5.unknown", "image6.unknown"}));

    Adapter.Clear();
    EXPECT_TRUE(Adapter.GetPictures().empty());
    EXPECT_EQ(Adapter.GetPicture(), nullptr);
    EXPECT_EQ(AddPicture(Adapter, ptJPEG, 2000)->URL(), "image1.jpg");
    EXPECT_EQ(Names(Adapter), std::vector<std::string>{"image1.jpg"});
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
