#include "ReaderHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Each entry becomes its name with the generic family; only a name that is one CSS identifier stays
// unquoted, as a browser drops a declaration with any other.
TEST(ReaderFontTable, EntriesBecomeCleanNamesWithAGenericFamily) {
    TReaderHarness Harness(
        "{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset0{\\*\\panose 02020603050405020304}{\\*\\falt Times}"
        "Times New Roman;}{\\f1\\fswiss\\fcharset238 Arial;}{\\f2\\fscript Brush;}"
        "{\\f3\\fmodern Courier New;}{\\f4\\fdecor D;}{\\f5\\ftech T;}{\\f6\\fbidi B;}{\\f7\\fnil N;}"
        "{\\f11 \\tab  Padded \\'a0 ;trailing}{\\f12 Bad\\}Na\\{me;}{\\f13 Caf\\'e9;}{\\f14 3of9;}"
        "{\\f15 *020b0604Arial;}{\\f16 -Dash_2;}{\\f17 -9;}}"
        "\\f1 a\\f0 b\\f2\\f3\\f4\\f5\\f6\\f7\\f11\\f12\\f13\\f14\\f15\\f16\\f17}");
    // The first is the default font, selected after the table.
    EXPECT_EQ(Harness.Calls("SetFontName"),
              "SetFontName('Times New Roman',serif) SetFontName(Arial,sans-serif) "
              "SetFontName('Times New Roman',serif) SetFontName(Brush,serif) SetFontName('Courier New') "
              "SetFontName(D) SetFontName(T) SetFontName(B) SetFontName(N) SetFontName('Padded \xC2\xA0') "
              "SetFontName(BadName) SetFontName(Caf\xC3\xA9) SetFontName('3of9') "
              "SetFontName('*020b0604Arial') SetFontName(-Dash_2) SetFontName('-9')");
    EXPECT_THAT(Harness.Warnings, IsEmpty());
}

TEST(ReaderFontTable, EntriesWithoutGroupsAndDuplicates) {
    TReaderHarness Single("{\\rtf1{\\fonttbl\\f0\\fnil Courier;}\\f0}");
    EXPECT_EQ(Single.Calls("SetFontName"), "SetFontName(Courier) SetFontName(Courier)");

    // Only the first name survives, under the last number and with the last family.
    TReaderHarness Several("{\\rtf1\\deff1{\\fonttbl\\f0\\fnil Courier;\\f1\\fswiss Arial;}\\f1\\f0}");
    EXPECT_EQ(Several.Calls("SetFontName"),
              "SetFontName(Courier,sans-serif) SetFontName(Courier,sans-serif) SetFontName(Times,serif)");
    EXPECT_THAT(Several.Warnings, ElementsAre("Font 0 not found"));

    // The first definition of a number wins.
    TReaderHarness Twice("{\\rtf1{\\fonttbl{\\f0 First;}{\\f0 Second;}}\\f0}");
    EXPECT_EQ(Twice.Calls("SetFontName"), "SetFontName(First) SetFontName(First)");
}

TEST(ReaderFontTable, EmptyTablesAndEmptyNames) {
    for (const char* Rtf :
         {"{\\rtf1{\\fonttbl}\\f0 x}", "{\\rtf1{\\fonttbl{\\f0 ;}{\\f1\\froman   }}\\f0 x}"}) {
        TReaderHarness Harness;
        Harness.Owner.OptionsOptimize().SetDefaultFontName("Verdana");
        Harness.Parse(Rtf);
        EXPECT_THAT(Harness.Warnings, ElementsAre("Font table is empty")) << Rtf;
        // After the table, then for \f0: entry 0 exists, so no font is missing.
        EXPECT_EQ(Harness.CallsBesidesRestores(), "SetDefaultFontName(Verdana) SetFontName(Verdana) SetFontCharset(0) "
                                                  "SetFontName(Verdana) SetFontCharset(0) Text(x)")
            << Rtf;
    }
}

// The table's end selects the default font with its charset. A missing font falls back to the default
// name and the document's charset; without a table every \f is missing.
TEST(ReaderFontTable, MissingFontsFallBack) {
    TReaderHarness Harness("{\\rtf1\\mac{\\fonttbl{\\f0\\fcharset128 Mincho;}}\\f9 x\\f0}");
    EXPECT_THAT(Harness.Warnings, ElementsAre("Font 9 not found"));
    EXPECT_EQ(Harness.Calls("SetFont"), "SetFontName(Mincho) SetFontCharset(128) SetFontName(Times,serif) "
                                        "SetFontCharset(77) SetFontName(Mincho) SetFontCharset(128)");

    TReaderHarness NoTable("{\\rtf1\\f2 x}");
    EXPECT_THAT(NoTable.Warnings, ElementsAre("Font 2 not found"));
}

// A name is decoded in its entry's charset; an entry without one keeps the charset of the entry before.
TEST(ReaderFontTable, NamesAreDecodedInTheirCharset) {
    TReaderHarness Harness(
        "{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'a0;}{\\f1 \\'82\\'a2;}{\\f2\\fcharset0 \\'e9;}}"
        "\\f1\\f2}");
    EXPECT_EQ(Harness.Calls("SetFontName"), Utf8(u8"SetFontName(あ) SetFontName(い) SetFontName(é)"));
}

TEST(ReaderColorTable, EntriesAndLookups) {
    TReaderHarness Harness;
    Harness.Owner.OptionsOptimize().SetDefaultFontColor("#123456");
    Harness.Parse(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red300\\green5\\blue171 junk;\\blue1;}"
        "\\cf1\\cf2\\cf3\\cf0\\cf5\\cf-1\\cb0\\cb3\\chcbpat2\\cb9\\highlight1\\highlight0\\highlight4"
        "\\cbpat0\\cbpat1\\cbpat7}");
    EXPECT_EQ(Harness.CallsBesidesRestores("Set"),
              "SetFontColor(#ff0000) SetFontColor(#12c05ab) SetFontColor(#000001) SetFontColor(#000000) "
              "SetFontColor(#123456) SetFontColor(#123456) SetBackgroundColor() SetBackgroundColor(#000001) "
              "SetBackgroundColor(#12c05ab) SetBackgroundColor() SetHighlightColor(#ff0000) "
              "SetHighlightColor() SetHighlightColor() SetParagraphColor(#000000) "
              "SetParagraphColor(#ff0000) SetParagraphColor()");
    EXPECT_THAT(Harness.Warnings, ElementsAre("Color 5 not found", "Color -1 not found", "Color 9 not found",
                                              "Color 4 not found", "Color 7 not found"));
}

TEST(ReaderColorTable, WithoutATableOrWithoutTheCharacterColours) {
    TReaderHarness Harness;
    Harness.Owner.OptionsOptimize().SetDefaultFontColor("#123456");
    Harness.Parse("{\\rtf1\\cf3\\cb2\\highlight1\\cbpat0}");
    EXPECT_EQ(Harness.Calls("Set"),
              "SetFontColor(#123456) SetBackgroundColor() SetHighlightColor() SetParagraphColor()");
    // Only the paragraph shading reports the missing entry.
    EXPECT_THAT(Harness.Warnings, ElementsAre("Color 0 not found"));

    TReaderHarness Gated;
    Gated.Owner.SetFontConversionOptions({opFontBGColor});
    Gated.Parse("{\\rtf1{\\colortbl;\\red1;}\\cf9\\cb1\\highlight9\\cbpat1}");
    EXPECT_EQ(Gated.CallsBesidesRestores("Set"), "SetBackgroundColor(#010000) SetParagraphColor(#010000)");
    EXPECT_THAT(Gated.Warnings, IsEmpty());
}

// A list table, an override pointing at it and a list paragraph: every part reaches the writer, the
// list text group and the level texts contribute nothing, and only a bullet list sets the list style.
TEST(ReaderLists, TablesAndOverridesReachTheWriter) {
    const char* Rtf =
        "{\\rtf1{\\*\\listtable{\\list\\listtemplateid77\\listhybrid"
        "{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}\\f3}"
        "{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}{\\listname ;}\\listid5}}"
        "{\\*\\listoverridetable{\\listoverride\\listid5\\listoverridecount0\\ls1}}"
        "\\pard{\\listtext\\f3\\'b7\\tab}\\ls1 text\\par}";
    const std::string Calls = "AddListTable SetListTemplateId(77) AddListLevel SetLevelNumberFormat(23) "
                              "AddListLevel SetLevelNumberFormat(0) SetListId(5) AddListOverride "
                              "SetListOverrideListId(5) SetListOverrideNumber(1) ResetParagraphProperties "
                              "SetListItem(1) IsBulletList(1)";
    TReaderHarness Bullet;
    Bullet.Writer->BulletLists = {1};
    Bullet.Parse(Rtf);
    EXPECT_EQ(Bullet.CallsBesidesRestores(), Calls + " SetListStyle(11) Text(text\n)");

    TReaderHarness Numbered(Rtf);
    EXPECT_EQ(Numbered.CallsBesidesRestores(), Calls + " Text(text\n)");
}

TEST(ReaderLists, KeywordsActOnlyInTheirOwnDestination) {
    TReaderHarness Harness(
        "{\\rtf1{\\*\\listtable{\\list\\levelnfc23\\ls3{\\listlevel\\listid9\\ls4\\levelnfc2}}}"
        "{\\listoverridetable{\\listoverride\\listtemplateid8\\levelnfc1\\ls2}}\\listid1\\levelnfc23\\ls0}");
    EXPECT_EQ(Harness.CallsBesidesRestores("Set"),
              "SetLevelNumberFormat(2) SetListOverrideNumber(2) SetListItem(1)");
    EXPECT_EQ(Harness.Calls("IsBulletList"), "IsBulletList(0)");
}

TEST(ReaderLists, OldStyleParagraphNumbering) {
    TReaderHarness Harness;
    Harness.Owner.SetConvertIndent(true);
    Harness.Parse(
        "{\\rtf1\\pard a{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'b7}}\\li360 b\\par\\pard\\li360 c}");
    EXPECT_EQ(Harness.Text(), "ab\nc");
    // The end of {\pntxtb ...} and of {\*\pn ...} each restore a list item; \li360 is ignored until \pard.
    EXPECT_EQ(Harness.Calls("Set"), "SetNumbering(1) SetListStyle(11) SetCharacterProperties "
                                    "SetParagraphProperties SetListItem(1) SetCharacterProperties "
                                    "SetParagraphProperties SetListItem(1) SetLeftIndent(360)");

    TReaderHarness Levels("{\\rtf1{\\pn\\pnlvl3\\pnlvlbody\\pnlvlcont}\\pnlvl4}");
    EXPECT_EQ(Levels.Calls("Set"), "SetNumbering(1) SetListStyle(3) SetListStyle(10) SetNumbering(0) "
                                   "SetCharacterProperties SetParagraphProperties");
}

} // namespace
} // namespace corvane::test
