#include "CxHtmlTranslator.h"
#include "CxMarginBuilder.h"
#include "CxXhtmlTranslator.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <locale>
#include <memory>
#include <string>

namespace corvane {
namespace {

template <typename TTranslator> std::unique_ptr<TTranslator> Make(TFontSizeScale Scale = fsPoint) {
    auto translator = std::make_unique<TTranslator>(std::make_shared<TMarginBuilder>());
    translator->SetParagraphTag("<p");
    translator->SetFontSizeScale(Scale);
    return translator;
}

std::string FontSize(TFontSizeScale Scale, std::int32_t Size) {
    return Make<THTML50Translator>(Scale)->GetFontSizeStyle(Size);
}

TEST(FontSizeStyle, PointsAreWholeNumbers) {
    EXPECT_EQ(FontSize(fsPoint, 11), "font-size:11pt;");
    EXPECT_EQ(FontSize(fsPoint, 15), "font-size:15pt;");
    EXPECT_EQ(FontSize(fsPoint, 1200), "font-size:1200pt;");
}

TEST(FontSizeStyle, EmAndExUseTwelfthsWithTwoSignificantDigits) {
    for (TFontSizeScale scale : {fsEM, fsEX}) {
        const std::string unit = scale == fsEM ? "em;" : "ex;";
        EXPECT_EQ(FontSize(scale, 10), "font-size:0.83" + unit);
        EXPECT_EQ(FontSize(scale, 12), "font-size:1" + unit);
        EXPECT_EQ(FontSize(scale, 15), "font-size:1.3" + unit); // 1.25, half away from zero
        EXPECT_EQ(FontSize(scale, 18), "font-size:1.5" + unit);
        EXPECT_EQ(FontSize(scale, 1), "font-size:0.083" + unit);
        EXPECT_EQ(FontSize(scale, 6), "font-size:0.5" + unit);
        EXPECT_EQ(FontSize(scale, 27), "font-size:2.3" + unit); // 2.25
        EXPECT_EQ(FontSize(scale, 120), "font-size:10" + unit);
        EXPECT_EQ(FontSize(scale, 1193), "font-size:99" + unit);
    }
}

TEST(FontSizeStyle, EmTurnsToExponentFormWhenTheIntegerPartOutgrowsThePrecision) {
    EXPECT_EQ(FontSize(fsEM, 1194), "font-size:1E002em;"); // 99.5 rounds up to 100
    EXPECT_EQ(FontSize(fsEM, 1200), "font-size:1E002em;");
    EXPECT_EQ(FontSize(fsEX, 1200), "font-size:1E002ex;");
    EXPECT_EQ(FontSize(fsEM, 1320), "font-size:1.1E002em;");
    EXPECT_EQ(FontSize(fsEM, 12000), "font-size:1E003em;");
    EXPECT_EQ(FontSize(fsEM, 2147483647), "font-size:1.8E008em;");
}

TEST(FontSizeStyle, PercentUsesThreeSignificantDigits) {
    EXPECT_EQ(FontSize(fsPercent, 10), "font-size:83.3%;");
    EXPECT_EQ(FontSize(fsPercent, 12), "font-size:100%;");
    EXPECT_EQ(FontSize(fsPercent, 14), "font-size:117%;");
    EXPECT_EQ(FontSize(fsPercent, 15), "font-size:125%;");
    EXPECT_EQ(FontSize(fsPercent, 18), "font-size:150%;");
    EXPECT_EQ(FontSize(fsPercent, 1), "font-size:8.33%;");
    EXPECT_EQ(FontSize(fsPercent, 119), "font-size:992%;");
    EXPECT_EQ(FontSize(fsPercent, 120), "font-size:1E003%;");
    EXPECT_EQ(FontSize(fsPercent, 130), "font-size:1.08E003%;");
    EXPECT_EQ(FontSize(fsPercent, 123), "font-size:1.03E003%;"); // 1025, half away from zero
}

TEST(FontSizeStyle, NegativeSizesRoundAwayFromZeroToo) {
    EXPECT_EQ(FontSize(fsEM, -15), "font-size:-1.3em;");
    EXPECT_EQ(FontSize(fsPercent, -10), "font-size:-83.3%;");
    EXPECT_EQ(FontSize(fsPoint, -4), "font-size:-4pt;");
}

// Restores the global locales, C and C++, when a test leaves.
class TLocaleGuard {
public:
    TLocaleGuard() : FSaved(std::locale()), FSavedC(std::setlocale(LC_ALL, nullptr)) {}
    ~TLocaleGuard() {
        std::locale::global(FSaved);
        std::setlocale(LC_ALL, FSavedC.c_str());
    }

private:
    std::locale FSaved;
    std::string FSavedC;
};

class TCommaDecimal : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(FontSizeStyle, DecimalPointIgnoresAGermanLocale) {
    TLocaleGuard guard;
    try {
        std::locale::global(std::locale("de_DE.UTF-8"));
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed on this machine";
    }
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    EXPECT_EQ(FontSize(fsEM, 10), "font-size:0.83em;");
    EXPECT_EQ(FontSize(fsPercent, 130), "font-size:1.08E003%;");
    EXPECT_EQ(FontSize(fsPoint, 1200), "font-size:1200pt;");
}

TEST(FontSizeStyle, DecimalPointIgnoresACommaDecimalStreamLocale) {
    TLocaleGuard guard;
    std::locale::global(std::locale(std::locale::classic(), new TCommaDecimal));
    EXPECT_EQ(FontSize(fsEM, 10), "font-size:0.83em;");
    EXPECT_EQ(FontSize(fsPercent, 10), "font-size:83.3%;");
    EXPECT_EQ(FontSize(fsPoint, 1200), "font-size:1200pt;");
}

TEST(TwipsToPixels, RoundsAwayFromZero) {
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(0), 0);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(1), 1);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(15), 1);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(16), 2);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(720), 48);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(-1), -1);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(-15), -1);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(-16), -2);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(std::numeric_limits<std::int32_t>::max()), 143165577);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(std::numeric_limits<std::int32_t>::min()), -143165577);
}

TEST(Encode, EscapesTheFourMarkupCharactersOnly) {
    const auto translator = Make<THTML50Translator>();
    EXPECT_EQ(translator->Encode(R"(a<b & "c" > 'd')"), R"(a&lt;b &amp; &quot;c&quot; &gt; 'd')");
    EXPECT_EQ(translator->Encode(""), "");
    EXPECT_EQ(translator->Encode("&amp;"), "&amp;amp;");
    EXPECT_EQ(translator->Encode("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
}

TEST(Encode, DropsTheCharactersMarkupForbids) {
    const auto translator = Make<TXHTML11Translator>();
    EXPECT_EQ(translator->Encode(std::string_view("a\x01z\x00y\x1F-\x0B\x0C\x08.", 11)), "azy-.");
    EXPECT_EQ(translator->Encode("tab\there\nline\rreturn"), "tab\there\nline\rreturn");
    // U+FFFE and U+FFFF go; their neighbours U+FFFD and U+FEFF stay, as does a cut-off sequence.
    EXPECT_EQ(translator->Encode("x\xEF\xBF\xBEy\xEF\xBF\xBFz"), "xyz");
    EXPECT_EQ(translator->Encode("\xEF\xBF\xBD\xEF\xBB\xBF"), "\xEF\xBF\xBD\xEF\xBB\xBF");
    EXPECT_EQ(translator->Encode("<\xEF\xBF"), "&lt;\xEF\xBF");
    EXPECT_EQ(translator->Encode("\x7F"), "\x7F");
    // The C1 controls U+0080 to U+009F go; U+00A0 and the rest of the C2 row stay.
    EXPECT_EQ(translator->Encode("a\xC2\x81" "b\xC2\x9D" "c\xC2\xA0\xC2\xBF"), "abc\xC2\xA0\xC2\xBF");
    EXPECT_EQ(translator->Encode("end\xC2"), "end\xC2");
}

TEST(Encode, LongTextIsEscapedWhole) {
    const auto translator = Make<THTML50Translator>();
    std::string text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        text += "ab<\x02\xEF\xBF\xBF";
        expected += "ab&lt;";
    }
    EXPECT_EQ(translator->Encode(text), expected);
}

TEST(StyleAttribute, WrapsNonEmptyStyles) {
    const auto translator = Make<THTML50Translator>();
    EXPECT_EQ(translator->GetStyleAttribute(""), "");
    EXPECT_EQ(translator->GetStyleAttribute("color:red;"), R"( style="color:red;")");
}

TEST(ParagraphStyle, DeclarationsInTheirFixedOrder) {
    const auto translator = Make<THTML50Translator>();
    TParagraphProperties props;
    EXPECT_EQ(translator->GetParagraphStyle(props), "");
    props.LeftIndent = 720;
    props.FirstIndent = -360;
    props.SpaceAfter = 120;
    EXPECT_EQ(translator->GetParagraphStyle(props), "margin-left:48px;text-indent:-24px;margin-bottom:8px;");
    props = {};
    props.SpaceBefore = -100; // negative spacing is left out
    EXPECT_EQ(translator->GetParagraphStyle(props), "");

    TParagraphProperties all;
    all.Alignment = 2; // never part of the paragraph style
    all.LeftIndent = -16;
    all.RightIndent = 30;
    all.FirstIndent = 1;
    all.RightToLeft = true;
    all.SpaceBefore = 16;
    all.SpaceAfter = 1;
    all.ShadingColor = "#ffff00";
    all.Border = true;
    EXPECT_EQ(translator->GetParagraphStyle(all),
              "margin-left:-2px;margin-right:2px;text-indent:1px;direction:rtl;margin-top:2px;"
              "margin-bottom:1px;background-color:#ffff00;border:thin solid black;");
}

TEST(ParagraphStart, MarginsTagAttributesAndStyle) {
    auto margins = std::make_shared<TMarginBuilder>();
    THTML401TransitionalTranslator translator(margins);
    translator.SetParagraphTag("<p");
    EXPECT_EQ(translator.BuildParagraphStart("margin-left:48px;", ""),
              "    <p style=\"margin-left:48px;\">\r\n      ");
    EXPECT_EQ(translator.BuildParagraphStart("", R"( align="center")"), "    <p align=\"center\">\r\n      ");
    EXPECT_EQ(translator.BuildParagraphStart("", ""), "    <p>\r\n      ");
    margins->SetMarginWidth(1);
    translator.SetParagraphTag("<div");
    EXPECT_EQ(translator.BuildParagraphStart("a:b;", " x=\"y\""), "  <div x=\"y\" style=\"a:b;\">\r\n   ");
}

TEST(FormatCharacters, PlainRunIsReturnedUnchanged) {
    TCharacterProperties props;
    EXPECT_EQ(Make<THTML50Translator>()->FormatText("a &amp; b", props), "a &amp; b");
    EXPECT_EQ(Make<THTML401TransitionalTranslator>()->FormatText("a &amp; b", props), "a &amp; b");
    EXPECT_EQ(Make<TXHTML10StrictTranslator>()->FormatText("a &amp; b", props), "a &amp; b");
}

TEST(FormatCharacters, PresentationalTagsNestBoldInnermost) {
    const auto translator = Make<THTML401TransitionalTranslator>();
    TCharacterProperties props;
    props.FontStyle = fsBold | fsItalic;
    EXPECT_EQ(translator->FormatText("text", props), "<i><b>text</b></i>");
    props.FontStyle = fsBold | fsItalic | fsUnderline;
    props.VerticalPosition = 2;
    EXPECT_EQ(translator->FormatText("text", props), "<sup><u><i><b>text</b></i></u></sup>");
    props.FontStyle = fsStrikeOut;
    props.VerticalPosition = 1;
    EXPECT_EQ(translator->FormatText("text", props), "<sub><strike>text</strike></sub>");
}

TEST(FormatCharacters, EverythingAsCssInItsFixedOrder) {
    const auto translator = Make<THTML50Translator>();
    TCharacterProperties props;
    props.FontStyle = fsBold | fsItalic | fsUnderline | fsStrikeOut;
    props.VerticalPosition = 1;
    props.FontName = "Times New Roman,serif";
    props.FontColor = "#ff0000";
    props.BackgroundColor = "#00ff00";
    props.FontSize = 12;
    props.RightToLeft = true;
    props.Language = "en";
    EXPECT_EQ(translator->FormatText("t", props),
              "<span style=\"font-weight:bold;font-style:italic;text-decoration:underline;"
              "text-decoration:line-through;vertical-align:sub;font-family:Times New Roman,serif;"
              "color:#ff0000;background-color:#00ff00;font-size:12pt;direction:rtl;\" lang=\"en\">t</span>");
    props = {};
    props.VerticalPosition = 2;
    EXPECT_EQ(translator->FormatText("t", props), "<span style=\"vertical-align:super;\">t</span>");
}

TEST(FormatCharacters, TagsAndSpanTogether) {
    const auto translator = Make<THTML401TransitionalTranslator>(fsEM);
    TCharacterProperties props;
    props.FontStyle = fsBold;
    props.FontColor = "#ff0000";
    props.FontSize = 15;
    EXPECT_EQ(translator->FormatText("t", props),
              "<span style=\"color:#ff0000;font-size:1.3em;\"><b>t</b></span>");
}

TEST(FormatCharacters, HighlightWinsOverBackground) {
    const auto translator = Make<THTML50Translator>();
    TCharacterProperties props;
    props.HighlightColor = "#ffff00";
    props.BackgroundColor = "#00ff00";
    EXPECT_EQ(translator->FormatText("t", props), "<span style=\"background-color:#ffff00;\">t</span>");
}

TEST(FormatCharacters, LanguageAloneMakesASpanWithoutStyle) {
    TCharacterProperties props;
    props.Language = "de";
    EXPECT_EQ(Make<THTML401StrictTranslator>()->FormatText("t", props), "<span lang=\"de\">t</span>");
    EXPECT_EQ(Make<THTML401TransitionalTranslator>()->FormatText("t", props), "<span lang=\"de\">t</span>");
}

TEST(FormatCharacters, FontNamesCannotBreakOutOfTheStyle) {
    TCharacterProperties props;
    props.FontName = "Evil\"><script>;}{x&y";
    EXPECT_EQ(Make<THTML50Translator>()->FormatText("t", props),
              "<span style=\"font-family:Evil&quot;&gt;&lt;script&gt;x&amp;y;\">t</span>");
}

} // namespace
} // namespace corvane
