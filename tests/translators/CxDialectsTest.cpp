// What sets the dialects apart beyond the golden conversions (tests/data/golden), which hold every
// dialect's document type, paragraph starts and character formatting.
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

TEST(Dialects, WhatTheReducedDialectsLeaveOut) {
    TCharacterProperties props;
    props.Language = "de";
    props.RightToLeft = true;
    props.BackgroundColor = "#00ff00";
    for (const auto& translator : {Make<THTML3FlexTranslator>(), Make<TXHTMLBasic10Translator>(),
                                   Make<TXHTMLMobileProfile10Translator>()})
        EXPECT_EQ(translator->FormatText("a &amp; b", props), "a &amp; b") << translator->GetDialectName();
}

TEST(Dialects, Html32FontElement) {
    // The scale does not reach the font element; nor does a font name break out of its attribute.
    const auto translator = Make<THTML3FlexTranslator>(fsEM);
    TCharacterProperties props;
    props.FontName = R"(A&B "Sans" <x>)";
    props.FontSize = 12;
    EXPECT_EQ(translator->FormatText("t", props),
              R"(<font face="A&amp;B &quot;Sans&quot; &lt;x&gt;" size="12">t</font>)");
    props = {};
    props.FontStyle = fsItalic | fsUnderline | fsStrikeOut;
    props.VerticalPosition = 1;
    EXPECT_EQ(translator->FormatText("t", props), "<sub><strike><u><i>t</i></u></strike></sub>");
}

TEST(Dialects, LanguageSpans) {
    TCharacterProperties props;
    props.Language = "fr";
    EXPECT_EQ(Make<THTML401StrictTranslator>()->FormatText("t", props), R"(<span lang="fr">t</span>)");
    EXPECT_EQ(Make<THTML401TransitionalTranslator>()->FormatText("t", props), R"(<span lang="fr">t</span>)");
    EXPECT_EQ(Make<TXHTML10StrictTranslator>()->FormatText("t", props),
              R"(<span xml:lang="fr" lang="fr">t</span>)");
    EXPECT_EQ(Make<TXHTML10TransitionalTranslator>()->FormatText("t", props),
              R"(<span xml:lang="fr" lang="fr">t</span>)");
    EXPECT_EQ(Make<TXHTML11Translator>()->FormatText("t", props), R"(<span xml:lang="fr">t</span>)");
}

} // namespace
} // namespace corvane
