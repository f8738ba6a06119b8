// What sets the dialects apart beyond the golden conversions (tests/data/golden), which hold every
// dialect's document type, paragraph starts and the single character formats.
#include "CxHtmlTranslator.h"
#include "CxMarginBuilder.h"
#include "CxXhtmlTranslator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace corvane {
namespace {

template <typename TTranslator> std::shared_ptr<TCustomTranslator> Make(TFontSizeScale Scale = fsPoint) {
    auto translator = std::make_shared<TTranslator>(std::make_shared<TMarginBuilder>());
    translator->SetParagraphTag("<p");
    translator->SetFontSizeScale(Scale);
    return translator;
}

// The element and attribute queries the converter asks, and the start tag with a language.
TEST(Dialects, ElementsAttributesAndLanguage) {
    const std::string xhtml = R"(<html xmlns="http://www.w3.org/1999/xhtml" xml:lang="en")";
    const struct {
        std::shared_ptr<TCustomTranslator> Translator;
        bool Break, Style, Lang;
        std::string HtmlStart;
    } Dialects[] = {
        {Make<THTML3FlexTranslator>(), true, true, true, R"(<html lang="en">)"},
        {Make<THTML401TransitionalTranslator>(), true, true, true, R"(<html lang="en">)"},
        {Make<THTML401StrictTranslator>(), false, true, true, R"(<html lang="en">)"},
        {Make<THTML50Translator>(), true, true, true, R"(<html lang="en">)"},
        {Make<TXHTML10TransitionalTranslator>(), true, true, true, xhtml + R"( lang="en">)"},
        {Make<TXHTML10StrictTranslator>(), false, true, true, xhtml + R"( lang="en">)"},
        {Make<TXHTMLBasic10Translator>(), true, false, true, xhtml + R"( lang="en">)"},
        {Make<TXHTMLMobileProfile10Translator>(), true, true, true, xhtml + R"( lang="en">)"},
        {Make<TXHTML11Translator>(), false, true, false, xhtml + ">"},
    };
    for (const auto& Dialect : Dialects) {
        SCOPED_TRACE(Dialect.Translator->GetDialectName());
        EXPECT_EQ(Dialect.Translator->SupportsElement("br"), Dialect.Break);
        EXPECT_EQ(Dialect.Translator->SupportsElement("style"), Dialect.Style);
        EXPECT_EQ(Dialect.Translator->SupportsAttribute("", "lang"), Dialect.Lang);
        EXPECT_EQ(Dialect.Translator->GetHtmlStartTag("en"), Dialect.HtmlStart);
    }
}

TCharacterProperties Styles(TFontStyles Style, std::uint8_t VerticalPosition) {
    TCharacterProperties props;
    props.FontStyle = Style;
    props.VerticalPosition = VerticalPosition;
    return props;
}

// Formats combined, the order of tags and declarations, a font name that tries to break out of its
// attribute, languages, and what the reduced dialects leave out.
TEST(Dialects, FormattedText) {
    TCharacterProperties everything = Styles(fsBold | fsItalic | fsUnderline | fsStrikeOut, 1);
    everything.FontName = "Times New Roman,serif";
    everything.FontColor = "#ff0000";
    everything.BackgroundColor = "#00ff00";
    everything.FontSize = 12;
    everything.RightToLeft = true;
    everything.Language = "en";
    TCharacterProperties foreign;
    foreign.Language = "de";
    foreign.RightToLeft = true;
    foreign.BackgroundColor = "#00ff00";
    TCharacterProperties french;
    french.Language = "fr";
    TCharacterProperties font;
    font.FontName = R"(A&B "Sans" <x>)";
    font.FontSize = 12;
    const struct {
        std::shared_ptr<TCustomTranslator> Translator;
        TCharacterProperties Props;
        std::string Text, Expected;
    } Cases[] = {
        {Make<THTML401TransitionalTranslator>(), Styles(fsBold | fsItalic | fsUnderline, 2), "t",
         "<sup><u><i><b>t</b></i></u></sup>"},
        {Make<THTML401TransitionalTranslator>(), Styles(fsStrikeOut, 1), "t",
         "<sub><strike>t</strike></sub>"},
        {Make<THTML3FlexTranslator>(), Styles(fsItalic | fsUnderline | fsStrikeOut, 1), "t",
         "<sub><strike><u><i>t</i></u></strike></sub>"},
        {Make<THTML50Translator>(), everything, "t",
         "<span style=\"font-weight:bold;font-style:italic;text-decoration:underline;"
         "text-decoration:line-through;vertical-align:sub;font-family:Times New Roman,serif;"
         "color:#ff0000;background-color:#00ff00;font-size:12pt;direction:rtl;\" lang=\"en\">t</span>"},
        // The scale does not reach the font element.
        {Make<THTML3FlexTranslator>(fsEM), font, "t",
         R"(<font face="A&amp;B &quot;Sans&quot; &lt;x&gt;" size="12">t</font>)"},
        {Make<THTML3FlexTranslator>(), foreign, "a &amp; b", "a &amp; b"},
        {Make<TXHTMLBasic10Translator>(), foreign, "a &amp; b", "a &amp; b"},
        {Make<TXHTMLMobileProfile10Translator>(), foreign, "a &amp; b", "a &amp; b"},
        {Make<THTML401StrictTranslator>(), french, "t", R"(<span lang="fr">t</span>)"},
        {Make<TXHTML10StrictTranslator>(), french, "t", R"(<span xml:lang="fr" lang="fr">t</span>)"},
        {Make<TXHTML11Translator>(), french, "t", R"(<span xml:lang="fr">t</span>)"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Translator->GetDialectName() + ": " + Case.Expected);
        EXPECT_EQ(Case.Translator->FormatText(Case.Text, Case.Props), Case.Expected);
    }
}

} // namespace
} // namespace corvane
