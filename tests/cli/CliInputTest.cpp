// Input reads the same whether it was mapped or read in, and a mapped file cut short while it is read
// turns into a failed job instead of a dead process.
#include "CliInput.h"

#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace corvane {
namespace {

using test::TTestFolder;

std::string Sample(std::size_t Size) {
    std::string text;
    while (text.size() < Size)
        text += "{\\rtf1 line " + std::to_string(text.size()) + "\\par}\n";
    text.resize(Size);
    return text;
}

TEST(CliInput, ReadsTheFileWhetherMappedOrReadIn) {
    TTestFolder folder;
    struct TCase {
        std::size_t Size;
        bool Mapped;
    } const cases[] = {{0, false},
                       {100, false},
                       {TInputDocument::MapFrom - 1, false},
                       {TInputDocument::MapFrom, true},
                       {3 * TInputDocument::MapFrom + 17, true}};
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Size);
        const std::string content = Sample(test.Size);
        TInputDocument input = TInputDocument::Open(folder.Write("in.rtf", content));
        EXPECT_EQ(input.IsMapped(), test.Mapped);
        EXPECT_EQ(input.View(), content);
        // Given back as read: a mapped file still reads the same, read-in data at least keeps its length.
        input.Release(content.size() / 2);
        input.Release(content.size() + 1);
        if (test.Mapped) {
            EXPECT_EQ(input.View(), content);
        }
        EXPECT_EQ(input.View().size(), content.size());
        EXPECT_FALSE(input.Truncated());
    }
    EXPECT_THROW(TInputDocument::Open(folder / "missing.rtf"), std::runtime_error);
}

TEST(CliInput, FileCutShortWhileMappedReadsAsZerosAndSaysSo) {
    TTestFolder folder;
    const std::string path = folder.Write("in.rtf", Sample(4 * TInputDocument::MapFrom));
    TInputDocument input = TInputDocument::Open(path);
    TInputDocument other = TInputDocument::Open(folder.Write("other.rtf", Sample(TInputDocument::MapFrom)));
    ASSERT_TRUE(input.IsMapped());
    ASSERT_EQ(::truncate(path.c_str(), 1000), 0);

    const std::string_view view = input.View();
    EXPECT_EQ(view.substr(0, 6), "{\\rtf1");
    EXPECT_EQ(view.substr(view.size() - 4), std::string(4, '\0'));
    EXPECT_TRUE(input.Truncated());
    EXPECT_FALSE(other.Truncated()) << "only the mapping that was cut short";
}

} // namespace
} // namespace corvane
