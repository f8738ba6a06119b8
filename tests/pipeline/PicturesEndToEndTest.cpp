// Pictures through the whole converter: RTF in, img element with a data: URI out.
#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {
namespace {

using TBytes = std::vector<std::uint8_t>;

// A complete 2x2 PNG (red and blue pixels).
const TBytes Png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
                    0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xFD,
                    0xD4, 0x9A, 0x73, 0x00, 0x00, 0x00, 0x10, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0xF8,
                    0xCF, 0x00, 0x04, 0xFF, 0x19, 0x20, 0x14, 0x00, 0x1B, 0xF2, 0x03, 0xFD, 0x3E, 0x97, 0x5D,
                    0xA4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// Upper-case hexadecimal in lines of 32 digits, as word processors write picture data.
std::string HexLines(const TBytes& Data) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string Result;
    for (std::size_t i = 0; i < Data.size(); ++i) {
        Result += Digits[Data[i] >> 4];
        Result += Digits[Data[i] & 0xF];
        if (i % 16 == 15) Result += "\r\n";
    }
    return Result;
}

// Standard Base64 back to bytes; fails the test on any character outside the alphabet or bad padding.
TBytes DecodeBase64(const std::string& Text) {
    static const std::string Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    TBytes Result;
    EXPECT_EQ(Text.size() % 4, 0u);
    std::uint32_t Bits = 0;
    int Count = 0;
    std::size_t Padding = 0;
    for (const char Character : Text) {
        if (Character == '=') {
            ++Padding;
            continue;
        }
        EXPECT_EQ(Padding, 0u) << "data after padding";
        const std::size_t Value = Alphabet.find(Character);
        EXPECT_NE(Value, std::string::npos) << Character;
        Bits = Bits << 6 | static_cast<std::uint32_t>(Value & 0x3F);
        Count += 6;
        if (Count >= 8) {
            Count -= 8;
            Result.push_back(static_cast<std::uint8_t>(Bits >> Count));
        }
    }
    EXPECT_LE(Padding, 2u);
    return Result;
}

// The src attribute of every img element in Html, in order.
std::vector<std::string> ImageSources(const std::string& Html) {
    std::vector<std::string> Result;
    const std::string Start = "<img src=\"";
    for (std::size_t At = Html.find(Start); At != std::string::npos; At = Html.find(Start, At + 1)) {
        const std::size_t From = At + Start.size();
        Result.push_back(Html.substr(From, Html.find('"', From) - From));
    }
    return Result;
}

TEST(PicturesEndToEnd, APngBecomesAnImgWhoseDataUriHoldsExactlyItsBytes) {
    for (const TDocumentType Type : {dtHTML_401_Strict, dtHTML_50, dtXHTML_11}) {
        SCOPED_TRACE(static_cast<int>(Type));
        TRkCorvaneXHTML Cx;
        Cx.SetDocumentType(Type);
        Cx.SetConvertPictures(true);
        const auto Adapter = std::make_shared<TMemoryPictureAdapterDataURI>(32);
        Cx.SetPictureAdapter(Adapter);
        const std::string Html =
            Cx.Convert("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard A picture: "
                       "{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv Picture 1}}}\\picscalex100"
                       "\\picscaley100\\picw53\\pich53\\picwgoal30\\pichgoal45\\pngblip"
                       "{\\*\\blipuid 0123456789abcdef0123456789abcdef}\r\n" +
                       HexLines(Png) +
                       "}}{\\nonshppict{\\pict\\wmetafile8\\picwgoal30\\pichgoal45 0100090000}} done.\\par}");

        const std::vector<std::string> Sources = ImageSources(Html);
        ASSERT_EQ(Sources.size(), 1u) << Html;
        const std::string Prefix = "data:image/png;base64,";
        ASSERT_EQ(Sources[0].compare(0, Prefix.size(), Prefix), 0) << Sources[0];
        EXPECT_EQ(DecodeBase64(Sources[0].substr(Prefix.size())), Png);
        // The element as the adapter made it, in every dialect, and the text after it formatted like
        // the text before it.
        const std::size_t Before = Html.find("A picture: ");
        ASSERT_NE(Before, std::string::npos) << Html;
        const std::string Opening = Html.substr(Html.rfind('<', Before), Before - Html.rfind('<', Before));
        EXPECT_NE(Opening.find("font-family:Arial"), std::string::npos) << Opening;
        EXPECT_NE(Html.find("<img src=\"" + Sources[0] + "\" height=\"3\" width=\"2\" alt=\"picture\"/>" +
                            Opening + " done."),
                  std::string::npos)
            << Html;

        // The alternative for readers without shapes is kept but not written.
        ASSERT_EQ(Adapter->GetPictures().size(), 2u);
        EXPECT_EQ(Adapter->GetPictures().at("image1.png")->GetData().Bytes(), Png);
        EXPECT_FALSE(Adapter->GetPictures().at("image2.unknown")->GetShow());
    }
}

} // namespace
} // namespace corvane
