// A result held back for standard output comes out whole and in order, whether it stayed in memory,
// moved to a temporary file, or came back to memory when the file could not take it.
#include "CliSpool.h"

#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace corvane {
namespace {

using test::TTestFolder;

std::size_t OpenDescriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

std::string Replayed(TSpooledOutput& Spool) {
    std::string result;
    Spool.Replay([&result](std::string_view Piece) { result += Piece; });
    return result;
}

TEST(CliSpool, ResultComesOutWholeWhereverItWaited) {
    TTestFolder folder;
    const std::vector<std::string> pieces = {"<p>", "first",      "</p>", std::string(3000, 'x'),
                                             "",    "<p>last</p>"};
    std::string whole;
    for (const std::string& piece : pieces)
        whole += piece;

    struct TCase {
        const char* Name;
        std::size_t Limit;
        std::string Folder;
        bool InFile; // a descriptor stays open while the result waits
    } const cases[] = {
        {"fits in memory", 1 << 20, folder.Path(), false},
        {"moves to a file on the first piece", 0, folder.Path(), true},
        {"moves to a file midway", 10, folder.Path(), true},
        {"no folder for the file: stays in memory", 10, folder / "missing", false},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        const std::size_t before = OpenDescriptors();
        TSpooledOutput spool(test.Limit, test.Folder);
        for (const std::string& piece : pieces)
            spool.Write(piece);
        EXPECT_EQ(OpenDescriptors() - before, test.InFile ? 1U : 0U);
        EXPECT_EQ(Replayed(spool), whole);
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path())) << "the temporary file has no name";
    }
}

// A temporary file that stops taking data (a full disk; here a file size limit) gives its part back.
TEST(CliSpool, FileThatStopsTakingDataGivesItsPartBack) {
    TTestFolder folder;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    TSpooledOutput spool(10, folder.Path());
    std::string whole;
    for (int i = 0; i < 40; ++i) {
        const std::string piece = "<p>" + std::to_string(i) + "</p>";
        spool.Write(piece);
        whole += piece;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Replayed(spool), whole);
}

} // namespace
} // namespace corvane
