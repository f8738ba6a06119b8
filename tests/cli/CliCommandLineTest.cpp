#include "CliCommandLine.h"
#include "../support/TestFiles.h"
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
    const TPropertyInfo& scale = FindProperty("FontSizeScale");
    EXPECT_EQ(ParsePropertyValue(scale, "fsPercent"), TPropertyValue(std::int32_t{3}));
    EXPECT_THROW(FindProperty("optionshead.addouterhtml"), ECliUsage);
    try {
        ParsePropertyValue(scale, "fsPixel");
        ADD_FAILURE();
    } catch (const ECliUsage& error) {
        EXPECT_THAT(error.what(), HasSubstr("fsPoint, fsEM, fsEX, fsPercent"))
            << "the message offers the names";
    }
}

// The tool's own tests hold the folders pictures go to and the names of results and pictures.
TEST(CliCommandLine, ResultNamesDropAnyExtension) {
    test::TTestFolder folder;
    TCliSettings settings;
    settings.Output = folder.Path();
    settings.Inputs = {"docs/a.rtf", "b.RTF", "c"};
    const std::vector<TCliJob> jobs = PlanJobs(settings, false);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[1].Output, folder / "b.html");
    EXPECT_EQ(jobs[2].Output, folder / "c.html");
    EXPECT_EQ(jobs[0].LogPrefix, "docs/a.rtf: ");
}

} // namespace
} // namespace corvane
