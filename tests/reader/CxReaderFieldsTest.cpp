// Fields, bookmarks and destinations nested where they are unusual; the ordinary link field is converted
// end to end in CxMainConvert and GoldenConversion.
#include "ReaderHarness.h"

#include <gtest/gtest.h>

namespace corvane::test {
namespace {

// Blanks inside the instruction are kept, nested groups add to the same text, and properties and \u do
// nothing there; instructions concatenate within a field, and each field's end clears the run after it.
TEST(ReaderFields, InstructionText) {
    TReaderHarness Harness;
    Harness.Owner.SetConvertFields(true);
    Harness.Parse(
        "{\\rtf1{\\field{\\*\\fldinst { HYPERLINK \"a\\\\\\\\b\" }{\\b\\u8364 \\'e9\\'80}}{\\fldrslt r}}"
        "{\\field{\\*\\fldinst A}{\\*\\fldinst B}{\\fldrslt x}}{\\field{\\*\\fldinst D}}}");
    // A field without a result passes nothing.
    EXPECT_EQ(Harness.CallsBesidesRestores(),
              Utf8(u8"StartTextRun Text(r) SetFieldInstruction( HYPERLINK \"a\\\\b\" é€) StartTextRun "
                   u8"SetFieldInstruction() StartTextRun Text(x) SetFieldInstruction(AB) StartTextRun "
                   u8"SetFieldInstruction() StartTextRun SetFieldInstruction()"));
}

// The result keeps its formatting and specials, and each nested group attaches the instruction again;
// without ConvertFields only the result text remains.
TEST(ReaderFields, ResultKeepsTextFormattingAndSpecials) {
    const char* Rtf = "{\\rtf1{\\field{\\*\\fldinst X}{\\fldrslt\\b a\\line\\u8364 ?\\'41{\\ul b}}}}";
    TReaderHarness Harness;
    Harness.Owner.SetConvertFields(true);
    Harness.Parse(Rtf);
    EXPECT_EQ(Harness.CallsBesidesRestores(),
              Utf8(u8"StartTextRun SetFontStyle(1) Text(a) AppendMarkup(<br>) StartTextRun AppendText(€) "
                   u8"Text(A) SetFontStyle(5) Text(b) SetFieldInstruction(X) SetFieldInstruction(X) "
                   u8"StartTextRun SetFieldInstruction()"));

    TReaderHarness Off(Rtf);
    EXPECT_EQ(Off.CallsBesidesRestores(),
              Utf8(u8"SetFontStyle(1) Text(a) AppendMarkup(<br>) StartTextRun AppendText(€) Text(A) "
                   u8"SetFontStyle(5) Text(b)"));
}

TEST(ReaderBookmarks, TheNameGoesToTheLastRun) {
    TReaderHarness Harness(
        "{\\rtf1 a{\\*\\bkmkstart top}b{\\*\\bkmkend top}c{\\*\\bkmkstart}{\\*\\bkmkstart na\\'80me}}");
    EXPECT_EQ(Harness.CallsBesidesRestores(), Utf8(u8"Text(a) SetAnchor(top) Text(b) Text(c) SetAnchor() "
                                                   u8"SetAnchor(na€me)"));

    // A bookmark group that the end of the input cuts off passes no name.
    TReaderHarness Cut("{\\rtf1 a{\\*\\bkmkstart top");
    EXPECT_EQ(Cut.Calls("SetAnchor"), "");
}

// Nothing comes back from headers, footnotes and list text; known destinations reenter an unknown
// skipped group. Each result outside a field ends with an empty instruction.
TEST(ReaderDestinations, WhatComesBackFromNestedDestinations) {
    TReaderHarness Harness;
    Harness.Owner.SetConvertFields(true);
    Harness.Parse("{\\rtf1 a{\\header{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}}"
                  "{\\footnote{\\*\\bkmkstart note}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}"
                  "{\\*\\shppict{\\pict\\pngblip 00}}}{\\pntext{\\fldrslt 2}}b{\\fldrslt c}"
                  "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\*\\unknown skipped{\\fldrslt kept}}}");
    EXPECT_EQ(Harness.Text(), "abckept");
    EXPECT_EQ(Harness.Calls("SetAnchor"), "");
    EXPECT_EQ(Harness.Calls("SetFieldInstruction"), "SetFieldInstruction() SetFieldInstruction()");
}

} // namespace
} // namespace corvane::test
