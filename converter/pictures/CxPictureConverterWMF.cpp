#include "CxPictureConverterWMF.h"

#include "WmfPlayer.h"

#include <vector>

namespace corvane {

namespace {

constexpr std::uint8_t AnisotropicMappingMode = 8;
constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::uint16_t UnitsPerInch = 96;

void PutWord(std::array<std::uint8_t, TPictureConverterWMF::PlaceableHeaderSize>& Header, std::size_t Offset,
             std::uint16_t Value) {
    Header[Offset] = static_cast<std::uint8_t>(Value & 0xFF);
    Header[Offset + 1] = static_cast<std::uint8_t>(Value >> 8);
}

} // namespace

std::array<std::uint8_t, TPictureConverterWMF::PlaceableHeaderSize>
TPictureConverterWMF::MakePlaceableHeader(std::uint32_t WidthPixels, std::uint32_t HeightPixels) {
    std::array<std::uint8_t, PlaceableHeaderSize> Header{};
    PutWord(Header, 0, static_cast<std::uint16_t>(PlaceableKey & 0xFFFF));
    PutWord(Header, 2, static_cast<std::uint16_t>(PlaceableKey >> 16));
    // Handle, left and top stay 0.
    PutWord(Header, 10, static_cast<std::uint16_t>(WidthPixels + 1));
    PutWord(Header, 12, static_cast<std::uint16_t>(HeightPixels + 1));
    PutWord(Header, 14, UnitsPerInch);
    // Reserved stays 0.
    std::uint16_t Checksum = 0;
    for (std::size_t Offset = 0; Offset < 20; Offset += 2)
        Checksum ^= static_cast<std::uint16_t>(Header[Offset] | (Header[Offset + 1] << 8));
    PutWord(Header, 20, Checksum);
    return Header;
}

void TPictureConverterWMF::Convert(TEmbeddedPicture& Picture) {
    if (Picture.PictureType() != ptWMF || Picture.MappingMode() != AnisotropicMappingMode) return;
    const std::uint32_t Width = Picture.GetWidthPixels();
    const std::uint32_t Height = Picture.GetHeightPixels();
    // A size the player refuses leaves the picture untouched (the player checks the same limits).
    if (Width == 0 || Height == 0 || Width > static_cast<std::uint32_t>(wmf::MaxImageSide) ||
        Height > static_cast<std::uint32_t>(wmf::MaxImageSide))
        return;

    const auto Header = MakePlaceableHeader(Width, Height);
    const std::vector<std::uint8_t>& Bytes = Picture.GetData().Bytes();
    std::vector<std::uint8_t> Metafile;
    Metafile.reserve(Header.size() + Bytes.size());
    Metafile.insert(Metafile.end(), Header.begin(), Header.end());
    Metafile.insert(Metafile.end(), Bytes.begin(), Bytes.end());

    const auto Png = wmf::RenderWmfToPng(Metafile, static_cast<int>(Width), static_cast<int>(Height));
    if (!Png) return;
    TByteStream Stream;
    Stream.Write(Png->data(), Png->size());
    Picture.SetPictureType(ptPNG);
    Picture.LoadFromStream(Stream);
}

} // namespace corvane
