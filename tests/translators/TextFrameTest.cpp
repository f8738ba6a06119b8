// A translator keeps the markup it builds around runs and the start tags of cells, and tells without a copy
// whether escaping changes a text; no shortcut may give another answer than the work it saves.
#include "CxHtmlTranslator.h"
#include "CxLinkURIBuilder.h"
#include "CxMarginBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace corvane {
namespace {

TEST(TextFrames, KeptFramesFollowTheFontSizeUnit) {
    THTML50Translator Translator(std::make_shared<TMarginBuilder>());
    TCharacterProperties Props;
    Props.FontSize = 12;
    EXPECT_EQ(Translator.FormatText("a", Props), R"(<span style="font-size:12pt;">a</span>)");
    Translator.SetFontSizeScale(fsEM);
    EXPECT_EQ(Translator.FormatText("b", Props), R"(<span style="font-size:1em;">b</span>)");
    Props.FontSize = 18;
    std::string Output = "x";
    Translator.AppendFormattedText(Output, "c", Props);
    EXPECT_EQ(Output, R"(x<span style="font-size:1.5em;">c</span>)");
}

// Shared sets are found by address: a few sets in turn, more sets than entries, sets let go and new ones
// made, and a new font size unit must all give what FormatText gives.
TEST(TextFrames, SharedSetsGiveTheFramesOfTheirProperties) {
    THTML50Translator Translator(std::make_shared<TMarginBuilder>());
    std::vector<std::shared_ptr<const TCharacterProperties>> Sets;
    for (std::int32_t Size = 1; Size <= 12; ++Size) {
        TCharacterProperties Props;
        Props.FontSize = Size;
        Sets.push_back(std::make_shared<const TCharacterProperties>(Props));
    }
    const auto Check = [&Translator, &Sets](std::initializer_list<std::size_t> Order) {
        for (const std::size_t Index : Order) {
            std::string Output;
            Translator.AppendSharedFormattedText(Output, "a", Sets[Index]);
            EXPECT_EQ(Output, Translator.FormatText("a", *Sets[Index])) << Sets[Index]->FontSize;
        }
    };
    Check({0, 1, 0, 2, 1, 0, 0});
    Check({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0});
    for (auto& Set : Sets) {
        TCharacterProperties Bold = *Set;
        Bold.FontStyle = fsBold;
        Set = std::make_shared<const TCharacterProperties>(Bold);
    }
    Check({11, 10, 9, 0, 1, 11});
    Translator.SetFontSizeScale(fsEM);
    Check({0, 1, 11, 0});
}

// Every row brings its own definitions: a cell is known by content, and any field of it that reaches the
// tag must tell cells apart. The expected tags come from translators that have kept nothing yet.
TEST(TextFrames, CellStartsAreTheTagsOfTheirFormat) {
    TTableCellDefinition Plain;
    Plain.Right = 2000;
    Plain.Borders[bsTop] = {bdSolid, 10, "#000000"};
    std::vector<TTableCellDefinition> Definitions(12, Plain);
    Definitions[1].Borders[bsTop].Color = "#ff0000";
    Definitions[2].Borders[bsLeft].Style = bdDouble;
    Definitions[3].Shading = "#c0c0c0";
    Definitions[4].VerticalAlignment = 1;
    for (std::size_t Index = 5; Index < Definitions.size(); ++Index)
        Definitions[Index].Borders[bsBottom].Width = static_cast<std::int32_t>(Index * 20);
    const auto Copy = std::make_unique<TTableCellDefinition>(Plain); // equal content, another address
    std::vector<TTableCellFormat> Cells = {
        {&Plain, 2000},       {Copy.get(), 2000},         {&Plain, 3000}, {&Plain, 2000, 2},
        {&Plain, 2000, 1, 2}, {&Plain, 2000, 1, 1, true}, {nullptr, 2000}};
    for (const TTableCellDefinition& Definition : Definitions)
        Cells.push_back({&Definition, 2000});
    Cells.push_back({&Plain, 2000});
    Cells.push_back({Copy.get(), 2000});

    THTML50Translator Styled(std::make_shared<TMarginBuilder>());
    THTML401TransitionalTranslator Attributes(std::make_shared<TMarginBuilder>());
    for (std::size_t Index = 0; Index < Cells.size(); ++Index) {
        SCOPED_TRACE(Index);
        EXPECT_EQ(Styled.GetTableCellStart(Cells[Index]),
                  THTML50Translator(nullptr).GetTableCellStart(Cells[Index]));
        EXPECT_EQ(Attributes.GetTableCellStart(Cells[Index]),
                  THTML401TransitionalTranslator(nullptr).GetTableCellStart(Cells[Index]));
    }
}

TEST(TextFrames, EscapeChangesAgreesWithEscapeMarkup) {
    using namespace std::string_view_literals;
    for (const std::string_view Text :
         {"plain words"sv, "a & b"sv, "<tag>"sv, "say \"hi\""sv, "tab\tand\r\nbreaks"sv, "nul\0"sv, "\x01"sv,
          "\xC2\xA0 nbsp"sv, "\xC2\x85 C1"sv, "\xC2"sv, "end \xC2\x80"sv, "\xEF\xBF\xBE"sv,
          "\xEF\xBF\xBF x"sv, "\xEF\xBF"sv, "\xEF\xBB\xBF bom"sv, "\xE2\x82\xAC"sv, "\xC2x"sv, ""sv})
        EXPECT_EQ(EscapeChanges(Text), EscapeMarkup(Text) != Text) << Text;
}

} // namespace
} // namespace corvane
