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

TEST(PercentEncode, KeepsOnlyUnreservedCharactersAndEncodesUtf8Bytes) {
    const std::string unreserved = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    EXPECT_EQ(PercentEncode(unreserved), unreserved);
    EXPECT_EQ(PercentEncode("a b:/\"#%&+?\\"), "a%20b%3A%2F%22%23%25%26%2B%3F%5C");
    EXPECT_EQ(PercentEncode(std::string_view("\0\x1f\x7f", 3)), "%00%1F%7F");
    EXPECT_EQ(PercentEncode("caf\xC3\xA9 \xF0\x9F\x98\x80"), "caf%C3%A9%20%F0%9F%98%80");
}

TEST(HyperlinkInstruction, IsRecognisedAfterLeadingBlanksInExactCase) {
    EXPECT_TRUE(IsHyperlinkInstruction("  HYPERLINK \"x\" "));
    EXPECT_TRUE(IsHyperlinkInstruction("\tHYPERLINK"));
    EXPECT_FALSE(IsHyperlinkInstruction("hyperlink \"x\""));
    EXPECT_FALSE(IsHyperlinkInstruction("PAGE \\* MERGEFORMAT"));
    EXPECT_FALSE(IsHyperlinkInstruction("   "));
}

TEST(HyperlinkInstruction, Targets) {
    const std::pair<const char*, const char*> Cases[] = {
        // Relative targets: a document's extension becomes .html, the rest is percent-encoded.
        {R"(HYPERLINK \l "Kapitel 1")", "#Kapitel%201"},
        {R"(HYPERLINK "Bericht.RTF")", "Bericht.html"},
        {R"(HYPERLINK "a.rtf.rtf")", "a.html.rtf"},
        {R"(HYPERLINK "sub/doc.rtf" \l "top")", "sub%2Fdoc.html#top"},
        {R"(HYPERLINK "a.rtfx")", "a.htmlx"},
        {R"( HYPERLINK  unquoted.rtf )", "unquoted.html"},
        {"HYPERLINK \"\xE2\x82\xAC.rtf\"", "%E2%82%AC.html"},
        // Edges of the field grammar: unrecognised switches stay in the target, and a backslash before
        // "l" in a path reads as the anchor switch.
        {"HYPERLINK", ""},
        {R"(HYPERLINK ")", "%22"},
        {R"(HYPERLINK "x.htm" \o "tip")", "x.htm%22%20%5Co%20%22tip"},
        {R"(HYPERLINK "C:\Docs\letters\x.rtf")", "%22C%3A%5CDocs#etters%5Cx.rtf%22"},
        // Absolute targets stay as written, escaped for the attribute; only a lower-case scheme counts.
        {R"(HYPERLINK "https://example.com/a b#c")", "https://example.com/a b#c"},
        {R"(HYPERLINK "http://example.com/x.rtf")", "http://example.com/x.rtf"},
        {R"(HYPERLINK "mailto:jo@example.com")", "mailto:jo@example.com"},
        {R"(HYPERLINK "http://a.org/" \l "part")", "http://a.org/"},
        {R"(HYPERLINK "HTTPS://example.com")", "HTTPS%3A%2F%2Fexample.com"},
        {R"(HYPERLINK "https://x.org/?a=1&b="2"<>")", "https://x.org/?a=1&amp;b=&quot;2&quot;&lt;&gt;"},
    };
    for (const auto& [Instruction, Target] : Cases)
        EXPECT_EQ(ParseHyperlinkInstruction(Instruction), Target) << Instruction;
}

// The target comes from the field's instruction when it is a hyperlink, else from the run's text as it
// was before escaping; the text itself stays as it is.
TEST(LinkBuilder, TargetsFromTheInstructionOrTheUnescapedText) {
    EXPECT_EQ(Link("Tom &amp; Jerry", R"(HYPERLINK "http://t.org/?a=1&b=2")"),
              R"(<a href="http://t.org/?a=1&amp;b=2">Tom &amp; Jerry</a>)");
    EXPECT_EQ(Link("x", R"( HYPERLINK "q&quot.rtf")"), R"(<a href="q%26quot.html">x</a>)");
    EXPECT_EQ(Link("text", "HYPERLINK"), R"(<a href="">text</a>)");
    EXPECT_EQ(Link("a&amp;b"), R"(<a href="a%26b">a&amp;b</a>)");
    EXPECT_EQ(Link("https://example.com/?a=1&amp;b=2"),
              R"(<a href="https://example.com/?a=1&amp;b=2">https://example.com/?a=1&amp;b=2</a>)");
    EXPECT_EQ(Link("&lt;&quot;x&quot;&gt;"), R"(<a href="%3C%22x%22%3E">&lt;&quot;x&quot;&gt;</a>)");
    // Escaped entity text unescapes once only.
    EXPECT_EQ(Link("&amp;amp;"), R"(<a href="%26amp%3B">&amp;amp;</a>)");
    EXPECT_EQ(Link("x.rtf", "PAGE"), R"(<a href="x.rtf">x.rtf</a>)");
}

TEST(MarkupEscaping, UnescapeReversesOnlyTheFourEntities) {
    EXPECT_EQ(UnescapeMarkup("a&amp;b&lt;c&gt;d&quot;e"), "a&b<c>d\"e");
    EXPECT_EQ(UnescapeMarkup("&nbsp;&amp&#38;&"), "&nbsp;&amp&#38;&");
}

} // namespace
} // namespace corvane
