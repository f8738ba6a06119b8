#include "CxLinkURIBuilder.h"
#include "PipelineTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

std::string Link(const std::string& EscapedText, const std::string& Instruction = "") {
    test::TTestRun Run(EscapedText);
    Run.SetFieldInstruction(Instruction);
    return TLinkURIBuilder().BuildLink(Run);
}

TEST(PercentEncode, KeepsOnlyUnreservedCharacters) {
    const std::string unreserved = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    EXPECT_EQ(PercentEncode(unreserved), unreserved);
    EXPECT_EQ(PercentEncode("a b"), "a%20b");
    EXPECT_EQ(PercentEncode("http://x/"), "http%3A%2F%2Fx%2F");
    EXPECT_EQ(PercentEncode("\"#%&+?\\"), "%22%23%25%26%2B%3F%5C");
    EXPECT_EQ(PercentEncode(std::string_view("\0\x1f\x7f", 3)), "%00%1F%7F");
    EXPECT_EQ(PercentEncode(""), "");
}

TEST(PercentEncode, EncodesTheUtf8BytesOfACharacter) {
    EXPECT_EQ(PercentEncode("\xE2\x82\xAC"), "%E2%82%AC"); // euro sign
    EXPECT_EQ(PercentEncode("caf\xC3\xA9"), "caf%C3%A9");
    EXPECT_EQ(PercentEncode("\xF0\x9F\x98\x80"), "%F0%9F%98%80"); // outside the basic plane
}

TEST(HyperlinkInstruction, IsRecognisedAfterLeadingBlanksInExactCase) {
    EXPECT_TRUE(IsHyperlinkInstruction("HYPERLINK \"x\""));
    EXPECT_TRUE(IsHyperlinkInstruction("  HYPERLINK \"x\" "));
    EXPECT_TRUE(IsHyperlinkInstruction("\tHYPERLINK"));
    EXPECT_FALSE(IsHyperlinkInstruction("hyperlink \"x\""));
    EXPECT_FALSE(IsHyperlinkInstruction("PAGE \\* MERGEFORMAT"));
    EXPECT_FALSE(IsHyperlinkInstruction("   "));
    EXPECT_FALSE(IsHyperlinkInstruction(""));
}

TEST(HyperlinkInstruction, RelativeTargetsAndAnchors) {
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK \l "Kapitel 1")"), "#Kapitel%201");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "Bericht.RTF")"), "Bericht.html");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "a.rtf.rtf")"), "a.html.rtf");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "sub/doc.rtf" \l "top")"), "sub%2Fdoc.html#top");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "a.rtfx")"), "a.htmlx");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "a&b.rtf")"), "a%26b.html");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK unquoted.rtf)"), "unquoted.html");
    EXPECT_EQ(ParseHyperlinkInstruction(R"( HYPERLINK  "x.rtf" )"), "x.html");
    EXPECT_EQ(ParseHyperlinkInstruction("HYPERLINK \"\xE2\x82\xAC.rtf\""), "%E2%82%AC.html");
}

TEST(HyperlinkInstruction, EdgeCasesOfTheFieldGrammar) {
    EXPECT_EQ(ParseHyperlinkInstruction("HYPERLINK"), "");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK ")"), "%22");
    // Unrecognised switches stay in the target.
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "x.htm" \o "tip")"), "x.htm%22%20%5Co%20%22tip");
    // A backslash before "l" in a path reads as the anchor switch.
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "C:\Docs\letters\x.rtf")"),
              "%22C%3A%5CDocs#etters%5Cx.rtf%22");
}

TEST(HyperlinkInstruction, AbsoluteTargetsStayAsWrittenButEscapedForTheAttribute) {
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "https://example.com/a b#c")"),
              "https://example.com/a b#c");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "http://example.com/x.rtf")"),
              "http://example.com/x.rtf");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "mailto:jo@example.com")"), "mailto:jo@example.com");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "http://a.org/" \l "part")"), "http://a.org/");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "HTTPS://example.com")"), "HTTPS%3A%2F%2Fexample.com");
    EXPECT_EQ(ParseHyperlinkInstruction(R"(HYPERLINK "https://x.org/?a=1&b="2"<>")"),
              "https://x.org/?a=1&amp;b=&quot;2&quot;&lt;&gt;");
}

TEST(LinkBuilder, FieldTargetsGoIntoTheHrefAndTheTextStaysAsItIs) {
    EXPECT_EQ(Link("Kapitel", R"(HYPERLINK \l "Kapitel 1")"), R"(<a href="#Kapitel%201">Kapitel</a>)");
    EXPECT_EQ(Link("Tom &amp; Jerry", R"(HYPERLINK "http://t.org/?a=1&b=2")"),
              R"(<a href="http://t.org/?a=1&amp;b=2">Tom &amp; Jerry</a>)");
    EXPECT_EQ(Link("x", R"( HYPERLINK "q&quot.rtf")"), R"(<a href="q%26quot.html">x</a>)");
    EXPECT_EQ(Link("text", "HYPERLINK"), R"(<a href="">text</a>)");
}

TEST(LinkBuilder, RunTextIsTheTargetTakenFromBeforeItWasEscaped) {
    EXPECT_EQ(Link("a b"), R"(<a href="a%20b">a b</a>)");
    EXPECT_EQ(Link("a&amp;b"), R"(<a href="a%26b">a&amp;b</a>)");
    EXPECT_EQ(Link("https://example.com/?a=1&amp;b=2"),
              R"(<a href="https://example.com/?a=1&amp;b=2">https://example.com/?a=1&amp;b=2</a>)");
    EXPECT_EQ(Link("mailto:jo@example.com"), R"(<a href="mailto:jo@example.com">mailto:jo@example.com</a>)");
    EXPECT_EQ(Link("&lt;&quot;x&quot;&gt;"), R"(<a href="%3C%22x%22%3E">&lt;&quot;x&quot;&gt;</a>)");
    // Escaped entity text unescapes once only.
    EXPECT_EQ(Link("&amp;amp;"), R"(<a href="%26amp%3B">&amp;amp;</a>)");
    // A field instruction that is not a hyperlink does not supply the target.
    EXPECT_EQ(Link("x.rtf", "PAGE"), R"(<a href="x.rtf">x.rtf</a>)");
}

TEST(MarkupEscaping, UnescapeReversesOnlyTheFourEntities) {
    EXPECT_EQ(UnescapeMarkup("a&amp;b&lt;c&gt;d&quot;e"), "a&b<c>d\"e");
    EXPECT_EQ(UnescapeMarkup("&nbsp;&amp&#38;&"), "&nbsp;&amp&#38;&");
    EXPECT_EQ(UnescapeMarkup(EscapeMarkup("<a href=\"x&y\">")), "<a href=\"x&y\">");
}

} // namespace
} // namespace corvane
