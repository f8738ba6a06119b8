#include "CxMemoryPictureAdapterDataURI.h"
#include "ReaderHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace corvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;

using TBytes = std::vector<std::uint8_t>;

// A reader with pictures on and the shipped data-URI adapter.
struct TPictureHarness : TReaderHarness {
    std::shared_ptr<TMemoryPictureAdapterDataURI> Adapter;

    explicit TPictureHarness(std::int32_t MaxSizeKB = 32)
        : Adapter(std::make_shared<TMemoryPictureAdapterDataURI>(MaxSizeKB)) {
        Owner.SetConvertPictures(true);
        Owner.SetPictureAdapter(Adapter);
    }
    // The same, having read Rtf.
    explicit TPictureHarness(std::string_view Rtf) : TPictureHarness() { Parse(Rtf); }
    std::vector<std::string> Names() const {
        std::vector<std::string> Result;
        for (const auto& Entry : Adapter->GetPictures())
            Result.push_back(Entry.first);
        return Result;
    }
    const TEmbeddedPicture& Picture(const std::string& Name) const {
        return *Adapter->GetPictures().at(Name);
    }
    std::string Markup() const { return Calls("AppendMarkup"); }
};

TBytes Bytes(const TEmbeddedPicture& Picture) {
    return Picture.GetData().Bytes();
}

const TBytes PngSignature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Each type keeps its mapping mode and gets its name and MIME type; 720 twips are 48 pixels, doubled, and
// 1440 are 96, halved. The text around stays outside.
TEST(ReaderPictures, EveryTypeWithItsSizesAndScales) {
    const struct {
        const char* Keyword;
        TPictureType Type;
        std::uint8_t MappingMode;
        const char* Name;
        const char* Mime;
    } Cases[] = {
        {"\\emfblip", ptEMF, 0, "image1.unknown", ""},
        {"\\pngblip", ptPNG, 0, "image1.png", "image/png"},
        {"\\jpegblip", ptJPEG, 0, "image1.jpg", "image/jpeg"},
        {"\\macpict", ptPICT, 0, "image1.unknown", "image/pict"},
        {"\\wmetafile8", ptWMF, 8, "image1.unknown", "image/x-wmf"},
        {"\\wmetafile", ptWMF, 1, "image1.unknown", "image/x-wmf"},    // no number: mode 1
        {"\\wmetafile264", ptWMF, 8, "image1.unknown", "image/x-wmf"}, // the low byte
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Keyword);
        TPictureHarness Harness(
            std::string("{\\rtf1 a{\\pict") + Case.Keyword +
            "\\picw100\\pich50\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley200 0102aB}b}");
        ASSERT_THAT(Harness.Names(), ElementsAre(Case.Name));
        const TEmbeddedPicture& Picture = Harness.Picture(Case.Name);
        EXPECT_EQ(Picture.PictureType(), Case.Type);
        EXPECT_EQ(Picture.MappingMode(), Case.MappingMode);
        EXPECT_EQ(std::pair(Picture.PicWidth(), Picture.PicHeight()), std::pair(100, 50));
        EXPECT_EQ(Harness.Calls(), "Text(a) AppendMarkup(<img src=\"data:" + std::string(Case.Mime) +
                                       ";base64,AQKr\" height=\"96\" width=\"48\" alt=\"picture\"/>) "
                                       "StartTextRun SetCharacterProperties SetParagraphProperties Text(b)");
    }
}

// Showing the alternative after \nonshppict is converted end to end in PicturesEndToEnd; the flag ends
// with that picture.
TEST(ReaderPictures, OnlyTheAlternativeAfterNonShapePictureIsHidden) {
    TPictureHarness Harness("{\\rtf1{\\nonshppict{\\pict\\wmetafile8 0100}}{\\pict\\jpegblip ffd8}}");
    EXPECT_FALSE(Harness.Picture("image1.unknown").GetShow());
    EXPECT_TRUE(Harness.Picture("image2.jpg").GetShow());
}

// Blanks, tabs and line breaks between the hex digits are skipped, digits delivered by a control word count
// like plain ones, and anything else ends the conversion.
TEST(ReaderPictures, TheDataIsHexDigitsAmongBlanks) {
    TPictureHarness Harness("{\\rtf1{\\pict\\pngblip\r\n 89 50\r\n4E\t47\n0d0\r\na1a  0A\r\n}"
                            "{\\pict\\pngblip \\'38\\'39\\tab 50}}");
    ASSERT_THAT(Harness.Names(), ElementsAre("image1.png", "image2.png"));
    EXPECT_EQ(Bytes(Harness.Picture("image1.png")), PngSignature);
    EXPECT_EQ(Bytes(Harness.Picture("image2.png")), (TBytes{0x89, 0x50}));

    for (const char* Rtf : {"{\\rtf1{\\pict\\pngblip 8950g47}}", "{\\rtf1{\\pict\\pngblip 89504e47 picture}}",
                            "{\\rtf1{\\pict\\pngblip 89,50}}", "{\\rtf1{\\pict\\pngblip 89\\~50}}"}) {
        SCOPED_TRACE(Rtf);
        TPictureHarness Bad;
        EXPECT_EQ(ErrorOf([&] { Bad.Parse(Rtf); }), "Invalid picture data");
        EXPECT_EQ(Bad.Markup(), "");
    }
}

TEST(ReaderPictures, BinaryDataInsideThePictureIsItsBytes) {
    // The raw bytes are taken as they are, braces and backslashes included.
    TPictureHarness Harness("{\\rtf1{\\pict\\pngblip 8950\\bin5 " + std::string("{}\\\0\xFF", 5) +
                            "4e47}after}");
    EXPECT_EQ(Bytes(Harness.Picture("image1.png")),
              (TBytes{0x89, 0x50, '{', '}', '\\', 0x00, 0xFF, 0x4E, 0x47}));
    EXPECT_EQ(Harness.Text().substr(Harness.Text().size() - 5), "after");
}

// Ids and shape properties nested in the picture are neither its data nor its end.
TEST(ReaderPictures, OnlyThePicturesOwnGroupCarriesItsDataAndEndsIt) {
    TPictureHarness Harness("{\\rtf1{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn wzName}{\\sv Picture 1}}}"
                            "\\picwgoal150{\\picprop{\\sp{\\sn fFlipH}{\\sv 0}}\\picwgoal3000 abcd}\\pngblip"
                            "{\\*\\blipuid 0123456789abcdef}8950{\\pict\\jpegblip ffd8}4e47}}");
    ASSERT_THAT(Harness.Names(), ElementsAre("image1.png"));
    EXPECT_EQ(Bytes(Harness.Picture("image1.png")), (TBytes{0x89, 0x50, 0x4E, 0x47}));
    EXPECT_EQ(Harness.Markup(), "AppendMarkup(<img src=\"data:image/png;base64,iVBORw==\" height=\"0\" "
                                "width=\"10\" alt=\"picture\"/>)");
}

TEST(ReaderPictures, EmbeddedUpToTheLimitThenNamedWithThePrefix) {
    TPictureHarness Harness(1);
    Harness.Adapter->SetURLPrefix("pics/");
    const std::string AtLimit(2048, '0'); // 1024 bytes
    Harness.Parse("{\\rtf1{\\pict\\pngblip " + AtLimit + "}{\\pict\\jpegblip " + AtLimit + "00}}");
    ASSERT_THAT(Harness.Names(), ElementsAre("image1.png", "image2.jpg"));
    EXPECT_TRUE(Harness.Picture("image1.png").IsDataURI());
    EXPECT_EQ(Harness.Picture("image2.jpg").GetData().Size(), 1025u);
    EXPECT_THAT(
        Harness.Markup(),
        EndsWith("AppendMarkup(<img src=\"pics/image2.jpg\" height=\"0\" width=\"0\" alt=\"picture\"/>)"));
}

TEST(ReaderPictures, EachConversionStartsTheNumberingAgain) {
    TPictureHarness First("{\\rtf1{\\pict\\pngblip 01}{\\pict\\pngblip 02}}");
    ASSERT_THAT(First.Names(), ElementsAre("image1.png", "image2.png"));

    // The next conversion with the same adapter: creating its reader already forgets the old pictures.
    TPictureHarness Second;
    Second.Adapter = First.Adapter;
    Second.Owner.SetPictureAdapter(First.Adapter);
    Second.GetReader();
    EXPECT_THAT(Second.Names(), IsEmpty());
    Second.Parse("{\\rtf1{\\pict\\jpegblip 03}}");
    ASSERT_THAT(Second.Names(), ElementsAre("image1.jpg"));
    EXPECT_EQ(Bytes(Second.Picture("image1.jpg")), TBytes{0x03});
}

TEST(ReaderPictures, WithoutConvertPicturesNothingReachesTheDocumentOrTheAdapter) {
    TPictureHarness Harness;
    Harness.Owner.SetConvertPictures(false);
    // A picture left from an earlier conversion shows whether the adapter was touched.
    Harness.Adapter->NewPicture()->AppendByte(7);
    Harness.Adapter->FinishPicture();
    Harness.Parse("{\\rtf1 a{\\pict\\pngblip\\picwgoal15 89504e47 \\bin2 xy}{\\nonshppict{\\pict 00}}b}");
    EXPECT_EQ(Harness.Markup(), "");
    EXPECT_EQ(Harness.Text(), "ab");
    ASSERT_THAT(Harness.Names(), ElementsAre("image1.unknown"));
    EXPECT_EQ(Bytes(Harness.Picture("image1.unknown")), TBytes{7});
}

TEST(ReaderPictures, APictureCutOffByTheEndOfTheInputIsNotStored) {
    TPictureHarness Harness("{\\rtf1 a{\\pict\\pngblip 8950");
    EXPECT_THAT(Harness.Names(), IsEmpty());
    EXPECT_EQ(Harness.Markup(), "");
    // The picture that is the outermost group ends with it.
    TPictureHarness Outermost("{\\pict\\pngblip 8950}");
    EXPECT_THAT(Outermost.Names(), ElementsAre("image1.png"));
}

} // namespace
} // namespace corvane::test
