// The command line of corvane-xhtml: what it asks for, read with CLI11. Every setting of the converter
// becomes a property step, so that --fragment, --doctype, --set and the rest apply in the order given.
#pragma once

#include "CliBatch.h"
#include "CliProperties.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct TCliSettings {
    std::vector<std::string> Inputs;
    std::string Output; // empty: standard output
    unsigned Jobs = 0;  // 0: the number of processors
    std::int32_t MaxDataUriKB = 32;
    bool ListProperties = false;
    bool TabStringSet = false; // TabString was named on the command line
    bool AllGiven = false;     // --all was given
    bool PicturesNamed = false; // --pictures, or ConvertPictures named by --set
    std::vector<TPropertyStep> Steps;
};

struct TCommandLine {
    int ExitStatus = -1;  // 0 or 2 when the tool stops here (help, version, usage error); -1 to go on
    std::string Out, Err; // to write before stopping
    TCliSettings Settings;
};

// Reads the arguments (Arguments[0] is the program). Version is the converter's, for --version.
TCommandLine ParseCommandLine(int Count, const char* const* Arguments, std::string_view Version);

// The jobs of the inputs: one input to standard output, a file, or into a folder; several into a folder as
// <name>.html (<name>.txt for plain text). Throws ECliUsage when the inputs and -o do not fit together.
std::vector<TCliJob> PlanJobs(const TCliSettings& Settings, bool PlainText);

} // namespace corvane
