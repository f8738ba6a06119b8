// corvane-xhtml: converts RTF documents into HTML, XHTML or plain text from the command line.
#include "CliBatch.h"
#include "CliCommandLine.h"
#include "CliConverter.h"
#include "CliFiles.h"
#include "WmfPlayer.h"

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <stdio_ext.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

bool WriteTo(std::FILE* Stream, std::string_view Text) {
    bool written = std::fwrite(Text.data(), 1, Text.size(), Stream) == Text.size();
    return std::fflush(Stream) == 0 && written;
}

// A result may go straight into standard output only where a failure can take it back: a regular file
// open for writing but not for appending (which another writer may share), written at its end (so that
// cutting back loses nothing it held before).
std::function<void()> MarkStandardOutput() {
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    struct stat status {};
    if (flags == -1 || (flags & O_APPEND) != 0 || (flags & O_ACCMODE) == O_RDONLY ||
        std::fflush(stdout) != 0 || ::fstat(STDOUT_FILENO, &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    const off_t start = ::lseek(STDOUT_FILENO, 0, SEEK_CUR);
    if (start != status.st_size) return nullptr;
    return [start] {
        // What a failed write left in the stream's buffer must not follow at exit.
        ::__fpurge(stdout);
        std::clearerr(stdout);
        if (::ftruncate(STDOUT_FILENO, start) != 0 || ::lseek(STDOUT_FILENO, start, SEEK_SET) != start)
            WriteTo(stderr, "corvane-xhtml: cannot take the failed result back out of standard output\n");
    };
}

std::size_t TerminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvane;
    try {
        TRkCorvaneXHTML probe;
        TCommandLine commandLine = ParseCommandLine(argc, argv, probe.Version());
        WriteTo(stdout, commandLine.Out);
        WriteTo(stderr, commandLine.Err);
        if (commandLine.ExitStatus >= 0) return commandLine.ExitStatus;
        const TCliSettings& settings = commandLine.Settings;

        ConfigureConverter(probe, settings);
        if (settings.ListProperties) {
            WriteTo(stdout, ListProperties(probe));
            return 0;
        }
        std::vector<TCliJob> jobs = PlanJobs(settings, probe.ConvertToPlainText());

        TCliEnvironment environment;
        environment.ReadStandardInput = ReadStandardInput;
        environment.WriteOutput = [](std::string_view Text) {
            if (!WriteTo(stdout, Text)) throw std::runtime_error("cannot write standard output");
        };
        environment.MarkOutput = MarkStandardOutput;
        environment.WriteError = [](std::string_view Text) { WriteTo(stderr, Text); };
        environment.ProgressBar = ::isatty(STDERR_FILENO) == 1;
        environment.TerminalWidth = TerminalWidth();
        mode_t mask = ::umask(0);
        ::umask(mask);
        environment.FileMode = 0666 & ~mask;

        unsigned threads =
            settings.Jobs > 0 ? settings.Jobs : std::max(1u, std::thread::hardware_concurrency());
        const int status = RunJobs(
            jobs, threads, [&settings] { return std::make_unique<TConverterWorker>(settings); }, environment);
        // Every conversion has ended: the font and drawing caches the metafile players filled go, so a
        // leak check at exit sees only what the converter itself leaves.
        wmf::ReleaseGraphicsCaches();
        return status;
    } catch (const ECliUsage& error) {
        WriteTo(stderr,
                "corvane-xhtml: " + std::string(error.what()) + "\nRun with --help for more information.\n");
        return 2;
    } catch (const std::exception& error) {
        WriteTo(stderr, "corvane-xhtml: " + std::string(error.what()) + "\n");
        return 1;
    }
}
