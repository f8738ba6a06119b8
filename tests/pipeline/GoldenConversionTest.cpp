// Whole conversions compared byte for byte with hand-written expected files (tests/data/golden).
#include "CorvaneXHTML.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, TDocumentType> DialectsBySuffix = {
    {"html32", dtHTML3Flex},
    {"html401-transitional", dtHTML_401_Transitional},
    {"html401-strict", dtHTML_401_Strict},
    {"html5", dtHTML_50},
    {"xhtml10-transitional", dtXHTML_10_Transitional},
    {"xhtml10-strict", dtXHTML_10_Strict},
    {"xhtml-basic10", dtXHTML_Basic_10},
    {"xhtml-mp10", dtXHTML_MP_10},
    {"xhtml11", dtXHTML_11},
};

using TSetter = std::function<void(TCxBase&, bool)>;
const std::map<std::string, TSetter> OptionSetters = {
    {"ConvertAnchors", &TCxBase::SetConvertAnchors},
    {"ConvertEmptyParagraphs", &TCxBase::SetConvertEmptyParagraphs},
    {"ConvertFields", &TCxBase::SetConvertFields},
    {"ConvertHyperlinks", &TCxBase::SetConvertHyperlinks},
    {"ConvertIndent", &TCxBase::SetConvertIndent},
    {"ConvertLanguage", &TCxBase::SetConvertLanguage},
    {"ConvertSpaces", &TCxBase::SetConvertSpaces},
    {"ExtractEncapsulatedHtml", &TCxBase::SetExtractEncapsulatedHtml},
    {"OptionsStructure.Tables",
     [](TCxBase& Converter, bool On) { Converter.OptionsStructure().SetTables(On); }},
    {"OptionsStructure.Lists",
     [](TCxBase& Converter, bool On) { Converter.OptionsStructure().SetLists(On); }},
    {"OptionsStructure.Notes",
     [](TCxBase& Converter, bool On) { Converter.OptionsStructure().SetNotes(On); }},
    {"OptionsStructure.HeadersFooters",
     [](TCxBase& Converter, bool On) { Converter.OptionsStructure().SetHeadersFooters(On); }},
};

// Every NAME.VARIANT.html or .txt beside NAME.rtf, converted with the options of NAME.options.
TEST(GoldenConversion, EveryExpectedFileMatchesByteForByte) {
    const fs::path Folder = fs::path(CORVANE_TEST_DATA_DIR) / "golden";
    int Cases = 0;
    for (const auto& Entry : fs::directory_iterator(Folder)) {
        const std::string Name = Entry.path().filename().string();
        const auto First = Name.find('.'), Last = Name.rfind('.');
        if (First == Last || (Entry.path().extension() != ".html" && Entry.path().extension() != ".txt"))
            continue;
        SCOPED_TRACE(Name);
        ++Cases;
        TRkCorvaneXHTML Converter;
        std::ifstream Options(Folder / (Name.substr(0, First) + ".options"));
        for (std::string Line; std::getline(Options, Line);) {
            const auto Setter = OptionSetters.find(Line.substr(0, Line.find('=')));
            ASSERT_NE(Setter, OptionSetters.end()) << Line;
            Setter->second(Converter, Line.substr(Line.find('=') + 1) == "true");
        }
        const std::string Variant = Name.substr(First + 1, Last - First - 1);
        if (Variant == "plain") {
            Converter.SetConvertToPlainText(true);
        } else {
            ASSERT_TRUE(DialectsBySuffix.contains(Variant)) << Variant;
            Converter.SetDocumentType(DialectsBySuffix.at(Variant));
        }
        EXPECT_EQ(Converter.Convert(test::ReadFile(Folder / (Name.substr(0, First) + ".rtf"))),
                  test::ReadFile(Entry.path()));
    }
    EXPECT_GE(Cases, 20);
}

// The reader remembers words that no table, list or note reader takes anywhere. A word those readers
// decline in one place (here: a skipped group ahead of the text) must still work where they take it.
// (Document settings such as \ftnstart act from anywhere, so they are not among these words.)
TEST(GoldenConversion, StructureWordsDeclinedOnceAreTakenLater) {
    const std::string Declined =
        "{\\*\\ignored\\intbl\\cellx100\\trowd\\itap1\\clmgf\\clvmrg\\trbrdrt\\brdrs\\trhdr"
        "\\clcbpat1\\ilvl1\\levelstartat2\\pnstart3\\pndec\\pnlcltr\\chftn\\ftnalt\\sect}";
    const fs::path Folder = fs::path(CORVANE_TEST_DATA_DIR) / "golden";
    for (const char* Name :
         {"tables-nested", "lists-nested", "lists-continued", "notes", "headers-footers"}) {
        SCOPED_TRACE(Name);
        const std::string Rtf = test::ReadFile(Folder / (std::string(Name) + ".rtf"));
        ASSERT_EQ(Rtf.rfind("{\\rtf1", 0), 0U);
        TRkCorvaneXHTML Converter;
        for (const char* Option : {"OptionsStructure.Tables", "OptionsStructure.Lists",
                                   "OptionsStructure.Notes", "OptionsStructure.HeadersFooters"})
            OptionSetters.at(Option)(Converter, true);
        const std::string Expected = Converter.Convert(Rtf);
        EXPECT_EQ(Converter.Convert(Rtf.substr(0, 6) + Declined + Rtf.substr(6)), Expected);
    }
}

} // namespace
} // namespace corvane
