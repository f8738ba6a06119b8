// A translator keeps the markup it builds around runs, and tells without a copy whether escaping changes
// a text; neither shortcut may give another answer than the work it saves.
#include "CxHtmlTranslator.h"
#include "CxLinkURIBuilder.h"
#include "CxMarginBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

TEST(TextFrames, EscapeChangesAgreesWithEscapeMarkup) {
    const std::string Cases[] = {"plain words",
                                 "a & b",
                                 "<tag>",
                                 "say \"hi\"",
                                 "tab\tand\r\nbreaks",
                                 std::string("nul\0", 4),
                                 "\x01",
                                 "\xC2\xA0 nbsp",
                                 "\xC2\x85 C1",
                                 "\xC2",
                                 "end \xC2\x80",
                                 "\xEF\xBF\xBE",
                                 "\xEF\xBF\xBF x",
                                 "\xEF\xBF",
                                 "\xEF\xBB\xBF bom",
                                 "\xE2\x82\xAC",
                                 "\xC2x",
                                 ""};
    for (const std::string& Text : Cases)
        EXPECT_EQ(EscapeChanges(Text), EscapeMarkup(Text) != Text) << Text;
}

} // namespace
} // namespace corvane
