#include "CxFormatter.h"
#include "CxMarginBuilder.h"

#include <gtest/gtest.h>

#include <memory>

namespace corvane {
namespace {

TEST(MarginBuilder, RepeatsTheUnitPerLevelAndNonPositiveWidthsEmptyIt) {
    TMarginBuilder margins;
    EXPECT_EQ(margins.GetMargin(3), "      ");
    EXPECT_EQ(margins.GetMargin(0), "");
    EXPECT_EQ(margins.GetMargin(-1), "");
    margins.SetMarginWidth(4);
    EXPECT_EQ(margins.GetMargin(2), std::string(8, ' '));
    margins.SetMarginWidth(-3);
    EXPECT_EQ(margins.GetMarginWidth(), 0);
    EXPECT_EQ(margins.GetMargin(2), "");
}

TEST(Formatter, IndentAndOutdentMoveTheLevelBeforeFormatting) {
    auto margins = std::make_shared<TMarginBuilder>();
    TCxFormatter formatter(margins);
    EXPECT_EQ(formatter.GetLevel(), 0);
    EXPECT_EQ(formatter.GetLineBreak(), "\r\n");
    EXPECT_EQ(formatter.FormatLine("a"), "a\r\n");
    EXPECT_EQ(formatter.IndentLine("x"), "  x\r\n");
    EXPECT_EQ(formatter.GetLevel(), 1);
    EXPECT_EQ(formatter.IndentLine("y"), "    y\r\n");
    EXPECT_EQ(formatter.OutdentLine("z"), "  z\r\n");
    EXPECT_EQ(formatter.GetLevel(), 1);
}

TEST(Formatter, LevelMayGoNegativeAndThenIndentsNothing) {
    TCxFormatter formatter(std::make_shared<TMarginBuilder>());
    EXPECT_EQ(formatter.OutdentLine("x"), "x\r\n");
    EXPECT_EQ(formatter.OutdentLine("y"), "y\r\n");
    EXPECT_EQ(formatter.GetLevel(), -2);
    EXPECT_EQ(formatter.GetCurrentMargin(), "");
}

TEST(Formatter, UsesItsLineBreakAndTheSharedMarginBuilder) {
    auto margins = std::make_shared<TMarginBuilder>();
    TCxFormatter formatter(margins);
    formatter.SetLineBreak("");
    formatter.SetLevel(2);
    EXPECT_EQ(formatter.FormatLine("<title>"), "    <title>");
    EXPECT_EQ(formatter.GetMarginAt(3), "      ");
    // The unit is the builder's, read at the moment of use.
    margins->SetMarginWidth(1);
    EXPECT_EQ(formatter.GetCurrentMargin(), "  ");
    EXPECT_EQ(formatter.FormatLine("t"), "  t");
}

} // namespace
} // namespace corvane
