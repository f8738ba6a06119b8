#include "CliCommandLine.h"
#include "../support/TestFiles.h"
#include "CliConverter.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using ::testing::HasSubstr;

TCommandLine Parse(std::vector<const char*> Arguments) {
    Arguments.insert(Arguments.begin(), "corvane-xhtml");
    return ParseCommandLine(static_cast<int>(Arguments.size()), Arguments.data(), "8.1");
}

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

TEST(CliCommandLine, StepsKeepTheirOrderAndConfigureTheConverter) {
    TCommandLine line = Parse({"--plain-text", "--set", "ConvertToPlainText=false", "--add",
                               "OptionsHead.MetaTags=a=b", "--links", "-j", "3", "in.rtf"});
    ASSERT_EQ(line.ExitStatus, -1) << line.Err;
    EXPECT_EQ(line.Settings.Jobs, 3u);
    EXPECT_EQ(line.Settings.Inputs, std::vector<std::string>{"in.rtf"});
    TRkCorvaneXHTML converter;
    ConfigureConverter(converter, line.Settings);
    EXPECT_FALSE(converter.ConvertToPlainText());
    EXPECT_NE(converter.TabString(), "\t") << "the tab rule follows the final plain-text setting";
    EXPECT_EQ(converter.OptionsHead().MetaTags(), TStringList{"a=b"});
    EXPECT_TRUE(converter.ConvertHyperlinks());
    EXPECT_EQ(converter.LogLevel(), logWarning);
}

TEST(CliCommandLine, PlanningNamesResultsAndPictureFolders) {
    test::TTestFolder folder;
    std::filesystem::create_directory(folder / "out");
    TCliSettings settings;
    settings.Inputs = {"docs/a.rtf"};
    std::vector<TCliJob> jobs = PlanJobs(settings, false);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].Output, "");
    EXPECT_EQ(jobs[0].PictureFolder, ".") << "standard output: pictures into the current folder";

    settings.Output = folder / "x/result.htm";
    jobs = PlanJobs(settings, false);
    EXPECT_EQ(jobs[0].Output, folder / "x/result.htm");
    EXPECT_EQ(jobs[0].PictureFolder, folder / "x");
    EXPECT_EQ(jobs[0].PicturePrefix, "");

    settings.Output = folder / "out";
    EXPECT_EQ(PlanJobs(settings, true)[0].Output, folder / "out/a.txt");

    settings.Inputs = {"docs/a.rtf", "b.RTF", "c"};
    jobs = PlanJobs(settings, false);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[1].Output, folder / "out/b.html");
    EXPECT_EQ(jobs[2].Output, folder / "out/c.html");
    EXPECT_EQ(jobs[0].PicturePrefix, "a-");
    EXPECT_EQ(jobs[0].LogPrefix, "docs/a.rtf: ");
    EXPECT_EQ(jobs[0].PictureFolder, folder / "out");
}

} // namespace
} // namespace corvane
