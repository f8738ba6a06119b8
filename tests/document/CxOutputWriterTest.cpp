#include "CxOutputWriter.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

constexpr const char* EmptyParagraph = "    <p>\r\n    </p>\r\n";

class OutputWriterTest : public ::testing::Test {
protected:
    // One paragraph per entry; "*" starts a bullet item, "#" a numbered one, "|" separates runs.
    void Build(std::initializer_list<std::string_view> Paragraphs) {
        bool first = true;
        for (std::string_view text : Paragraphs) {
            if (!first) Document->AddParagraph();
            first = false;
            TParagraphProperties props;
            if (!text.empty() && (text[0] == '*' || text[0] == '#')) {
                props.ListItem = true;
                props.ListStyle = text[0] == '*' ? 11 : 0;
                text.remove_prefix(1);
            }
            Document->LastParagraph().SetParagraphProperties(props);
            for (std::size_t bar; (bar = text.find('|')) != std::string_view::npos;
                 text.remove_prefix(bar + 1)) {
                Document->AppendText(std::string(text.substr(0, bar)));
                Document->LastParagraph().CloseTextRun();
            }
            Document->AppendText(std::string(text));
        }
    }
    std::string Run(bool PlainText = false) {
        Writer.SetDocument(Document);
        Writer.SetPlainText(PlainText);
        Writer.Execute();
        return Writer.GetOutput();
    }

    std::shared_ptr<TSimpleDomDocument> Document = std::make_shared<TSimpleDomDocument>();
    fakes::TFakeRunConverter Converter;
    TCxOutputWriter Writer{Converter};

    void SetUp() override {
        Writer.FEmptyParagraph = EmptyParagraph;
        Writer.FLineBreak = "<br />";
    }
};

TEST_F(OutputWriterTest, TrailingEmptyParagraphsGoAndEmptyOnesBetweenStay) {
    Build({"a", " \x01 ", "&nbsp;", "", " ", ""});
    const std::string expected = std::string("    <p>\r\n      a\r\n    </p>\r\n") + EmptyParagraph +
                                 "    <p>\r\n      &nbsp;\r\n    </p>\r\n";
    EXPECT_EQ(Run(), expected);
    EXPECT_EQ(Document->GetChildCount(), 3);
    EXPECT_EQ(Run(), expected); // executing again gives the same output

    Writer.FBreakEmptyParagraphs = true;
    EXPECT_NE(Run().find("    <p>\r\n      a\r\n    </p>\r\n    <br />\r\n    <p>"), std::string::npos);
}

TEST_F(OutputWriterTest, AllEmptyDocumentGivesNothingButPlainTextKeepsItsLines) {
    EXPECT_EQ(Run(true), "\r\n"); // a new document holds one empty paragraph
    Build({"", "  "});
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Document->GetChildCount(), 0);
    EXPECT_EQ(Run(true), "");
}

TEST_F(OutputWriterTest, PlainTextIsTheRawRunText) {
    Build({"a|<b>", "", "*c", ""});
    EXPECT_EQ(Run(true), "a<b>\r\n\r\nc\r\n\r\n");
    EXPECT_EQ(Converter.Calls, 0);
}

TEST_F(OutputWriterTest, RunsAreConvertedOnceAndEmptyRunsNotAtAll) {
    Build({"x<y"});
    Document->LastParagraph().CloseTextRun();
    Document->LastTextRun().SetAnchor("lost"); // an empty run: not converted
    EXPECT_EQ(Run(), "    <p>\r\n      x&lt;y\r\n    </p>\r\n");
    EXPECT_EQ(Converter.Calls, 2); // the last paragraph is looked at twice
}

TEST_F(OutputWriterTest, ConsecutiveItemsFormOneFlatList) {
    Build({"*a", "#b", "*c", "d", "*e", "#f"});
    EXPECT_EQ(Run(), "    <ul>\r\n      <li>\r\n        a\r\n      </li>\r\n"
                     "      <li>\r\n        b\r\n      </li>\r\n"
                     "      <li>\r\n        c\r\n      </li>\r\n    </ul>\r\n"
                     "    <p>\r\n      d\r\n    </p>\r\n"
                     "    <ul>\r\n      <li>\r\n        e\r\n      </li>\r\n"
                     "      <li>\r\n        f\r\n      </li>\r\n    </ul>\r\n");
    Document = std::make_shared<TSimpleDomDocument>();
    Build({"#a", "*b"});
    const std::string out = Run();
    EXPECT_EQ(out.find("<ol>"), 4u);
    EXPECT_EQ(out.rfind("</ol>\r\n"), out.size() - 7);
}

TEST_F(OutputWriterTest, EmptyItemsStayInsideABalancedList) {
    Build({"*a", "*", "*b"});
    EXPECT_EQ(Run(), std::string("    <ul>\r\n      <li>\r\n        a\r\n      </li>\r\n") + EmptyParagraph +
                         "      <li>\r\n        b\r\n      </li>\r\n    </ul>\r\n");
    // A list that starts or ends with an empty item still opens and closes exactly once.
    Document = std::make_shared<TSimpleDomDocument>();
    Build({"*", "#a", "*", "b", "*", "*"});
    EXPECT_EQ(Run(), std::string(EmptyParagraph) + "    <ol>\r\n      <li>\r\n        a\r\n      </li>\r\n" +
                         EmptyParagraph + "    </ol>\r\n    <p>\r\n      b\r\n    </p>\r\n");
}

} // namespace
} // namespace corvane
