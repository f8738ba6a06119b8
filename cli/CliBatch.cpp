#include "CliBatch.h"

#include "CliFiles.h"
#include "CliInput.h"
#include "CliProgress.h"
#include "CliSpool.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace corvane {

namespace {

// Collects the reports of finished jobs and writes them in input order, keeping the progress bar below them.
class TReporter {
public:
    TReporter(std::size_t Count, const TCliEnvironment& Environment)
        : FReports(Count), FEnvironment(Environment) {
        if (Environment.ProgressBar && Count > 1)
            FProgress = std::make_unique<TProgressBar>(Count, Environment.TerminalWidth);
    }

    void Started(const TCliJob& Job) {
        std::lock_guard lock(FMutex);
        if (FProgress) Write(FProgress->Started(DisplayName(Job.Input)));
    }

    void Finished(std::size_t Index, std::string Report) {
        std::lock_guard lock(FMutex);
        FReports[Index] = std::move(Report);
        std::string text;
        for (; FNext < FReports.size() && FReports[FNext]; ++FNext) {
            text += *FReports[FNext];
            FReports[FNext].reset();
        }
        Write(FProgress ? FProgress->Finished(text) : text);
    }

    void Close() {
        std::lock_guard lock(FMutex);
        if (FProgress) Write(FProgress->Close());
    }

private:
    void Write(const std::string& Text) {
        if (!Text.empty()) FEnvironment.WriteError(Text);
    }

    std::mutex FMutex;
    std::vector<std::optional<std::string>> FReports;
    std::size_t FNext = 0;
    const TCliEnvironment& FEnvironment;
    std::unique_ptr<TProgressBar> FProgress;
};

// Converts and writes one job; returns false when it failed. Report receives the log and the failure.
bool RunJob(const TCliJob& Job, ICliWorker& Worker, const TCliEnvironment& Environment, std::string& Report) {
    try {
        TInputDocument input = Job.Input == "-" ? TInputDocument(Environment.ReadStandardInput())
                                                : TInputDocument::Open(Job.Input);
        const auto convert = [&](const std::function<void(std::string_view)>& Write) {
            TCliFiles pictures = Worker.Convert(Job, input, Report, Write);
            if (input.Truncated()) throw std::runtime_error("the file was cut short while it was read");
            return pictures;
        };
        // Pictures first: a result must never refer to a picture that is not there.
        const auto writePictures = [&](const TCliFiles& Files) {
            for (const auto& [name, data] : Files)
                WriteFileAtomically(JoinPath(Job.PictureFolder, name), data, Environment.FileMode);
        };
        const std::function<void()> cutOutput =
            Job.Output.empty() && Environment.MarkOutput ? Environment.MarkOutput() : nullptr;
        if (cutOutput) {
            // Standard output gets nothing from a failed conversion: a file is cut back to where it was,
            // also when a picture, written after the text here, fails.
            try {
                writePictures(convert(Environment.WriteOutput));
            } catch (...) {
                cutOutput();
                throw;
            }
        } else if (Job.Output.empty()) {
            // Standard output gets nothing from a failed conversion, so the result is complete first; a
            // large one waits in a temporary file rather than in memory beside the document tree.
            TSpooledOutput text;
            writePictures(convert([&text](std::string_view Piece) { text.Write(Piece); }));
            text.Replay(Environment.WriteOutput);
        } else {
            // The result goes into the temporary file as it is made, and the file only takes its
            // target's place once complete: a large document is never held whole in memory.
            TAtomicFileWriter output(Job.Output, Environment.FileMode);
            writePictures(convert([&output](std::string_view Piece) { output.Write(Piece); }));
            output.Commit();
        }
        return true;
    } catch (const std::exception& error) {
        Report += "corvane-xhtml: " + DisplayName(Job.Input) + ": " + error.what() + "\n";
        return false;
    }
}

} // namespace

std::string DisplayName(const std::string& Input) {
    return Input == "-" ? "standard input" : Input;
}

int RunJobs(const std::vector<TCliJob>& Jobs, unsigned Threads, const TCliWorkerFactory& MakeWorker,
            const TCliEnvironment& Environment) {
    TReporter reporter(Jobs.size(), Environment);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};

    auto work = [&] {
        std::unique_ptr<ICliWorker> worker;
        std::string setupError;
        try {
            worker = MakeWorker();
        } catch (const std::exception& error) {
            setupError = error.what();
        }
        for (std::size_t index = next++; index < Jobs.size(); index = next++) {
            const TCliJob& job = Jobs[index];
            reporter.Started(job);
            std::string report;
            bool ok = false;
            if (worker)
                ok = RunJob(job, *worker, Environment, report);
            else
                report = "corvane-xhtml: " + DisplayName(job.Input) + ": " + setupError + "\n";
            if (!ok) failed = true;
            reporter.Finished(index, std::move(report));
        }
    };

    std::size_t count = std::clamp<std::size_t>(Threads, 1, std::max<std::size_t>(Jobs.size(), 1));
    if (count == 1) {
        work();
    } else {
        std::vector<std::jthread> threads;
        threads.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            threads.emplace_back(work);
    }
    reporter.Close();
    return failed ? 1 : 0;
}

} // namespace corvane
