#include "ReaderHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace corvane::test {
namespace {

std::string ReadFile(const std::filesystem::path& Path) {
    std::ifstream Stream(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
}

// Every real document of the corpus is read to its end without an exception, with every option on.
TEST(ReaderCorpus, EveryDocumentParses) {
    std::vector<std::filesystem::path> Files;
    for (const auto& Entry : std::filesystem::recursive_directory_iterator(CORVANE_CORPUS_DIR))
        if (Entry.is_regular_file() && Entry.path().extension() == ".rtf") Files.push_back(Entry.path());
    std::sort(Files.begin(), Files.end());
    ASSERT_FALSE(Files.empty());

    std::size_t WithText = 0;
    for (const auto& File : Files) {
        const std::string Rtf = ReadFile(File);
        TReaderHarness Harness;
        Harness.Owner.ConvertFields = true;
        Harness.Owner.ConvertIndent = true;
        EXPECT_NO_THROW(Harness.Parse(Rtf)) << File;
        if (!Harness.Text().empty()) ++WithText;
    }
    // Nearly every file has text; a reader that lost its way would deliver none.
    EXPECT_GE(WithText, Files.size() * 9 / 10);
}

} // namespace
} // namespace corvane::test
