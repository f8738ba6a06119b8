// Feeds arbitrary metafiles to the player. The first byte picks the image size and whether the input
// gets a valid placeable header in front (so the fuzzer reaches the records without solving the
// checksum) or is played exactly as given.
#include "CxPictureConverterWMF.h"
#include "WmfPlayer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The process-wide caches of cairo and fontconfig are freed at exit, so the leak check sees only ours.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(corvane::wmf::ReleaseGraphicsCaches);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 1) return 0;
    const std::uint8_t Choice = Data[0];
    const int Width = 1 + (Choice & 0x3F) * 3;
    const int Height = 1 + ((Choice >> 3) & 0x0F) * 7;
    std::vector<std::uint8_t> Metafile;
    if ((Choice & 0x80) == 0) {
        const auto Header = corvane::TPictureConverterWMF::MakePlaceableHeader(
            static_cast<std::uint32_t>(Width), static_cast<std::uint32_t>(Height));
        Metafile.assign(Header.begin(), Header.end());
    }
    Metafile.insert(Metafile.end(), Data + 1, Data + Size);
    (void)corvane::wmf::RenderWmf(Metafile, Width, Height);
    return 0;
}
