// Runs the conversions of one invocation: reads each input, converts it on one of N threads (one worker,
// and so one converter, per thread), writes the results, and reports to standard error in input order, so
// that neither the files nor the messages depend on the number of threads.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace corvane {

class TInputDocument;

struct TCliJob {
    std::string Input;         // a file name, or "-" for standard input
    std::string Output;        // the result file; empty for standard output
    std::string PictureFolder; // where pictures that are not embedded are written
    std::string
        PicturePrefix;     // put in front of picture names, so that results sharing a folder do not collide
    std::string LogPrefix; // put in front of log lines, so that lines of several inputs can be told apart
};

// Files to write into a job's picture folder (name, bytes).
using TCliFiles = std::vector<std::pair<std::string, std::string>>;

// Converts on one thread. Convert gives the input back as it reads it and hands the text to Write in
// pieces, so that neither needs to be held whole for longer than necessary, and returns the picture files. It
// appends its log lines (each ended by a line break) to Log and throws an exception whose what() is the
// reason when the input cannot be converted.
class ICliWorker {
public:
    virtual ~ICliWorker() = default;
    virtual TCliFiles Convert(const TCliJob& Job, TInputDocument& Input, std::string& Log,
                              const std::function<void(std::string_view)>& Write) = 0;
};

using TCliWorkerFactory = std::function<std::unique_ptr<ICliWorker>()>;

// The process around the runner; tests put their own in.
struct TCliEnvironment {
    std::function<std::string()> ReadStandardInput;
    std::function<void(std::string_view)> WriteOutput; // standard output
    // Set where standard output can be cut back (a regular file written at its end): returns what cuts it
    // back to where it is now, or an empty function when it cannot. A result then goes there as it is made
    // instead of waiting until it is complete.
    std::function<std::function<void()>()> MarkOutput;
    std::function<void(std::string_view)> WriteError;  // standard error
    bool ProgressBar = false;                          // standard error is a terminal
    std::size_t TerminalWidth = 80;
    mode_t FileMode = 0644; // for new files
};

// The name of an input in messages.
std::string DisplayName(const std::string& Input);

// Runs every job on up to Threads threads; returns 0 when all were converted and written, 1 otherwise.
// A failed job writes nothing; its reason goes to standard error as "corvane-xhtml: <input>: <reason>".
int RunJobs(const std::vector<TCliJob>& Jobs, unsigned Threads, const TCliWorkerFactory& MakeWorker,
            const TCliEnvironment& Environment);

} // namespace corvane
