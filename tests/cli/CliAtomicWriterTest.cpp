// A result written in pieces appears whole at Commit or not at all, and a failure waits for Commit.
#include "CliFiles.h"

#include "../support/TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace corvane {
namespace {

using test::ReadFile;
using test::TTestFolder;
using ::testing::ElementsAre;

TEST(CliAtomicWriter, ResultAppearsWholeAtCommitOrNotAtAll) {
    TTestFolder folder;
    const std::string path = folder / "out.html";
    {
        TAtomicFileWriter file(path, 0640);
        file.Write("first ");
        file.Write("second");
        file.Commit();
    }
    EXPECT_EQ(ReadFile(path), "first second");
    {
        TAtomicFileWriter abandoned(path, 0644);
        abandoned.Write("never committed");
    }
    EXPECT_EQ(ReadFile(path), "first second");
    EXPECT_THAT(folder.Files(), ElementsAre("out.html")) << "no temporary file left behind";

    TAtomicFileWriter empty(folder / "empty.html", 0644);
    empty.Commit();
    EXPECT_EQ(ReadFile(folder / "empty.html"), "");
}

// A new file gets the mode asked for and a replaced one keeps its own; a failure waits for Commit.
TEST(CliAtomicWriter, PermissionsAndFailures) {
    TTestFolder folder;
    const std::string path = folder / "out.html";
    WriteFileAtomically(path, "first", 0640);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ::chmod(path.c_str(), 0600);
    WriteFileAtomically(path, "second", 0644);
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    TAtomicFileWriter intoFolder(folder.Path(), 0644);
    EXPECT_NO_THROW(intoFolder.Write("text"));
    EXPECT_THROW(intoFolder.Commit(), std::runtime_error);
    EXPECT_THAT(folder.Files(), ElementsAre("out.html"));
}

} // namespace
} // namespace corvane
