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

// A complete 2x2 PNG (red and blue pixels).
const std::vector<std::uint8_t> Png = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xFD,
    0xD4, 0x9A, 0x73, 0x00, 0x00, 0x00, 0x10, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0xF8,
    0xCF, 0x00, 0x04, 0xFF, 0x19, 0x20, 0x14, 0x00, 0x1B, 0xF2, 0x03, 0xFD, 0x3E, 0x97, 0x5D,
    0xA4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(PicturesEndToEnd, APngBecomesAnImgWhoseDataUriHoldsExactlyItsBytes) {
    // Upper-case hexadecimal in lines of 32 digits, as word processors write picture data.
    std::string Hex;
    for (std::size_t i = 0; i < Png.size(); ++i) {
        Hex += "0123456789ABCDEF"[Png[i] >> 4];
        Hex += "0123456789ABCDEF"[Png[i] & 0xF];
        if (i % 16 == 15) Hex += "\r\n";
    }
    std::string Uri = "data:image/png;base64,";
    AppendBase64(Png.data(), Png.size(), Uri);
    for (const TDocumentType Type : {dtHTML_401_Strict, dtHTML_50, dtXHTML_11}) {
        SCOPED_TRACE(static_cast<int>(Type));
        TRkCorvaneXHTML Cx;
        Cx.SetDocumentType(Type);
        Cx.SetConvertPictures(true);
        const auto Adapter = std::make_shared<TMemoryPictureAdapterDataURI>(32);
        Cx.SetPictureAdapter(Adapter);
        const std::string Html = Cx.Convert(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard A picture: "
            "{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv Picture 1}}}\\picscalex100"
            "\\picscaley100\\picw53\\pich53\\picwgoal30\\pichgoal45\\pngblip"
            "{\\*\\blipuid 0123456789abcdef0123456789abcdef}\r\n" +
            Hex + "}}{\\nonshppict{\\pict\\wmetafile8\\picwgoal30\\pichgoal45 0100090000}} done.\\par}");

        // The element as the adapter made it, once, in every dialect, and the text after it formatted
        // like the text before it.
        const std::size_t Before = Html.find("A picture: ");
        ASSERT_NE(Before, std::string::npos) << Html;
        const std::string Opening = Html.substr(Html.rfind('<', Before), Before - Html.rfind('<', Before));
        EXPECT_NE(Opening.find("font-family:Arial"), std::string::npos) << Opening;
        EXPECT_NE(Html.find("<img src=\"" + Uri + "\" height=\"3\" width=\"2\" alt=\"picture\"/>" + Opening +
                            " done."),
                  std::string::npos)
            << Html;
        EXPECT_EQ(Html.find("<img", Html.find("<img") + 1), std::string::npos);

        // The alternative for readers without shapes is kept but not written.
        ASSERT_EQ(Adapter->GetPictures().size(), 2u);
        EXPECT_EQ(Adapter->GetPictures().at("image1.png")->GetData().Bytes(), Png);
        EXPECT_FALSE(Adapter->GetPictures().at("image2.unknown")->GetShow());
    }
}

} // namespace
} // namespace corvane
