// Feeds arbitrary enhanced metafiles to the player. The first byte picks the image size; the rest is
// played exactly as given (the header has no checksum, so the fuzzer reaches the records unaided).
#include "EmfPlayer.h"
#include "WmfPlayer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

// The process-wide caches of cairo and fontconfig are freed at exit, so the leak check sees only ours.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(corvane::wmf::ReleaseGraphicsCaches);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 1) return 0;
    const std::uint8_t Choice = Data[0];
    const int Width = 1 + (Choice & 0x0F) * 9;
    const int Height = 1 + (Choice >> 4) * 7;
    (void)corvane::wmf::RenderEmf(std::span<const std::uint8_t>(Data + 1, Size - 1), Width, Height);
    return 0;
}
