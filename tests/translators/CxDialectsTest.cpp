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

// What every dialect answers without arguments worth varying.
struct TDialectFacts {
    std::shared_ptr<TCustomTranslator> Translator;
    std::string DocType;
    std::string Name;
    bool Xml;
    bool PresentationalTags;
    bool DocTypeRequired;
};

std::vector<TDialectFacts> AllDialects() {
    return {
        {Make<THTML3FlexTranslator>(), R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 3.2 Final//EN">)",
         "HTML 3.2/Flex", false, false, false},
        {Make<THTML401TransitionalTranslator>(),
         R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN" "http://www.w3.org/TR/html4/loose.dtd">)",
         "HTML 4.01 Transitional", false, true, false},
        {Make<THTML401StrictTranslator>(),
         R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN" "http://www.w3.org/TR/html4/strict.dtd">)",
         "HTML 4.01 Strict", false, false, false},
        {Make<THTML50Translator>(), "<!DOCTYPE html>", "HTML5", false, false, false},
        {Make<TXHTML10TransitionalTranslator>(),
         R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">)",
         "XHTML 1.0 Transitional", true, true, false},
        {Make<TXHTML10StrictTranslator>(),
         R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Strict//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd">)",
         "XHTML 1.0 Strict", true, false, false},
        {Make<TXHTMLBasic10Translator>(),
         R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML Basic 1.0//EN" "http://www.w3.org/TR/xhtml-basic/xhtml-basic10.dtd">)",
         "XHTML Basic 1.0", true, false, false},
        {Make<TXHTMLMobileProfile10Translator>(),
         R"(<!DOCTYPE html PUBLIC "-//WAPFORUM//DTD XHTML Mobile 1.0//EN" "http://www.wapforum.org/DTD/xhtml-mobile10.dtd">)",
         "XHTML Mobile 1.0", true, false, false},
        {Make<TXHTML11Translator>(),
         R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.1//EN" "http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd">)",
         "XHTML 1.1", true, false, true},
    };
}

TEST(Dialects, DocTypeNameAndFlags) {
    for (const TDialectFacts& facts : AllDialects()) {
        SCOPED_TRACE(facts.Name);
        EXPECT_EQ(facts.Translator->GetDocType(), facts.DocType);
        EXPECT_EQ(facts.Translator->GetDialectName(), facts.Name);
        EXPECT_EQ(facts.Translator->IsXml(), facts.Xml);
        EXPECT_EQ(facts.Translator->UsePresentationalTags(), facts.PresentationalTags);
        EXPECT_EQ(facts.Translator->IsDocTypeRequired(), facts.DocTypeRequired);
        EXPECT_EQ(facts.Translator->GetEmptyElementEnd(), facts.Xml ? " />" : ">");
    }
}

TEST(Dialects, HtmlStartTagWithAndWithoutLanguage) {
    const std::string xhtml = R"(<html xmlns="http://www.w3.org/1999/xhtml")";
    for (const TDialectFacts& facts : AllDialects()) {
        SCOPED_TRACE(facts.Name);
        const ICxTranslator& translator = *facts.Translator;
        if (!facts.Xml) {
            EXPECT_EQ(translator.GetHtmlStartTag(""), "<html>");
            EXPECT_EQ(translator.GetHtmlStartTag("en"), R"(<html lang="en">)");
        } else if (facts.Name == "XHTML 1.1") {
            EXPECT_EQ(translator.GetHtmlStartTag(""), xhtml + ">");
            EXPECT_EQ(translator.GetHtmlStartTag("en"), xhtml + R"( xml:lang="en">)");
        } else {
            EXPECT_EQ(translator.GetHtmlStartTag(""), xhtml + ">");
            EXPECT_EQ(translator.GetHtmlStartTag("en"), xhtml + R"( xml:lang="en" lang="en">)");
        }
    }
}

// The start of a paragraph with only an alignment, for left, right, centred and justified.
std::vector<std::string> ParagraphStarts(const ICxTranslator& Translator) {
    std::vector<std::string> result;
    for (std::uint8_t alignment = 0; alignment < 4; ++alignment) {
        TParagraphProperties props;
        props.Alignment = alignment;
        result.push_back(Translator.GetParagraphStart(props));
    }
    return result;
}

std::string Start(const std::string& TagBody) {
    return "    <p" + TagBody + ">\r\n      ";
}

TEST(Dialects, ParagraphStartForEachAlignment) {
    const std::vector<std::string> notWritten{Start(""), Start(""), Start(""), Start("")};
    const std::vector<std::string> attributes{Start(""), Start(R"( align="right")"),
                                              Start(R"( align="center")"), Start(R"( align="justify")")};
    const std::vector<std::string> css{Start(""), Start(R"( style="text-align:right;")"),
                                       Start(R"( style="text-align:center;")"),
                                       Start(R"( style="text-align:justify;")")};
    const std::vector<std::string> mixed{Start(""), Start(R"( align="right")"), Start(R"( align="center")"),
                                         Start(R"( style="text-align:justify;")")};
    EXPECT_EQ(ParagraphStarts(*Make<THTML3FlexTranslator>()), notWritten);
    EXPECT_EQ(ParagraphStarts(*Make<THTML401TransitionalTranslator>()), attributes);
    EXPECT_EQ(ParagraphStarts(*Make<THTML401StrictTranslator>()), css);
    EXPECT_EQ(ParagraphStarts(*Make<THTML50Translator>()), css);
    EXPECT_EQ(ParagraphStarts(*Make<TXHTML10TransitionalTranslator>()), mixed);
    EXPECT_EQ(ParagraphStarts(*Make<TXHTML10StrictTranslator>()), css);
    EXPECT_EQ(ParagraphStarts(*Make<TXHTML11Translator>()), css);
    EXPECT_EQ(ParagraphStarts(*Make<TXHTMLBasic10Translator>()), notWritten);
    EXPECT_EQ(ParagraphStarts(*Make<TXHTMLMobileProfile10Translator>()), notWritten);
}

TEST(Dialects, AlignmentGoesBeforeTheParagraphStyle) {
    TParagraphProperties props;
    props.Alignment = 2;
    props.LeftIndent = 720;
    props.ShadingColor = "#c0c0c0";
    props.Border = true;
    const std::string style = "margin-left:48px;background-color:#c0c0c0;border:thin solid black;";
    EXPECT_EQ(Make<THTML3FlexTranslator>()->GetParagraphStart(props), Start(" style=\"" + style + "\""));
    EXPECT_EQ(Make<THTML401TransitionalTranslator>()->GetParagraphStart(props),
              Start(" align=\"center\" style=\"" + style + "\""));
    EXPECT_EQ(Make<THTML50Translator>()->GetParagraphStart(props),
              Start(" style=\"text-align:center;" + style + "\""));
    EXPECT_EQ(Make<TXHTML11Translator>()->GetParagraphStart(props),
              Start(" style=\"text-align:center;" + style + "\""));
    EXPECT_EQ(Make<TXHTMLBasic10Translator>()->GetParagraphStart(props), Start(""));
    EXPECT_EQ(Make<TXHTMLMobileProfile10Translator>()->GetParagraphStart(props), Start(""));
    props.Alignment = 3;
    EXPECT_EQ(Make<TXHTML10TransitionalTranslator>()->GetParagraphStart(props),
              Start(" style=\"text-align:justify;" + style + "\""));
}

TCharacterProperties BoldRedArial12() {
    TCharacterProperties props;
    props.FontStyle = fsBold;
    props.FontColor = "#ff0000";
    props.FontName = "Arial";
    props.FontSize = 12;
    return props;
}

TEST(Html32, CharactersBecomeTagsAndAFontElement) {
    const auto translator = Make<THTML3FlexTranslator>(fsEM); // the scale does not reach the font element
    EXPECT_EQ(translator->FormatText("text", BoldRedArial12()),
              R"(<font face="Arial" color="#ff0000" size="12"><b>text</b></font>)");
    TCharacterProperties props;
    props.FontStyle = fsItalic | fsUnderline | fsStrikeOut;
    props.VerticalPosition = 1;
    EXPECT_EQ(translator->FormatText("t", props), "<sub><strike><u><i>t</i></u></strike></sub>");
    props = {};
    props.FontName = R"(A&B "Sans" <x>)";
    EXPECT_EQ(translator->FormatText("t", props),
              R"(<font face="A&amp;B &quot;Sans&quot; &lt;x&gt;">t</font>)");
}

TEST(Html32, HighlightDirectionAndLanguageAreNotWritten) {
    const auto translator = Make<THTML3FlexTranslator>();
    TCharacterProperties props;
    props.HighlightColor = "#ffff00";
    EXPECT_EQ(translator->FormatText("t", props), "t");
    props = {};
    props.RightToLeft = true;
    props.BackgroundColor = "#00ff00";
    EXPECT_EQ(translator->FormatText("t", props), "t");
    props = {};
    props.Language = "de";
    EXPECT_EQ(translator->FormatText("t", props), "t");
}

TEST(Html5, CharactersBecomeOneStyledSpan) {
    EXPECT_EQ(
        Make<THTML50Translator>(fsPercent)->FormatText("text", BoldRedArial12()),
        R"(<span style="font-weight:bold;font-family:Arial;color:#ff0000;font-size:100%;">text</span>)");
    EXPECT_EQ(
        Make<THTML401StrictTranslator>()->FormatText("text", BoldRedArial12()),
        R"(<span style="font-weight:bold;font-family:Arial;color:#ff0000;font-size:12pt;">text</span>)");
}

TEST(Xhtml, CharacterFormattingPerProfile) {
    TCharacterProperties props = BoldRedArial12();
    props.FontStyle = fsBold | fsItalic;
    EXPECT_EQ(Make<TXHTML10TransitionalTranslator>()->FormatText("t", props),
              R"(<span style="font-family:Arial;color:#ff0000;font-size:12pt;"><i><b>t</b></i></span>)");
    EXPECT_EQ(
        Make<TXHTML10StrictTranslator>()->FormatText("t", props),
        R"(<span style="font-weight:bold;font-style:italic;font-family:Arial;color:#ff0000;font-size:12pt;">t</span>)");
    EXPECT_EQ(Make<TXHTMLBasic10Translator>()->FormatText("t", props), "<em><strong>t</strong></em>");
    EXPECT_EQ(Make<TXHTMLMobileProfile10Translator>()->FormatText("t", props), "<em><strong>t</strong></em>");
    props.FontStyle = fsItalic;
    EXPECT_EQ(Make<TXHTMLBasic10Translator>()->FormatText("t", props), "<em>t</em>");
    props.FontStyle = fsBold;
    EXPECT_EQ(Make<TXHTMLMobileProfile10Translator>()->FormatText("t", props), "<strong>t</strong>");
}

TEST(Xhtml, ReducedProfilesDropEverythingElse) {
    TCharacterProperties props;
    props.FontStyle = fsUnderline | fsStrikeOut;
    props.FontColor = "#ff0000";
    props.FontSize = 14;
    props.FontName = "Arial";
    props.VerticalPosition = 2;
    props.RightToLeft = true;
    props.Language = "fr";
    props.HighlightColor = "#ffff00";
    EXPECT_EQ(Make<TXHTMLBasic10Translator>()->FormatText("a &amp; b", props), "a &amp; b");
    EXPECT_EQ(Make<TXHTMLMobileProfile10Translator>()->FormatText("a &amp; b", props), "a &amp; b");
}

TEST(Xhtml, LanguageSpansCarryXmlLang) {
    TCharacterProperties props;
    props.Language = "fr";
    EXPECT_EQ(Make<TXHTML10StrictTranslator>()->FormatText("t", props),
              R"(<span xml:lang="fr" lang="fr">t</span>)");
    EXPECT_EQ(Make<TXHTML10TransitionalTranslator>()->FormatText("t", props),
              R"(<span xml:lang="fr" lang="fr">t</span>)");
    EXPECT_EQ(Make<TXHTML11Translator>()->FormatText("t", props), R"(<span xml:lang="fr">t</span>)");
}

TEST(Dialects, SupportedElements) {
    const auto html32 = Make<THTML3FlexTranslator>();
    const auto html401t = Make<THTML401TransitionalTranslator>();
    const auto html401s = Make<THTML401StrictTranslator>();
    const auto html5 = Make<THTML50Translator>();
    const auto xhtml10t = Make<TXHTML10TransitionalTranslator>();
    const auto xhtml10s = Make<TXHTML10StrictTranslator>();
    const auto basic = Make<TXHTMLBasic10Translator>();
    const auto mobile = Make<TXHTMLMobileProfile10Translator>();
    const auto xhtml11 = Make<TXHTML11Translator>();
    for (const auto& open : {html32, html401t, html5, xhtml10t}) {
        EXPECT_TRUE(open->SupportsElement("br"));
        EXPECT_TRUE(open->SupportsElement("style"));
        EXPECT_FALSE(open->SupportsElement(""));
    }
    for (const auto& strict : {html401s, xhtml10s, xhtml11}) {
        EXPECT_FALSE(strict->SupportsElement("br"));
        EXPECT_TRUE(strict->SupportsElement("BR")); // names compare exactly
        EXPECT_TRUE(strict->SupportsElement("style"));
        EXPECT_TRUE(strict->SupportsElement(""));
    }
    EXPECT_FALSE(basic->SupportsElement("style"));
    EXPECT_TRUE(basic->SupportsElement("br"));
    EXPECT_TRUE(basic->SupportsElement(""));
    for (const char* name : {"style", "br", ""})
        EXPECT_TRUE(mobile->SupportsElement(name)) << name;
}

TEST(Dialects, SupportedAttributes) {
    for (const auto& open : {Make<THTML3FlexTranslator>(), Make<THTML401TransitionalTranslator>(),
                             Make<THTML50Translator>(), Make<TXHTML10TransitionalTranslator>()}) {
        EXPECT_TRUE(open->SupportsAttribute("a", "target"));
        EXPECT_TRUE(open->SupportsAttribute("", "lang"));
        EXPECT_TRUE(open->SupportsAttribute("p", ""));
        EXPECT_FALSE(open->SupportsAttribute("", ""));
    }
    for (const auto& limited : {Make<THTML401StrictTranslator>(), Make<TXHTML10StrictTranslator>(),
                                Make<TXHTMLBasic10Translator>(), Make<TXHTMLMobileProfile10Translator>()}) {
        EXPECT_FALSE(limited->SupportsAttribute("a", "target"));
        EXPECT_TRUE(limited->SupportsAttribute("a", "Target"));
        EXPECT_TRUE(limited->SupportsAttribute("form", "target"));
        EXPECT_TRUE(limited->SupportsAttribute("", "lang"));
        EXPECT_TRUE(limited->SupportsAttribute("", ""));
    }
    const auto xhtml11 = Make<TXHTML11Translator>();
    EXPECT_FALSE(xhtml11->SupportsAttribute("", "lang"));
    EXPECT_FALSE(xhtml11->SupportsAttribute("span", "lang"));
    EXPECT_FALSE(xhtml11->SupportsAttribute("a", "target"));
    EXPECT_TRUE(xhtml11->SupportsAttribute("span", "xml:lang"));
    EXPECT_TRUE(xhtml11->SupportsAttribute("", ""));
}

} // namespace
} // namespace corvane
