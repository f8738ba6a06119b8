// The markup walk over hand-built trees, for the shapes a real document rarely has; ordinary documents are
// converted end to end in GoldenConversion.
#include "CxOutputWriter.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

constexpr const char* EmptyParagraph = "    <p>\r\n    </p>\r\n";

class OutputWriterTest : public ::testing::Test {
protected:
    // One paragraph per entry; "*" starts a bullet item, "#" a numbered one.
    void Build(std::initializer_list<std::string_view> Paragraphs) {
        Document = std::make_shared<TSimpleDomDocument>();
        bool First = true;
        for (std::string_view Text : Paragraphs) {
            if (!First) Document->AddParagraph();
            First = false;
            TParagraphProperties Properties;
            if (!Text.empty() && (Text[0] == '*' || Text[0] == '#')) {
                Properties.ListItem = true;
                Properties.ListStyle = Text[0] == '*' ? 11 : 0;
                Text.remove_prefix(1);
            }
            Document->LastParagraph().SetParagraphProperties(Properties);
            Document->AppendText(std::string(Text));
        }
    }
    std::string Run(bool PlainText = false) {
        Writer.SetDocument(Document);
        Writer.SetPlainText(PlainText);
        Writer.Execute();
        return Writer.GetOutput();
    }
    // A paragraph or list item holding Text.
    static std::string P(const std::string& Text) { return "    <p>\r\n      " + Text + "\r\n    </p>\r\n"; }
    static std::string Li(const std::string& Text) {
        return "      <li>\r\n        " + Text + "\r\n      </li>\r\n";
    }

    std::shared_ptr<TSimpleDomDocument> Document;
    fakes::TFakeRunConverter Converter;
    TCxOutputWriter Writer{Converter};

    void SetUp() override { Writer.FEmptyParagraph = EmptyParagraph; }
};

// Blanks and control characters alone make a paragraph empty; the walk removes the trailing ones, so a
// second walk gives the same output.
TEST_F(OutputWriterTest, TrailingEmptyParagraphsGoAndEmptyOnesBetweenStay) {
    Build({"a", " \x01 ", "&nbsp;", "", " ", ""});
    const std::string Expected = P("a") + EmptyParagraph + P("&nbsp;");
    EXPECT_EQ(Run(), Expected);
    EXPECT_EQ(Document->GetChildCount(), 3);
    EXPECT_EQ(Run(), Expected);

    // An all-empty document gives nothing, but plain text keeps its lines.
    Build({""});
    EXPECT_EQ(Run(true), "\r\n");
    Build({"", "  "});
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Document->GetChildCount(), 0);
    EXPECT_EQ(Run(true), "");
}

// Items of both kinds in a row form one list of the first item's kind.
TEST_F(OutputWriterTest, ConsecutiveItemsFormOneFlatList) {
    Build({"*a", "#b", "*c", "d", "*e", "#f"});
    EXPECT_EQ(Run(), "    <ul>\r\n" + Li("a") + Li("b") + Li("c") + "    </ul>\r\n" + P("d") +
                         "    <ul>\r\n" + Li("e") + Li("f") + "    </ul>\r\n");
    Build({"#a", "*b"});
    EXPECT_EQ(Run(), "    <ol>\r\n" + Li("a") + Li("b") + "    </ol>\r\n");
}

// A list that starts or ends with an empty item still opens and closes exactly once, and an empty item
// inside an open list stays an item: a paragraph there would be invalid markup.
TEST_F(OutputWriterTest, EmptyItemsStayInsideABalancedList) {
    Build({"*a", "*", "*b"});
    EXPECT_EQ(Run(), "    <ul>\r\n" + Li("a") + Li("") + Li("b") + "    </ul>\r\n");
    Build({"*", "#a", "*", "b", "*", "*"});
    EXPECT_EQ(Run(), EmptyParagraph + ("    <ol>\r\n" + Li("a")) + Li("") + "    </ol>\r\n" + P("b"));
}

} // namespace
} // namespace corvane
