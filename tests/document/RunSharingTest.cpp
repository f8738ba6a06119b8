// Runs of the same formatting share one copy of it, get it only once they matter, and live in the
// document's arena; none of that may show in what the tree answers.
#include "CxWriter.h"

#include "CxUnicode.h"
#include "DocumentFakes.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace corvane {
namespace {

// Every run of the document: its paragraph, text, rawness and formatting.
using TRuns = std::vector<std::tuple<int, std::string, bool, TCharacterProperties>>;
TRuns Runs(const TSimpleDomDocument& Document) {
    TRuns Result;
    for (int p = 0; p < Document.GetChildCount(); ++p)
        for (int r = 0; r < Document.GetChild(p)->GetChildCount(); ++r) {
            auto& Run = NodeCast<TTextNode>(Document.GetChild(p)->GetChild(r));
            Result.emplace_back(p, Run.GetText(), Run.GetRaw(), Run.CharacterProperties());
        }
    return Result;
}

class RunSharingTest : public ::testing::Test {
protected:
    TTextNode& Run(int Index, int ParagraphIndex = -1) {
        TSimpleDomDocument& document = *Writer.Document();
        auto& paragraph = NodeCast<TParagraphNode>(
            document.GetChild(ParagraphIndex < 0 ? document.GetChildCount() - 1 : ParagraphIndex));
        return NodeCast<TTextNode>(paragraph.GetChild(Index));
    }

    fakes::TFakeWriterOptions Options;
    TCxWriter Writer{Options, std::make_unique<TUnicodeConverter>()};
};

// Control characters are dropped, tabs and line feeds end runs, hidden text is dropped.
TEST_F(RunSharingTest, ASpanWritesAsItsBytesOneByOne) {
    const std::string Text("ab\tc\0d\x0c"
                           "e\xE9\nf\tg",
                           14);
    TCxWriter ByteWriter(Options, std::make_unique<TUnicodeConverter>());
    for (char Byte : Text)
        ByteWriter.WriteChar(static_cast<std::uint8_t>(Byte));
    Writer.WriteChars(Text);
    EXPECT_EQ(Runs(*Writer.Document()), Runs(*ByteWriter.Document()));

    Writer.SetHidden(true);
    Writer.WriteChars("hidden\tand\n");
    EXPECT_EQ(Runs(*Writer.Document()), Runs(*ByteWriter.Document()));
}

TEST_F(RunSharingTest, ChangingOneRunLeavesTheRunsSharingItsFormattingAlone) {
    Writer.SetFontName("Arial");
    Writer.WriteChars("a");
    Writer.SetFontStyle(fsBold);
    Writer.WriteChars("b");
    Writer.SetFontStyle(0);
    Writer.WriteChars("c");
    ASSERT_EQ(Run(0).CharacterProperties(), Run(2).CharacterProperties());

    Run(0).GetCharacterProperties().FontName = "Courier";
    EXPECT_EQ(Run(2).CharacterProperties().FontName, "Arial");
    EXPECT_EQ(Writer.CharacterProperties().FontName, "Arial");
}

TEST(NodeArena, NodesRemovedOrOutsideADocumentAreFreedOnce) {
    // The sanitizer build checks that every node is destroyed once, before its block is given back.
    auto Document = std::make_unique<TSimpleDomDocument>();
    for (int i = 0; i < 3000; ++i) {
        Document->AppendText(std::string(40, 'x'));
        Document->LastParagraph().AppendRun();
        if (i % 10 == 0) Document->AddParagraph();
        // A run made late for an early paragraph sits in a later block than the paragraphs after it.
        if (i % 500 == 0) NodeCast<TParagraphNode>(Document->GetChild(1)).AppendRun()->AppendText("late");
    }
    TParagraphNode& First = Document->LastParagraph();
    First.RemoveChild(First.GetChild(0));
    Document->RemoveChild(Document->GetChild(0));
    EXPECT_EQ(Document->GetChildCount(), 300);
    Document.reset();

    TParagraphNode Standalone(nullptr);
    Standalone.AppendRun()->AppendText("on the heap");
    Standalone.RemoveChild(Standalone.GetChild(0));
    EXPECT_EQ(Standalone.GetChildCount(), 1);
}

} // namespace
} // namespace corvane
