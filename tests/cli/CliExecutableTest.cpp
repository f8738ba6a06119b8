// The built corvane-xhtml, run as a user runs it.
#include "../support/TestFiles.h"
#include "CliFiles.h"
#include "CliProcess.h"
#include "CorvaneXHTML.h"

#include <algorithm>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TProcessResult;
using test::TTestFolder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const std::string Corpus = CORVANE_CORPUS_DIR "/rtfpipe/";
const std::string Hello = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello\\tab world\\par}";

// What the library itself makes of Input with the outer HTML on or off.
std::string LibraryConvert(const std::string& Input, bool OuterHTML = true) {
    TRkCorvaneXHTML converter;
    converter.OptionsHead().SetAddOuterHTML(OuterHTML);
    return converter.Convert(Input);
}

// The listing after the given options, each line between line breaks.
std::string Listing(std::vector<std::string> Options) {
    Options.push_back("--list-properties");
    TProcessResult run = RunCli(Options);
    EXPECT_EQ(run.Status, 0) << run.Err;
    return "\n" + run.Out;
}

// One line a property, in table order, with the tool's own defaults; a string list shows one line an entry.
TEST(CliExecutable, ListsEveryPropertyWithItsDefault) {
    TProcessResult run = RunCli({"--list-properties"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(run.Out.starts_with("ConvertAnchors=false\nConvertEmptyParagraphs=false\n")) << run.Out;
    EXPECT_THAT(run.Out, HasSubstr("\nLogLevel=logWarning\n"))
        << "the tool's own default, --log-level warning";
    EXPECT_THAT(run.Out, HasSubstr("\nReplaceFonts[0]=Arial=Arial,Helvetica,sans-serif\n"
                                   "ReplaceFonts[1]=Courier=Courier,monospace\n"));
    EXPECT_THAT(run.Out, HasSubstr("\nOptionsHead.HeadTags=\nOptionsHead.MetaAuthor=\n"));
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 42);
}

// --set reaches each kind of property; --add appends to a string list, which a --set empties again.
TEST(CliExecutable, SetAndAddReachEveryKindOfProperty) {
    for (std::string Set :
         {"ConvertSpaces=true", "DocumentType=dtXHTML_11", "FontConversionOptions=", "TabString= ",
          "ReplaceFonts=", "OptionsHead.DocumentTitle=A = B", "OptionsOptimize.DefaultFontSize=-7"})
        EXPECT_THAT(Listing({"--set", Set}), HasSubstr("\n" + Set + "\n"));
    EXPECT_THAT(Listing({"--set", "FontConversionOptions=opFontHLColor, opFontName"}),
                HasSubstr("\nFontConversionOptions=opFontName,opFontHLColor\n"))
        << "listed in the set's own order";
    EXPECT_THAT(Listing({"--set", "OptionsHead.HeadTags=<base>"}),
                HasSubstr("\nOptionsHead.HeadTags[0]=<base>\n"));

    const std::string list = "OptionsHead.MetaTags";
    EXPECT_THAT(Listing({"--add", list + "=one", "--add", list + "=two=2"}),
                HasSubstr("\n" + list + "[0]=one\n" + list + "[1]=two=2\n"));
    const std::string emptied =
        Listing({"--add", list + "=one", "--set", list + "=", "--add", list + "=two"});
    EXPECT_THAT(emptied, HasSubstr("\n" + list + "[0]=two\n"));
    EXPECT_THAT(emptied, Not(HasSubstr(list + "[1]")));
    EXPECT_THAT(Listing({"--add", "ReplaceFonts=Verdana=Verdana,sans-serif"}),
                HasSubstr("\nReplaceFonts[4]=Verdana=Verdana,sans-serif\n"));
}

// What --links, --pictures, --plain-text and --log-level switch on is seen in the conversions below.
TEST(CliExecutable, OptionsApplyInTheOrderGiven) {
    const std::pair<std::vector<std::string>, std::string> Cases[] = {
        {{"--fragment", "--set", "OptionsHead.AddOuterHTML=true"}, "OptionsHead.AddOuterHTML=true"},
        {{"--set", "OptionsHead.AddOuterHTML=true", "--fragment"}, "OptionsHead.AddOuterHTML=false"},
        {{"--set", "DocumentType=dtHTML_401_Strict", "--doctype", "xhtml-mp10"},
         "DocumentType=dtXHTML_MP_10"},
        // Plain text writes a tab as a tab, unless TabString was set, before or after.
        {{"--set", "TabString=>", "--plain-text"}, "TabString=>"},
        {{"--plain-text", "--set", "TabString=>"}, "TabString=>"},
        // In plain text --all reads no pictures, unless they are asked for by name.
        {{"--all", "--plain-text"}, "ConvertPictures=false"},
        {{"--plain-text", "--all", "--pictures"}, "ConvertPictures=true"},
        {{"--pictures", "--plain-text", "--all"}, "ConvertPictures=true"},
    };
    for (const auto& [Options, Line] : Cases)
        EXPECT_THAT(Listing(Options), HasSubstr("\n" + Line + "\n"));
    std::string all = "\n";
    all += Listing({"--all"});
    for (const char* Line :
         {"\nConvertAnchors=true\n", "\nConvertFields=true\n", "\nConvertHyperlinks=true\n",
          "\nConvertPictures=true\n", "\nOptionsStructure.Tables=true\n", "\nOptionsStructure.Lists=true\n",
          "\nOptionsStructure.Notes=true\n", "\nOptionsStructure.HeadersFooters=true\n"})
        EXPECT_THAT(all, HasSubstr(Line)) << "--all";
    EXPECT_THAT(Listing({"--plain-text", "--set", "ConvertToPlainText=false"}),
                Not(HasSubstr("\nTabString=\t\n")))
        << "the tab rule follows the final plain-text setting";
}

TEST(CliExecutable, UsageErrorsEndWithStatusTwo) {
    TTestFolder folder;
    std::string a = folder.Write("a.rtf", Hello);
    std::string b = folder.Write("b.rtf", Hello);
    std::string sub = folder / "sub";
    std::filesystem::create_directory(sub);
    std::string b2 = folder.Write("sub/b.rtf", Hello);
    const std::vector<std::vector<std::string>> cases{
        {},
        {"--no-such-option", a},
        {"--set", "NoSuchProperty=1", a},
        {"--set", "ConvertAnchors", a},
        {"--set", "ConvertAnchors=yes", a}, // each kind's value texts: CliProperties
        {"--set", "Version=9", a},
        {"--add", "OptionsHead.MetaAuthor=x", a},
        {"--doctype", "html6", a},
        {"-j", "0", a, b},
        {a, b},                          // several inputs need a folder
        {"-o", folder / "x.html", a, b}, // which must exist
        {"-o", folder.Path(), a, "-"},   // standard input has no name to write under
        {"-o", folder.Path(), b, b2},    // two results of one name
    };
    for (const auto& arguments : cases) {
        TProcessResult run = RunCli(arguments);
        std::string shown;
        for (const std::string& argument : arguments)
            shown += argument + " ";
        EXPECT_EQ(run.Status, 2) << shown << run.Err;
        EXPECT_EQ(run.Out, "") << shown;
        EXPECT_NE(run.Err, "") << shown;
    }
    EXPECT_THAT(folder.Files(), ElementsAre("a.rtf", "b.rtf", "sub")) << "a usage error writes nothing";
}

TEST(CliExecutable, HelpAndVersion) {
    EXPECT_EQ(RunCli({"--help"}).Status, 0);
    TProcessResult run = RunCli({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "corvane-xhtml " + TRkCorvaneXHTML().Version() + "\n");
}

TEST(CliExecutable, OneInputToStandardOutputFileOrFolder) {
    TTestFolder folder;
    std::string input = folder.Write("doc.rtf", Hello);
    TProcessResult run = RunCli({input});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, LibraryConvert(Hello));
    EXPECT_EQ(run.Err, "");

    run = RunCli({"--fragment", "-"}, Hello);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, LibraryConvert(Hello, false));

    run = RunCli({"-o", folder / "out.html", "--fragment", input});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFile(folder / "out.html"), LibraryConvert(Hello, false));

    std::filesystem::create_directory(folder / "html");
    run = RunCli({"-o", folder / "html", input, "--plain-text"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(ReadFile(folder / "html/doc.txt").starts_with("Hello\tworld\r\n")) << "a tab stays a tab";
}

TEST(CliExecutable, FailedConversionsWriteNothing) {
    TTestFolder folder;
    std::string input = folder.Write("notes.txt", "just text");
    TProcessResult run = RunCli({input});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_THAT(run.Err, HasSubstr("error: No RTF header found\n"));
    EXPECT_THAT(run.Err, HasSubstr(input + ": "));

    std::string output = folder.Write("notes.html", "keep me");
    run = RunCli({"-o", output, input, "--log-level", "fatal"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_THAT(run.Err, Not(HasSubstr("No RTF header found\n"))) << "the log follows --log-level";
    EXPECT_THAT(run.Err, HasSubstr(input + ": ")) << "the failure itself is always reported";
    EXPECT_EQ(ReadFile(output), "keep me");
    EXPECT_THAT(folder.Files(), ElementsAre("notes.html", "notes.txt"));

    // A conversion that throws: its message is logged and reported, and nothing is written either.
    std::string deep =
        folder.Write("deep.rtf", "{\\rtf1 " + std::string(20000, '{') + std::string(20000, '}') + "}");
    run = RunCli({"-o", output, deep});
    EXPECT_EQ(run.Status, 1);
    EXPECT_THAT(run.Err, HasSubstr("error: Property stack overflow\n"));
    EXPECT_THAT(run.Err, HasSubstr(deep + ": Property stack overflow\n"));
    EXPECT_EQ(ReadFile(output), "keep me");
    std::filesystem::remove(deep);

    run = RunCli({"-o", folder / "new.html", folder / "missing.rtf"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_THAT(run.Err, HasSubstr(folder / "missing.rtf" + ": cannot open: No such file or directory"));
    EXPECT_THAT(folder.Files(), ElementsAre("notes.html", "notes.txt"));
}

// Real converters on one and on four threads write what one converter writes alone, with the same
// messages in input order; a failing input in between stops nothing and keeps its old result.
TEST(CliExecutable, SeveralInputsOneFailingGiveTheSameResultsOnOneAndFourThreads) {
    TTestFolder in;
    std::vector<std::string> inputs;
    for (std::string name : {"hello_world.rtf", "Hyperlink.rtf", "lists.rtf", "tables.rtf", "japanese.rtf",
                             "color.rtf", "utf8.rtf", "Issue52.rtf", "symbol.rtf"})
        inputs.push_back(in.Write(name, ReadFile(Corpus + name)));
    const std::string broken = in.Write("broken.rtf", "{\\rt");
    inputs.insert(inputs.begin() + 4, broken);
    TRkCorvaneXHTML converter;
    converter.SetConvertFields(true);
    converter.SetConvertAnchors(true);
    converter.SetConvertHyperlinks(true);
    std::string firstErr;
    for (std::string threads : {"1", "4"}) {
        TTestFolder out;
        out.Write("broken.html", "old");
        std::vector<std::string> arguments{"-j",    threads, "--links", "--log-level",
                                           "debug", "-o",    out.Path()};
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        TProcessResult run = RunCli(arguments);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_THAT(run.Err, HasSubstr("corvane-xhtml: " + broken + ": not an RTF document"));
        EXPECT_THAT(run.Err, Not(HasSubstr("\r"))) << "no progress bar when standard error is no terminal";
        EXPECT_EQ(ReadFile(out / "broken.html"), "old");
        EXPECT_EQ(out.Files().size(), 10u) << "no temporary file left behind";
        for (const std::string& input : inputs) {
            if (input == broken) continue;
            const std::string result = out / (FileStem(input) + ".html");
            EXPECT_EQ(ReadFile(result), converter.Convert(ReadFile(input))) << result;
        }
        if (firstErr.empty()) {
            firstErr = run.Err;
            EXPECT_LT(run.Err.find(inputs[3] + ": debug"), run.Err.find(broken + ": debug"));
            EXPECT_LT(run.Err.find(broken + ": debug"), run.Err.find(inputs[5] + ": debug"));
        } else {
            EXPECT_EQ(run.Err, firstErr);
        }
    }
}

// A PNG signature and a few bytes: enough for a picture the adapter names image1.png.
const std::string PictureDocument =
    "{\\rtf1 Before{\\pict\\pngblip\\picwgoal300\\pichgoal150 89504e470d0a1a0a0000000d49484452}After\\par}";

TEST(CliExecutable, PicturesAreEmbeddedOrWrittenBesideTheOutput) {
    TTestFolder folder;
    std::string input = folder.Write("pic.rtf", PictureDocument);
    TProcessResult run = RunCli({"--pictures", "--fragment", input}, "", folder.Path());
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_THAT(run.Out, HasSubstr("src=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUg==\""));
    EXPECT_THAT(folder.Files(), ElementsAre("pic.rtf"));

    // Over the limit: the picture goes into the current folder when the result goes to standard output ...
    run = RunCli({"--pictures", "--max-data-uri", "0", "--fragment", input}, "", folder.Path());
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_THAT(run.Out, HasSubstr("src=\"image1.png\""));
    EXPECT_EQ(ReadFile(folder / "image1.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));

    // ... beside the output file otherwise, and named after its document when several share a folder.
    std::filesystem::create_directory(folder / "one");
    run = RunCli({"--pictures", "--max-data-uri", "0", "-o", folder / "one/out.html", input});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_THAT(ReadFile(folder / "one/out.html"), HasSubstr("src=\"image1.png\""));
    EXPECT_EQ(ReadFile(folder / "one/image1.png").size(), 16u);

    std::filesystem::create_directory(folder / "many");
    std::string second = folder.Write("second.rtf", PictureDocument);
    run = RunCli({"--pictures", "--max-data-uri", "0", "-o", folder / "many", input, second});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_THAT(ReadFile(folder / "many/second.html"), HasSubstr("src=\"second-image1.png\""));
    EXPECT_EQ(ReadFile(folder / "many/pic-image1.png").size(), 16u);
    EXPECT_EQ(ReadFile(folder / "many/second-image1.png").size(), 16u);
}

// A job that fails after its result went out leaves standard output as it was: a file is cut back to where
// the tool began to write, and a pipe gets nothing.
TEST(CliExecutable, AFailureAfterTheResultLeavesStandardOutputAsItWas) {
    TTestFolder folder;
    const std::string input = folder.Write("pic.rtf", PictureDocument);
    const std::vector<std::string> arguments = {"--pictures", "--max-data-uri", "0", input};
    for (const auto& [shell, before] :
         {std::pair{"printf before; exec \"$0\" \"$@\"", "before"},
          std::pair{"(\"$0\" \"$@\"; echo $? >status) | cat; exit $(cat status)", ""}}) {
        SCOPED_TRACE(shell);
        // The picture, written after the text, cannot take the place of a folder of its name.
        std::filesystem::create_directory(folder / "image1.png");
        TProcessResult run = RunCli(arguments, "", folder.Path(), shell);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, before);
        EXPECT_THAT(run.Err, HasSubstr(input + ": "));

        std::filesystem::remove(folder / "image1.png");
        run = RunCli(arguments, "", folder.Path(), shell);
        EXPECT_EQ(run.Status, 0);
        EXPECT_THAT(run.Out, StartsWith(std::string(before) + "<!DOCTYPE html>"));
        std::filesystem::remove(folder / "image1.png");
    }
}

// Enhanced metafiles become PNG files like Windows metafiles, those drawn in EMF+ records too: none is
// written as a file no browser opens.
TEST(CliExecutable, EnhancedMetafilesAreWrittenAsPng) {
    for (const std::string name : {"shapes", "handmade"}) {
        SCOPED_TRACE(name);
        TTestFolder folder;
        const std::string input = std::string(CORVANE_TEST_DATA_DIR) + "/emf/" + name + ".rtf";
        TProcessResult run = RunCli({"--pictures", "--max-data-uri", "0", "-o", folder / "out.html", input});
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_THAT(folder.Files(), ElementsAre("image1.png", "image2.png", "out.html"));
        EXPECT_EQ(ReadFile(folder / "image2.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
    }
}

} // namespace
} // namespace corvane
