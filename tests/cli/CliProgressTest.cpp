#include "CliBatch.h"
#include "../support/TestFiles.h"
#include "CliFiles.h"
#include "CliProgress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>

namespace corvane {
namespace {

using test::ReadFile;
using test::TTestFolder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Upper-cases its input, fails on input starting with "bad", logs one line per job and makes a "picture"
// file for input containing "pic". Slow on input starting with "slow", so completion order varies.
class TFakeWorker : public ICliWorker {
public:
    explicit TFakeWorker(std::set<std::thread::id>& Threads, std::mutex& Mutex) {
        std::lock_guard lock(Mutex);
        // A second worker on the same thread would mean converters are not one per thread.
        EXPECT_TRUE(Threads.insert(std::this_thread::get_id()).second);
    }
    TCliConversion Convert(const TCliJob& Job, std::string_view Input, std::string& Log) override {
        if (FThread == std::thread::id()) FThread = std::this_thread::get_id();
        EXPECT_EQ(FThread, std::this_thread::get_id());
        if (Input.starts_with("slow")) std::this_thread::sleep_for(std::chrono::milliseconds(30));
        Log += Job.LogPrefix + "info: converting\n";
        if (Input.starts_with("bad")) throw std::runtime_error("broken input");
        TCliConversion result;
        for (char c : Input)
            result.Text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (Input.find("pic") != std::string_view::npos)
            result.Files.emplace_back(Job.PicturePrefix + "image1.png", "PNG");
        return result;
    }

private:
    std::thread::id FThread;
};

struct TRun {
    int Status = 0;
    std::string Out, Err;
    std::set<std::thread::id> Threads;
};

TRun RunFake(const std::vector<TCliJob>& Jobs, unsigned Threads, std::string StandardInput = "") {
    TRun run;
    std::mutex mutex;
    TCliEnvironment environment;
    environment.ReadStandardInput = [&] { return StandardInput; };
    environment.WriteOutput = [&](std::string_view Text) { run.Out += Text; };
    environment.WriteError = [&](std::string_view Text) { run.Err += Text; };
    run.Status = RunJobs(
        Jobs, Threads, [&] { return std::make_unique<TFakeWorker>(run.Threads, mutex); }, environment);
    return run;
}

std::vector<TCliJob> BatchJobs(const TTestFolder& In, const TTestFolder& Out,
                               const std::vector<std::string>& Inputs) {
    std::vector<TCliJob> jobs;
    for (std::size_t i = 0; i < Inputs.size(); ++i) {
        std::string name = std::string(1, 'f').append(std::to_string(i));
        jobs.push_back({In.Write(std::string(name).append(".rtf"), Inputs[i]),
                        Out / std::string(name).append(".html"), Out.Path(), std::string(name).append("-"),
                        std::string(name).append(": ")});
    }
    return jobs;
}

TEST(CliBatch, OneFailureDoesNotStopTheOthersAndResultsDoNotDependOnThreads) {
    TTestFolder in;
    std::vector<std::string> inputs{"slow one", "bad two", "three", "slow pic four", "five", "slow six"};
    std::string firstErr;
    std::vector<std::string> firstFiles;
    for (unsigned threads : {1u, 4u}) {
        TTestFolder out;
        // An existing result of the failing input stays as it was.
        out.Write("f1.html", "old");
        TRun run = RunFake(BatchJobs(in, out, inputs), threads);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_LE(run.Threads.size(), threads);
        EXPECT_EQ(ReadFile(out / "f0.html"), "SLOW ONE");
        EXPECT_EQ(ReadFile(out / "f1.html"), "old");
        EXPECT_EQ(ReadFile(out / "f3.html"), "SLOW PIC FOUR");
        EXPECT_EQ(ReadFile(out / "f3-image1.png"), "PNG");
        EXPECT_THAT(run.Err, HasSubstr("corvane-xhtml: " + in / "f1.rtf" + ": broken input\n"));
        if (threads == 1) {
            firstErr = run.Err;
            firstFiles = out.Files();
            // Messages come in input order, each after the log of its own input.
            EXPECT_EQ(run.Err.find("f0: info"), 0u);
            EXPECT_LT(run.Err.find("f1: info"), run.Err.find("broken input"));
            EXPECT_LT(run.Err.find("broken input"), run.Err.find("f2: info"));
        } else {
            EXPECT_EQ(run.Err, firstErr);
            EXPECT_EQ(out.Files(), firstFiles); // no temporary file left behind either
        }
    }
    EXPECT_THAT(firstFiles, ElementsAre("f0.html", "f1.html", "f2.html", "f3-image1.png", "f3.html",
                                        "f4.html", "f5.html"));
}

TEST(CliBatch, StatusZeroOnlyWhenEveryResultIsWritten) {
    TTestFolder in, out;
    TRun run = RunFake(BatchJobs(in, out, {"a", "b", "c"}), 8);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(ReadFile(out / "f2.html"), "C");
    EXPECT_EQ(run.Threads.size(), 3u) << "no more threads than inputs";

    std::string input = in.Write("in.rtf", "text");
    run = RunFake({{input, out / "no/such/folder/out.html", out.Path(), "", ""}}, 1);
    EXPECT_EQ(run.Status, 1);
    EXPECT_THAT(run.Err, HasSubstr("cannot write " + out / "no/such/folder/out.html"));
}

TEST(CliFiles, PathPieces) {
    EXPECT_EQ(FileStem("dir/sub.d/name.rtf"), "name");
    EXPECT_EQ(FileStem("archive.tar.rtf"), "archive.tar");
    EXPECT_EQ(FileStem("dir.d/noext"), "noext");
    EXPECT_EQ(FileStem(".hidden"), ".hidden");
    EXPECT_EQ(FolderOf("c.html"), ".");
    EXPECT_EQ(FolderOf("/c.html"), "/");
    EXPECT_EQ(JoinPath("out/", "x.png"), "out/x.png");
}

TEST(CliProgress, LineFitsItsWidthAndKeepsTheEndOfTheName) {
    EXPECT_EQ(FormatProgressLine(5, 10, 2.5, "a.rtf", 80), "[##########..........] 5/10  2.5 files/s  a.rtf");
    std::string line = FormatProgressLine(1, 3, 0, "folder/very-long-name-of-a-document.rtf", 60);
    EXPECT_EQ(line.size(), 60u);
    EXPECT_TRUE(line.ends_with("files/s  ...f-a-document.rtf")) << line;
    EXPECT_EQ(FormatProgressLine(3, 3, 1, "x", 10).size(), 10u);
    EXPECT_EQ(FormatProgressLine(0, 0, 0, "", 80).substr(0, 22), "[####################]");
}

TEST(CliProgress, MessagesGoAboveTheBar) {
    TProgressBar bar(2, 80);
    std::string first = bar.Started("a.rtf");
    EXPECT_EQ(first, "\r\x1b[K[....................] 0/2  0.0 files/s  a.rtf");
    std::string text = bar.Finished("warning: x\n");
    EXPECT_TRUE(text.starts_with("\r\x1b[Kwarning: x\n\r\x1b[K[##########")) << text;
    EXPECT_THAT(bar.Finished(""), HasSubstr("2/2")) << "the last file is always drawn";
    std::string last = bar.Close();
    EXPECT_TRUE(last.ends_with("files/s\n")) << last << " (no file name once all are done)";
    TProgressBar silent(2, 80);
    EXPECT_EQ(silent.Close(), "") << "a bar never drawn is not closed either";
}

} // namespace
} // namespace corvane
