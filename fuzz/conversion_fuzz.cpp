// Feeds arbitrary documents through the whole conversion, pictures included. The first four bytes pick
// the dialect and the options, so one corpus explores every translator; the rest is the RTF.
#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxPictureConverterEMF.h"
#include "CxPictureConverterList.h"
#include "CxPictureConverterWMF.h"
#include "WmfPlayer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t OptionBytes = 4;

bool Bit(std::uint8_t Byte, int Index) {
    return ((Byte >> Index) & 1u) != 0;
}

void ApplyOptions(corvane::TRkCorvaneXHTML& Converter, const std::uint8_t* Options) {
    Converter.SetDocumentType(static_cast<corvane::TDocumentType>(Options[0] % 9));
    Converter.SetIncludeDocType(Bit(Options[0], 4));
    Converter.SetIncludeXMLDeclaration(Bit(Options[0], 5));
    Converter.SetConvertToPlainText(Bit(Options[0], 6));
    Converter.OptionsHead().SetAddOuterHTML(!Bit(Options[0], 7));

    Converter.SetConvertAnchors(!Bit(Options[1], 0));
    Converter.SetConvertEmptyParagraphs(Bit(Options[1], 1));
    Converter.SetConvertFields(!Bit(Options[1], 2));
    Converter.SetConvertHyperlinks(!Bit(Options[1], 3));
    Converter.SetConvertIndent(!Bit(Options[1], 4));
    Converter.SetConvertLanguage(Bit(Options[1], 5));
    Converter.SetConvertSpaces(Bit(Options[1], 6));
    Converter.OptionsOptimize().SetIncludeDefaultFontStyle(Bit(Options[1], 7));

    corvane::TFontConversionOptions Fonts;
    for (int option = corvane::opFontName; option <= corvane::opFontHLColor; ++option)
        if (!Bit(Options[2], option)) Fonts.Include(static_cast<corvane::TFontOption>(option));
    Converter.SetFontConversionOptions(Fonts);
    Converter.SetFontSizeScale(static_cast<corvane::TFontSizeScale>(Options[2] >> 6));
    Converter.SetLogLevel(static_cast<corvane::TLogLevel>(Options[3] % 5));
    Converter.SetExtractEncapsulatedHtml(Bit(Options[3], 5));
    Converter.OptionsStructure().SetTables(Bit(Options[3], 7));
    Converter.OptionsStructure().SetLists(Bit(Options[3], 6));
    // Bits 1 and 2 steer the log level too, as every bit of the byte does.
    Converter.OptionsStructure().SetNotes(Bit(Options[3], 1));
    Converter.OptionsStructure().SetHeadersFooters(Bit(Options[3], 2));
}

} // namespace

// The process-wide caches of cairo and fontconfig are freed at exit, so the leak check sees only ours.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(corvane::wmf::ReleaseGraphicsCaches);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < OptionBytes) return 0;
    corvane::TRkCorvaneXHTML Converter;
    ApplyOptions(Converter, Data);
    // The embedding limit varies too, so pictures take both the data-URI and the kept-aside path.
    const std::int32_t MaxDataUriKB = (Data[3] >> 3) % 4 == 0 ? 0 : 32;
    auto Pictures = std::make_shared<corvane::TMemoryPictureAdapterDataURI>(MaxDataUriKB);
    Pictures->SetConverter(std::make_shared<corvane::TPictureConverterList>(
        std::vector<std::shared_ptr<corvane::IPictureConverter>>{
            std::make_shared<corvane::TPictureConverterWMF>(),
            std::make_shared<corvane::TPictureConverterEMF>()}));
    Converter.SetConvertPictures(true);
    Converter.SetPictureAdapter(Pictures);
    Converter.SetOnLog([](corvane::TCxBase&, corvane::TLogLevel, const std::string&) {});

    const std::string_view Rtf(reinterpret_cast<const char*>(Data + OptionBytes), Size - OptionBytes);
    try {
        (void)Converter.Convert(Rtf);
    } catch (const corvane::ECxError&) {
        // The system's own errors ("Property stack overflow", ...) are a correct ending; anything else
        // escapes and is a finding.
    }
    return 0;
}
