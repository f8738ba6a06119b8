#include "CliCommandLine.h"

#include "CliFiles.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cstdint>
#include <map>
#include <sstream>

namespace corvane {

namespace {

struct TNamePair {
    std::string_view Short;
    std::string_view Value;
};

constexpr std::array DocTypes{
    TNamePair{"html32", "dtHTML3Flex"},
    TNamePair{"html401-transitional", "dtHTML_401_Transitional"},
    TNamePair{"html401-strict", "dtHTML_401_Strict"},
    TNamePair{"html5", "dtHTML_50"},
    TNamePair{"xhtml10-transitional", "dtXHTML_10_Transitional"},
    TNamePair{"xhtml10-strict", "dtXHTML_10_Strict"},
    TNamePair{"xhtml-basic10", "dtXHTML_Basic_10"},
    TNamePair{"xhtml-mp10", "dtXHTML_MP_10"},
    TNamePair{"xhtml11", "dtXHTML_11"},
};

constexpr std::array LogLevels{
    TNamePair{"debug", "logDebug"}, TNamePair{"info", "logInfo"},   TNamePair{"warning", "logWarning"},
    TNamePair{"error", "logError"}, TNamePair{"fatal", "logFatal"},
};

// A short name, or the enumeration's own value name, to the value name.
template <std::size_t N>
std::string_view LookUp(const std::array<TNamePair, N>& Names, std::string_view Text,
                        std::string_view Option) {
    std::string known;
    for (const TNamePair& name : Names) {
        if (Text == name.Short || Text == name.Value) return name.Value;
        known.append(known.empty() ? "" : " | ").append(name.Short);
    }
    throw ECliUsage(std::string(Option) + ": unknown value \"" + std::string(Text) + "\" (" + known + ")");
}

constexpr std::string_view Footer = R"(Options apply in the order given; --set and --add reach every published
property (--list-properties shows them with their values).

Exit status: 0 converted, 1 a conversion failed, 2 a usage error.

Examples:
  corvane-xhtml --doctype xhtml11 --links -o letter.html letter.rtf
  corvane-xhtml --set OptionsHead.DocumentTitle=Report --add OptionsHead.MetaTags=robots=noindex - < in.rtf
  corvane-xhtml --fragment --plain-text notes.rtf > notes.txt
  corvane-xhtml -j 4 --pictures -o html/ *.rtf)";

} // namespace

TCommandLine ParseCommandLine(int Count, const char* const* Arguments, std::string_view Version) {
    TCommandLine result;
    TCliSettings& settings = result.Settings;
    // The tool reports warnings and worse unless told otherwise.
    settings.Steps.push_back(MakeSetStep("LogLevel", "logWarning"));
    auto set = [&settings](std::string_view Name, std::string_view Value) {
        settings.Steps.push_back(MakeSetStep(Name, Value));
        if (Name == "TabString") settings.TabStringSet = true;
    };

    CLI::App app("Converts RTF documents into HTML, XHTML or plain text.", "corvane-xhtml");
    app.footer(std::string(Footer));
    app.set_version_flag("--version", "corvane-xhtml " + std::string(Version), "Print the version and exit");
    app.add_option("INPUT", settings.Inputs, "An RTF file; \"-\" reads standard input")->type_name("");
    app.add_option(
           "-o,--output", settings.Output,
           "One input: the output file (default: standard output); several inputs: an existing folder, "
           "each result written as <name>.html (.txt with --plain-text)")
        ->type_name("PATH");
    app.add_option("-j,--jobs", settings.Jobs,
                   "Conversions running at once for several inputs (default: number of processors)")
        ->type_name("N")
        ->check(CLI::Range(1u, 1024u).description(""));
    app.add_option_function<std::string>(
           "--doctype",
           [&](const std::string& Name) { set("DocumentType", LookUp(DocTypes, Name, "--doctype")); },
           "html32 | html401-transitional | html401-strict | html5 | xhtml10-transitional | xhtml10-strict | "
           "xhtml-basic10 | xhtml-mp10 | xhtml11 (or dtHTML_50 and the other TDocumentType names)")
        ->type_name("NAME")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--fragment", [&] { set("OptionsHead.AddOuterHTML", "false"); },
           "Body only (OptionsHead.AddOuterHTML=false)")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--plain-text", [&] { set("ConvertToPlainText", "true"); },
           "Plain text (ConvertToPlainText=true); tabs stay tabs unless TabString is set")
        ->trigger_on_parse();
    // --all is all of these together; every new OptionsStructure switch joins them.
    const auto links = [&] {
        set("ConvertFields", "true");
        set("ConvertAnchors", "true");
        set("ConvertHyperlinks", "true");
    };
    const auto pictures = [&] {
        set("ConvertPictures", "true");
        settings.PicturesNamed = true;
    };
    const auto tables = [&] { set("OptionsStructure.Tables", "true"); };
    const auto lists = [&] { set("OptionsStructure.Lists", "true"); };
    const auto notes = [&] { set("OptionsStructure.Notes", "true"); };
    const auto headersFooters = [&] { set("OptionsStructure.HeadersFooters", "true"); };
    const auto encapsulatedHtml = [&] { set("ExtractEncapsulatedHtml", "true"); };
    app.add_flag_callback("--links", links,
                          "Links and anchors (ConvertFields, ConvertAnchors, ConvertHyperlinks=true)")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--pictures", pictures,
           "Pictures (ConvertPictures=true): small ones embedded as data: URIs, the others written beside "
           "the output (into the current folder for standard output)")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--encapsulated-html", encapsulatedHtml,
           "A mail body that carries its original HTML (\\fromhtml) gives that HTML back "
           "(ExtractEncapsulatedHtml=true)")
        ->trigger_on_parse();
    app.add_flag_callback("--tables", tables, "Tables as table elements (OptionsStructure.Tables=true)")
        ->trigger_on_parse();
    app.add_flag_callback("--lists", lists,
                          "Lists nested by level with their numbering formats and first numbers; list "
                          "markers in plain text (OptionsStructure.Lists=true)")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--notes", notes,
           "Footnotes and endnotes: numbered references in the text linking to the notes after "
           "it, which link back; [1] in plain text (OptionsStructure.Notes=true)")
        ->trigger_on_parse();
    app.add_flag_callback("--headers-footers", headersFooters,
                          "The first section's header before the body and its footer after it "
                          "(OptionsStructure.HeadersFooters=true)")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--all",
           [&] {
               links();
               set("ConvertPictures", "true");
               settings.AllGiven = true;
               encapsulatedHtml();
               tables();
               lists();
               notes();
               headersFooters();
           },
           "Everything the converter can read: --links, --pictures (not with --plain-text), "
           "--encapsulated-html and every OptionsStructure switch (--tables, --lists, --notes, "
           "--headers-footers)")
        ->trigger_on_parse();
    app.add_option("--max-data-uri", settings.MaxDataUriKB,
                   "Largest picture embedded by --pictures, in kilobytes (default 32)")
        ->type_name("KB")
        ->check(CLI::Range(0, INT32_MAX).description(""));
    app.add_option_function<std::string>(
           "--log-level",
           [&](const std::string& Name) { set("LogLevel", LookUp(LogLevels, Name, "--log-level")); },
           "debug | info | warning | error | fatal: log lines at or above it go to standard error as "
           "\"<level>: <text>\" (default: warning)")
        ->type_name("LEVEL")
        ->trigger_on_parse();
    app.add_option_function<std::string>(
           "--set",
           [&](const std::string& Argument) {
               settings.Steps.push_back(ParseSetStep(Argument));
               std::string_view name = settings.Steps.back().Property->Name;
               if (name == "TabString") settings.TabStringSet = true;
               if (name == "ConvertPictures") settings.PicturesNamed = true;
           },
           "Set a published property: true|false, integers, strings, value names (dtXHTML_11, fsEM, "
           "logDebug), "
           "FontConversionOptions as comma-separated names; \"--set LIST=\" empties a string list")
        ->type_name("NAME=VALUE")
        ->trigger_on_parse();
    app.add_option_function<std::string>(
           "--add", [&](const std::string& Argument) { settings.Steps.push_back(ParseAddStep(Argument)); },
           "Append a line to a string-list property "
           "(ReplaceFonts, OptionsHead.HeadTags, OptionsHead.MetaTags, OptionsHead.StyleSheetInclude)")
        ->type_name("NAME=LINE")
        ->trigger_on_parse();
    app.add_flag("--list-properties", settings.ListProperties,
                 "Print every property as NAME=VALUE (string lists as NAME[i]=LINE) and exit");

    std::ostringstream out, err;
    try {
        app.parse(Count, Arguments);
    } catch (const CLI::ParseError& error) {
        if (app.exit(error, out, err) == 0) {
            result.ExitStatus = 0;
            result.Out = out.str();
            return result;
        }
        result.ExitStatus = 2;
        result.Err =
            "corvane-xhtml: " + std::string(error.what()) + "\nRun with --help for more information.\n";
        return result;
    } catch (const ECliUsage& error) {
        result.ExitStatus = 2;
        result.Err =
            "corvane-xhtml: " + std::string(error.what()) + "\nRun with --help for more information.\n";
        return result;
    }
    if (settings.Inputs.empty() && !settings.ListProperties) {
        result.ExitStatus = 2;
        result.Err = "corvane-xhtml: no input given\nRun with --help for more information.\n";
    }
    return result;
}

std::vector<TCliJob> PlanJobs(const TCliSettings& Settings, bool PlainText) {
    const std::vector<std::string>& inputs = Settings.Inputs;
    std::string extension = PlainText ? ".txt" : ".html";
    std::vector<TCliJob> jobs;
    bool toStandardOutput = Settings.Output.empty() || Settings.Output == "-";
    if (inputs.size() == 1) {
        TCliJob job{inputs[0], toStandardOutput ? std::string() : Settings.Output, ".", "", ""};
        if (!toStandardOutput && IsFolder(Settings.Output)) {
            if (inputs[0] == "-") throw ECliUsage("standard input needs an output file name, not a folder");
            job.Output = JoinPath(Settings.Output, FileStem(inputs[0]) + extension);
        }
        if (!job.Output.empty()) job.PictureFolder = FolderOf(job.Output);
        jobs.push_back(std::move(job));
        return jobs;
    }

    if (toStandardOutput) throw ECliUsage("several inputs need an output folder (-o DIR)");
    if (!IsFolder(Settings.Output)) throw ECliUsage("\"" + Settings.Output + "\" is not an existing folder");
    // Two inputs of the same name would overwrite each other's result, whichever finished last winning.
    std::map<std::string, std::string> outputs;
    for (const std::string& input : inputs) {
        if (input == "-") throw ECliUsage("standard input (\"-\") can only be the only input");
        std::string stem = FileStem(input);
        TCliJob job{input, JoinPath(Settings.Output, stem + extension), Settings.Output, stem + "-",
                    input + ": "};
        auto [existing, inserted] = outputs.emplace(job.Output, input);
        if (!inserted)
            throw ECliUsage("\"" + existing->second + "\" and \"" + input + "\" would both be written to \"" +
                            job.Output + "\"");
        jobs.push_back(std::move(job));
    }
    return jobs;
}

} // namespace corvane
