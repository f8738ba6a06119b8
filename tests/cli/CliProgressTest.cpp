// File names and the progress bar's drawing; batches of real conversions are CliExecutable's.
#include "CliProgress.h"
#include "CliFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using ::testing::HasSubstr;

TEST(CliFiles, PathPieces) {
    EXPECT_EQ(FileStem("archive.tar.RTF"), "archive.tar");
    EXPECT_EQ(FileStem("dir.d/noext"), "noext");
    EXPECT_EQ(FileStem(".hidden"), ".hidden");
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
    EXPECT_EQ(bar.Started("a.rtf"), "\r\x1b[K[....................] 0/2  0.0 files/s  a.rtf");
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
