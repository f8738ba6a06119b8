#include "CxDocument.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(DocumentTree, RemoveChildKeepsSiblingsAndIndexesRight) {
    auto document = std::make_shared<TSimpleDomDocument>();
    for (int i = 1; i < 5; ++i)
        document->AddParagraph();
    ISimpleDomNode* second = document->GetChild(1);
    ISimpleDomNode* fourth = document->GetChild(3);
    document->RemoveChild(document->GetChild(2));
    ASSERT_EQ(document->GetChildCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(document->IndexOf(document->GetChild(i)), i);
    EXPECT_EQ(second->GetNextSibling(), fourth);
    EXPECT_EQ(fourth->GetPreviousSibling(), second);

    document->RemoveChild(document->GetLastChild());
    EXPECT_EQ(&document->LastParagraph(), fourth);
    EXPECT_EQ(fourth->GetNextSibling(), nullptr);
    EXPECT_EQ(document->GetChild(0)->GetPreviousSibling(), nullptr);
}

TEST(DocumentTree, FailuresAreExceptionsNotCrashes) {
    TSimpleDomDocument document;
    TSimpleDomDocument other;
    EXPECT_THROW(document.GetChild(1), std::out_of_range);
    EXPECT_THROW(document.GetChild(-1), std::out_of_range);
    EXPECT_THROW(NodeCast<TTextNode>(document.GetChild(0)), std::bad_cast);
    EXPECT_THROW(NodeCast<TTextNode>(nullptr), std::bad_cast);
    EXPECT_EQ(document.IndexOf(other.GetChild(0)), -1);

    // Runs hold no children.
    ISimpleDomNode& run = *document.LastParagraph().GetChild(0);
    EXPECT_EQ(run.GetChildCount(), 0);
    EXPECT_THROW(run.GetChild(0), std::out_of_range);
    EXPECT_THROW(run.GetLastChild(), std::out_of_range);
    EXPECT_EQ(run.IndexOf(&run), -1);

    // Appending after a listener removed the runs or the paragraphs.
    TParagraphNode& paragraph = document.LastParagraph();
    paragraph.RemoveChild(paragraph.GetChild(0));
    EXPECT_THROW(document.AppendText("x"), std::out_of_range);

    document.RemoveChild(&paragraph);
    EXPECT_THROW(document.AppendText("x"), std::out_of_range);
    EXPECT_THROW(document.GetLastChild(), std::out_of_range);
}

} // namespace
} // namespace corvane
