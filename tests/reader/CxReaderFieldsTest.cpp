#include "ReaderHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ReaderFields, TheResultIsARunOfItsOwnCarryingTheInstruction) {
    TReaderHarness Harness;
    Harness.Owner.ConvertFields = true;
    Harness.Parse("{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"target.html\"}{\\fldrslt link}}c}");
    EXPECT_EQ(Harness.Text(), "alinkc");
    EXPECT_THAT(Harness.Calls(),
                ElementsAre("Text(a)", "SetCharacterProperties", "SetParagraphProperties", // end of \fldinst
                            "StartTextRun", "Text(link)", "SetFieldInstruction(HYPERLINK \"target.html\")",
                            "SetCharacterProperties", "SetParagraphProperties", // end of \fldrslt
                            "StartTextRun", "SetFieldInstruction()", "SetCharacterProperties",
                            "SetParagraphProperties", // end of \field
                            "Text(c)"));
}

// Blanks inside the instruction are kept, nested groups add to the same text, and properties and \u do
// nothing there; instructions concatenate within a field, and each field's end clears the run after it.
TEST(ReaderFields, InstructionText) {
    TReaderHarness Harness;
    Harness.Owner.ConvertFields = true;
    Harness.Parse(
        "{\\rtf1{\\field{\\*\\fldinst { HYPERLINK \"a\\\\\\\\b\" }{\\b\\u8364 \\'e9\\'80}}{\\fldrslt r}}"
        "{\\field{\\*\\fldinst A}{\\*\\fldinst B}{\\fldrslt x}}{\\field{\\*\\fldinst D}}}");
    EXPECT_THAT(Harness.Calls("SetFieldInstruction"),
                ElementsAre(Utf8(u8"SetFieldInstruction( HYPERLINK \"a\\\\b\" é€)"), "SetFieldInstruction()",
                            "SetFieldInstruction(AB)", "SetFieldInstruction()",
                            "SetFieldInstruction()")); // a field without a result passes nothing
    EXPECT_THAT(Harness.Calls("SetFontStyle"), IsEmpty());
    EXPECT_EQ(Harness.Text(), "rx");
}

// The result keeps its formatting and specials, and each nested group attaches the instruction again.
TEST(ReaderFields, ResultKeepsTextFormattingAndSpecials) {
    TReaderHarness Harness;
    Harness.Owner.ConvertFields = true;
    Harness.Parse("{\\rtf1{\\field{\\*\\fldinst X}{\\fldrslt\\b a\\line\\u8364 ?\\'41{\\ul b}}}}");
    EXPECT_EQ(Harness.Text(), Utf8(u8"a<br>€Ab"));
    EXPECT_THAT(Harness.Calls("SetFontStyle"), ElementsAre("SetFontStyle(1)", "SetFontStyle(5)"));
    EXPECT_EQ(Harness.Writer->Count("SetFieldInstruction(X)"), 2);

    TReaderHarness Off;
    Off.Parse("{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"t\"}{\\fldrslt link}}c}");
    EXPECT_EQ(Off.Text(), "alinkc") << "without ConvertFields only the result text remains";
    EXPECT_THAT(Off.Calls("SetFieldInstruction"), IsEmpty());
    EXPECT_EQ(Off.Writer->Count("StartTextRun"), 0);
}

TEST(ReaderBookmarks, TheNameGoesToTheLastRun) {
    TReaderHarness Harness;
    Harness.Parse(
        "{\\rtf1 a{\\*\\bkmkstart top}b{\\*\\bkmkend top}c{\\*\\bkmkstart}{\\*\\bkmkstart na\\'80me}}");
    EXPECT_EQ(Harness.Text(), "abc");
    EXPECT_THAT(Harness.CallsBesidesRestores(""),
                ElementsAre("Text(a)", "SetAnchor(top)", "Text(b)", "Text(c)", "SetAnchor()",
                            Utf8(u8"SetAnchor(na€me)")));

    // A bookmark group that the end of the input cuts off passes no name.
    TReaderHarness Cut;
    Cut.Parse("{\\rtf1 a{\\*\\bkmkstart top");
    EXPECT_THAT(Cut.Calls("SetAnchor"), IsEmpty());
}

TEST(ReaderDestinations, KnownDestinationsReenterAnUnknownSkippedGroup) {
    TReaderHarness Harness;
    Harness.Owner.ConvertFields = true;
    Harness.Parse("{\\rtf1{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\*\\unknown skipped{\\fldrslt kept}}x}");
    EXPECT_EQ(Harness.Text(), "keptx");
}

TEST(ReaderDestinations, NothingComesBackFromHeadersFootnotesAndListText) {
    TReaderHarness Harness;
    Harness.Owner.ConvertFields = true;
    Harness.Parse("{\\rtf1 a{\\header{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}}"
                  "{\\footnote{\\*\\bkmkstart note}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}"
                  "{\\*\\shppict{\\pict\\pngblip 00}}}{\\pntext{\\fldrslt 2}}b{\\fldrslt c}}");
    EXPECT_EQ(Harness.Text(), "abc");
    EXPECT_THAT(Harness.Calls("SetAnchor"), IsEmpty());
    EXPECT_THAT(Harness.Calls("SetFieldInstruction"), ElementsAre("SetFieldInstruction()"));
}

} // namespace
} // namespace corvane::test
