// Inputs the fuzzer once broke the player with, replayed the way the fuzz target plays them: the first
// byte picks the image size and whether a valid placeable header goes in front of the rest.
#include "CxPictureConverterWMF.h"
#include "WmfPlayer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace corvane {
namespace {

std::optional<std::vector<std::uint8_t>> PlayLikeTheFuzzer(const std::vector<std::uint8_t>& Input) {
    const std::uint8_t Choice = Input.at(0);
    const int Width = 1 + (Choice & 0x3F) * 3;
    const int Height = 1 + ((Choice >> 3) & 0x0F) * 7;
    std::vector<std::uint8_t> Metafile;
    if ((Choice & 0x80) == 0) {
        const auto Header = TPictureConverterWMF::MakePlaceableHeader(static_cast<std::uint32_t>(Width),
                                                                      static_cast<std::uint32_t>(Height));
        Metafile.assign(Header.begin(), Header.end());
    }
    Metafile.insert(Metafile.end(), Input.begin() + 1, Input.end());
    return wmf::RenderWmf(Metafile, Width, Height);
}

TEST(WmfFuzzRegression, EverySavedInputPlaysWithoutHarm) {
    const std::filesystem::path Folder = std::filesystem::path(CORVANE_TEST_DATA_DIR) / "wmf-fuzz";
    int Count = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder)) {
        SCOPED_TRACE(Entry.path().filename().string());
        std::ifstream Stream(Entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> Input((std::istreambuf_iterator<char>(Stream)),
                                              std::istreambuf_iterator<char>());
        ASSERT_FALSE(Input.empty());
        PlayLikeTheFuzzer(Input); // the sanitizer build checks memory, leaks and undefined behaviour
        ++Count;
    }
    EXPECT_GT(Count, 0);
}

} // namespace
} // namespace corvane
