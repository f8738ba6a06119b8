#include "PngEncoder.h"

#include <png.h>

#include <cstring>

namespace corvane::wmf {

std::optional<std::vector<std::uint8_t>> EncodePng(std::span<const std::uint8_t> Rgb, int Width, int Height) {
    if (Width <= 0 || Height <= 0 || Rgb.size() != static_cast<std::size_t>(Width) * Height * 3)
        return std::nullopt;
    // The simplified interface keeps libpng's long jumps inside libpng, away from C++ frames.
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    Image.width = static_cast<png_uint_32>(Width);
    Image.height = static_cast<png_uint_32>(Height);
    Image.format = PNG_FORMAT_RGB;
    const png_int_32 Stride = Width * 3;
    // Room for the image stored without compression, so one pass always fits.
    png_alloc_size_t Size = PNG_IMAGE_PNG_SIZE_MAX(Image);
    std::vector<std::uint8_t> Png(Size);
    if (!png_image_write_to_memory(&Image, Png.data(), &Size, 0, Rgb.data(), Stride, nullptr)) {
        png_image_free(&Image);
        return std::nullopt;
    }
    Png.resize(Size);
    return Png;
}

} // namespace corvane::wmf
