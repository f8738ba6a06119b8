// Decodes the PNG files the metafile converter writes, for checking their format and pixels.
#pragma once

#include <png.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace corvane::test {

struct TPngImage {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t Format = 0; // the file's own, as a PNG_FORMAT_ value
    std::vector<std::uint8_t> Rgb;

    // 0xRRGGBB of the pixel at (X, Y).
    std::uint32_t Pixel(std::uint32_t X, std::uint32_t Y) const {
        const std::uint8_t* At = Rgb.data() + (static_cast<std::size_t>(Y) * Width + X) * 3;
        return (static_cast<std::uint32_t>(At[0]) << 16) | (static_cast<std::uint32_t>(At[1]) << 8) | At[2];
    }
};

inline std::optional<TPngImage> DecodePng(const std::vector<std::uint8_t>& Png) {
    png_image Reader{};
    Reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&Reader, Png.data(), Png.size())) return std::nullopt;
    TPngImage Image{Reader.width, Reader.height, Reader.format, {}};
    Reader.format = PNG_FORMAT_RGB;
    Image.Rgb.resize(PNG_IMAGE_SIZE(Reader));
    if (!png_image_finish_read(&Reader, nullptr, Image.Rgb.data(), 0, nullptr)) return std::nullopt;
    return Image;
}

} // namespace corvane::test
