// Inputs the fuzzer once broke the enhanced metafile player with, replayed the way the fuzz target
// plays them: the first byte picks the image size, the rest is the metafile. Some took half a minute
// (dashes of a pen two billion units wide); each must now end in moments.
#include "EmfPlayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <vector>

namespace corvane {
namespace {

TEST(EmfFuzzRegression, EverySavedInputPlaysWithoutHarm) {
    const std::filesystem::path Folder = std::filesystem::path(CORVANE_TEST_DATA_DIR) / "emf-fuzz";
    int Count = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder)) {
        SCOPED_TRACE(Entry.path().filename().string());
        std::ifstream Stream(Entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> Input((std::istreambuf_iterator<char>(Stream)),
                                              std::istreambuf_iterator<char>());
        ASSERT_FALSE(Input.empty());
        const int Width = 1 + (Input[0] & 0x0F) * 9, Height = 1 + (Input[0] >> 4) * 7;
        // The sanitizer build checks memory, leaks and undefined behaviour.
        const auto Start = std::chrono::steady_clock::now();
        wmf::RenderEmf(std::span<const std::uint8_t>(Input).subspan(1), Width, Height);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count(), 10.0);
        ++Count;
    }
    EXPECT_GT(Count, 0);
}

} // namespace
} // namespace corvane
