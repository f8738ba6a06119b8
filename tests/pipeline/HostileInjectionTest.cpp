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

std::string Convert(const std::string& Rtf) {
    return test::MakeFullConverter()->Convert(Rtf);
}

// The values of Attribute on every Element of the parsed Xhtml, in order.
std::vector<std::string> AttributeValues(const std::string& Xhtml, std::string_view Element,
                                         std::string_view Attribute) {
    std::vector<std::string> Values;
    const test::TXmlDocument Document(Xhtml);
    test::ForEachElement(Document.Root(), [&](xmlNode* Node) {
        if (Element != reinterpret_cast<const char*>(Node->name)) return;
        for (xmlAttr* Found = Node->properties; Found != nullptr; Found = Found->next)
            if (Attribute == reinterpret_cast<const char*>(Found->name))
                Values.push_back(test::AttributeValue(Node, Found));
    });
    return Values;
}

// The style of the run that holds Text, or "" when no span carries it.
std::string StyleOfRunWith(const std::string& Xhtml, std::string_view Text) {
    std::string Style;
    const test::TXmlDocument Document(Xhtml);
    test::ForEachElement(Document.Root(), [&](xmlNode* Node) {
        if (std::string_view("span") != reinterpret_cast<const char*>(Node->name)) return;
        xmlChar* Content = xmlNodeGetContent(Node);
        const bool Holds = Content != nullptr && std::string_view(reinterpret_cast<char*>(Content)) == Text;
        xmlFree(Content);
        if (!Holds) return;
        for (xmlAttr* Found = Node->properties; Found != nullptr; Found = Found->next)
            if (std::string_view("style") == reinterpret_cast<const char*>(Found->name))
                Style = test::AttributeValue(Node, Found);
    });
    return Style;
}

TEST(HostileInjection, FontNamesStayInsideTheirDeclaration) {
    for (const std::string& Payload : Payloads) {
        for (const std::string_view Spacing : {"", "Evil Font "}) {
            const std::string Name = std::string(Spacing) + Payload;
            SCOPED_TRACE(Name);
            const std::string Output =
                Convert("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\froman " + RtfText(Name) +
                        ";}}{\\colortbl;\\red255\\green0\\blue0;}\\f1\\cf1\\fs40 styled\\par}");
            ASSERT_EQ(test::InspectXhtml(Output), "") << Output;
            // The declarations after the font name survive it: it swallowed none of them.
            const std::string Style = StyleOfRunWith(Output, "styled");
            EXPECT_NE(Style.find("font-family:"), std::string::npos) << Style;
            EXPECT_NE(Style.find(";color:#ff0000;font-size:20pt;"), std::string::npos) << Style;
        }
    }
}

TEST(HostileInjection, BookmarkNamesStayInsideTheirId) {
    for (const std::string& Payload : Payloads) {
        SCOPED_TRACE(Payload);
        const std::string Output = Convert("{\\rtf1\\ansi before{\\*\\bkmkstart " + RtfText(Payload) +
                                           "}{\\*\\bkmkend x}after\\par}");
        ASSERT_EQ(test::InspectXhtml(Output), "") << Output;
        EXPECT_EQ(AttributeValues(Output, "span", "id"), std::vector<std::string>{Payload}) << Output;
    }
}

TEST(HostileInjection, LinkTargetsStayInsideTheirHref) {
    for (const std::string& Payload : Payloads) {
        for (const std::string_view Scheme :
             {"http://example.com/", "https://", "mailto:", "", "javascript:"}) {
            const std::string Target = std::string(Scheme) + Payload;
            SCOPED_TRACE(Target);
            // Quoted as word processors write it, bare, and with an anchor that tries the same.
            for (const std::string& Instruction :
                 {"HYPERLINK \"" + RtfText(Target) + "\"", " HYPERLINK " + RtfText(Target),
                  "HYPERLINK \"page.rtf\" \\\\l \"" + RtfText(Target) + "\""}) {
                const std::string Output = Convert("{\\rtf1\\ansi{\\field{\\*\\fldinst " + Instruction +
                                                   "}{\\fldrslt shown}} after\\par}");
                ASSERT_EQ(test::InspectXhtml(Output), "") << Output;
                EXPECT_EQ(AttributeValues(Output, "a", "href").size(), 1u) << Output;
            }
        }
    }
}

TEST(HostileInjection, LinksMadeFromBlueUnderlinedTextStayInsideTheirHref) {
    for (const std::string& Payload : Payloads) {
        for (const std::string_view Scheme : {"http://example.com/", "", "javascript:"}) {
            const std::string Target = std::string(Scheme) + Payload;
            SCOPED_TRACE(Target);
            const std::string Output =
                Convert("{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;}{\\ul\\cf1 " + RtfText(Target) +
                        "}\\par}");
            ASSERT_EQ(test::InspectXhtml(Output), "") << Output;
            EXPECT_EQ(AttributeValues(Output, "a", "href").size(), 1u) << Output;
        }
    }
}

} // namespace
} // namespace corvane
