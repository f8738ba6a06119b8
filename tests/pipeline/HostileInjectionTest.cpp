// Values a document puts into attributes — font names, bookmark names, link targets — that try to
// break out into markup, attributes or style. The XHTML output is parsed: it must hold only the
// converter's own elements and attributes, every style only allowed declarations each confined to
// itself, and the hostile value must still be there, inert, where it belongs.
#include "HostileHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

// What a document tries to smuggle in.
const std::vector<std::string> Payloads = {
    "\"><script>alert(1)</script>",
    "' onmouseover='alert(1)",
    "\" onmouseover=\"alert(1)",
    ";}</style><script>alert(2)</script>",
    "x;color:red;background:url(javascript:alert(3))",
    "a'b",
    "q\"r",
    "back\\slash",
    "open/*comment",
    "</span><img src=x onerror=alert(4)>",
    "&amp;&lt;&#60;",
};

// RTF text for Payload: backslashes and braces escaped.
std::string RtfText(std::string_view Payload) {
    std::string Result;
    for (const char C : Payload) {
        if (C == '{' || C == '}' || C == '\\') Result += '\\';
        Result += C;
    }
    return Result;
}

// The converted RTF, which must be clean XHTML, and the values of Attribute on every Element in it
// (only on those whose text is Text, when that is given).
std::vector<std::string> ConvertedAttributes(const std::string& Rtf, std::string_view Element,
                                             std::string_view Attribute, const char* Text = nullptr) {
    const std::string Output = test::MakeFullConverter()->Convert(Rtf);
    EXPECT_EQ(test::InspectXhtml(Output), "") << Output;
    std::vector<std::string> Values;
    const test::TXmlDocument Document(Output);
    test::ForEachElement(Document.Root(), [&](xmlNode* Node) {
        if (Element != reinterpret_cast<const char*>(Node->name)) return;
        xmlChar* Content = xmlNodeGetContent(Node);
        const bool Holds = Text == nullptr ||
                           (Content != nullptr && std::string_view(Text) == reinterpret_cast<char*>(Content));
        xmlFree(Content);
        for (xmlAttr* Found = Node->properties; Holds && Found != nullptr; Found = Found->next)
            if (Attribute == reinterpret_cast<const char*>(Found->name))
                Values.push_back(test::AttributeValue(Node, Found));
    });
    return Values;
}

TEST(HostileInjection, FontNamesStayInsideTheirDeclaration) {
    for (const std::string& Payload : Payloads) {
        for (const std::string_view Spacing : {"", "Evil Font "}) {
            const std::string Name = std::string(Spacing) + Payload;
            SCOPED_TRACE(Name);
            const auto Styles = ConvertedAttributes(
                "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\froman " + RtfText(Name) +
                    ";}}{\\colortbl;\\red255\\green0\\blue0;}\\f1\\cf1\\fs40 styled\\par}",
                "span", "style", "styled");
            // The declarations after the font name survive it: it swallowed none of them.
            ASSERT_EQ(Styles.size(), 1u);
            EXPECT_NE(Styles[0].find("font-family:"), std::string::npos) << Styles[0];
            EXPECT_NE(Styles[0].find(";color:#ff0000;font-size:20pt;"), std::string::npos) << Styles[0];
        }
    }
}

TEST(HostileInjection, BookmarkNamesStayInsideTheirId) {
    for (const std::string& Payload : Payloads) {
        SCOPED_TRACE(Payload);
        EXPECT_EQ(ConvertedAttributes("{\\rtf1\\ansi before{\\*\\bkmkstart " + RtfText(Payload) +
                                          "}{\\*\\bkmkend x}after\\par}",
                                      "span", "id"),
                  std::vector<std::string>{Payload});
    }
}

TEST(HostileInjection, LinkTargetsStayInsideTheirHref) {
    for (const std::string& Payload : Payloads) {
        for (const std::string_view Scheme :
             {"http://example.com/", "https://", "mailto:", "", "javascript:"}) {
            const std::string Target = RtfText(std::string(Scheme) + Payload);
            SCOPED_TRACE(Target);
            // Quoted as word processors write it, bare, with an anchor that tries the same, and as blue
            // underlined text.
            for (const std::string& Link :
                 {"{\\field{\\*\\fldinst HYPERLINK \"" + Target + "\"}{\\fldrslt shown}}",
                  "{\\field{\\*\\fldinst  HYPERLINK " + Target + "}{\\fldrslt shown}}",
                  "{\\field{\\*\\fldinst HYPERLINK \"page.rtf\" \\\\l \"" + Target + "\"}{\\fldrslt shown}}",
                  "{\\colortbl;\\red0\\green0\\blue255;}{\\ul\\cf1 " + Target + "}"})
                EXPECT_EQ(ConvertedAttributes("{\\rtf1\\ansi" + Link + " after\\par}", "a", "href").size(),
                          1u);
        }
    }
}

} // namespace
} // namespace corvane
