#include "CliCommandLine.h"
#include "CliConverter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using ::testing::HasSubstr;

TEST(CliProperties, EveryPropertyReadsBackWhatItShows) {
    TRkCorvaneXHTML converter;
    for (const TPropertyInfo& property : PropertyTable()) {
        TPropertyValue value = property.Get(converter);
        std::string text = FormatPropertyValue(property, value);
        if (property.Kind == pkStringList) continue; // lines, not one value; covered through the tool
        EXPECT_EQ(ParsePropertyValue(property, text), value) << property.Name << "=" << text;
        if (property.Set) {
            property.Set(converter, value);
            EXPECT_EQ(property.Get(converter), value) << property.Name;
        }
    }
}

TEST(CliProperties, ValueTextsOfEachKind) {
    const TPropertyInfo& size = FindProperty("OptionsOptimize.DefaultFontSize");
    EXPECT_EQ(ParsePropertyValue(size, "-2147483648"), TPropertyValue(INT32_MIN));
    for (const char* bad : {"", "2147483648", "+1", " 1", "1 ", "0x10"})
        EXPECT_THROW(ParsePropertyValue(size, bad), ECliUsage) << bad;
    const TPropertyInfo& options = FindProperty("FontConversionOptions");
    EXPECT_EQ(
        FormatPropertyValue(options, ParsePropertyValue(options, " opFontColor ,opFontName,opFontColor")),
        "opFontName,opFontColor");
    EXPECT_THROW(ParsePropertyValue(options, "opFontName,"), ECliUsage);
    EXPECT_THROW(ParsePropertyValue(options, "opFontName,opBold"), ECliUsage);
    EXPECT_THROW(ParsePropertyValue(FindProperty("ConvertAnchors"), "yes"), ECliUsage);
    const TPropertyInfo& scale = FindProperty("FontSizeScale");
    EXPECT_EQ(ParsePropertyValue(scale, "fsPercent"), TPropertyValue(std::int32_t{3}));
    EXPECT_THROW(ParsePropertyValue(scale, "fsem"), ECliUsage);
    EXPECT_THROW(FindProperty("optionshead.addouterhtml"), ECliUsage);
    try {
        ParsePropertyValue(scale, "fsPixel");
        ADD_FAILURE();
    } catch (const ECliUsage& error) {
        EXPECT_THAT(error.what(), HasSubstr("fsPoint, fsEM, fsEX, fsPercent"))
            << "the message offers the names";
    }
}

} // namespace
} // namespace corvane
