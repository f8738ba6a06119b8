#include "ReaderHarness.h"

#include <gtest/gtest.h>

namespace corvane::test {
namespace {

// The numbering words reach the writer while lists are converted, and only then.
TEST(ReaderLists, NumberingWordsOnlyWithListsOn) {
    const std::string_view Rtf =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc4\\levelstartat3}\\listid1}}"
        "\\pard\\ls1\\ilvl2 a\\par\\pard{\\*\\pn\\pnlvl2\\pnucrm\\pnstart7}b\\par"
        "\\pard{\\*\\pn\\pnlvlbody\\pnucltr}c\\par {\\ilvl1\\pnstart9\\levelstartat4}}";
    for (const bool On : {false, true}) {
        TReaderHarness Harness;
        Harness.Owner.OptionsStructure().SetLists(On);
        Harness.Parse(Rtf);
        EXPECT_EQ(Harness.Calls("SetLevel") + " | " + Harness.Calls("SetListLevel") + " | " +
                      Harness.Calls("SetListOverride(") + " | " + Harness.Calls("SetListFormat") + " | " +
                      Harness.Calls("SetListStart"),
                  On ? "SetLevelNumberFormat(4) SetLevelStartAt(3) | SetListLevel(2) SetListLevel(1) | "
                       "SetListOverride(1) | SetListFormat(1) SetListFormat(3) | SetListStart(7)"
                     : "SetLevelNumberFormat(4) |  |  |  | ")
            << On;
        EXPECT_EQ(Harness.Text(), "a\nb\nc\n");
    }
}

} // namespace
} // namespace corvane::test
