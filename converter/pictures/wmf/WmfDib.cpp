#include "WmfDib.h"

#include <algorithm>
#include <array>
#include <bit>

namespace corvane::wmf {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

struct TDibHeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0; // absolute
    bool TopDown = false;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t SizeImage = 0;
    std::uint32_t ColorsUsed = 0;
    bool Core = false;
    std::array<std::uint32_t, 3> Masks{};
    std::size_t TableOffset = 0; // where the colour table starts
};

TDibHeader ReadHeader(const TWmfBytes& Dib) {
    TDibHeader Header;
    const std::uint32_t Size = Dib.U32(0);
    if (Size == CoreHeaderSize) {
        Header.Core = true;
        Header.Width = Dib.U16(4);
        Header.Height = Dib.U16(6);
        Header.BitCount = Dib.U16(10);
        Header.TableOffset = CoreHeaderSize;
        return Header;
    }
    if (Size < InfoHeaderSize) FailWmf("Bitmap header unknown");
    if (!Dib.Has(0, Size)) FailWmf("Bitmap header too short");
    Header.Width = Dib.S32(4);
    const std::int32_t Height = Dib.S32(8);
    Header.TopDown = Height < 0;
    Header.Height = Height < 0 ? -static_cast<std::int64_t>(Height) : Height;
    Header.BitCount = Dib.U16(14);
    Header.Compression = Dib.U32(16);
    Header.SizeImage = Dib.U32(20);
    Header.ColorsUsed = Dib.U32(32);
    Header.TableOffset = Size;
    if (Header.Compression == BI_BITFIELDS) {
        // The version 4 and 5 headers hold the masks; the plain header is followed by them.
        const std::size_t MaskOffset = InfoHeaderSize;
        for (std::size_t Index = 0; Index < 3; ++Index)
            Header.Masks[Index] = Dib.U32(MaskOffset + 4 * Index);
        if (Size == InfoHeaderSize) Header.TableOffset += 12;
    }
    return Header;
}

bool IsSupported(const TDibHeader& Header) {
    const std::uint16_t Bits = Header.BitCount;
    if (Header.Core) return Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24;
    switch (Header.Compression) {
    case BI_RGB:
        return Bits == 1 || Bits == 4 || Bits == 8 || Bits == 16 || Bits == 24 || Bits == 32;
    case BI_BITFIELDS:
        return Bits == 16 || Bits == 32;
    case BI_RLE8:
        return Bits == 8 && !Header.TopDown;
    case BI_RLE4:
        return Bits == 4 && !Header.TopDown;
    default:
        return false;
    }
}

// The colours that indexed pixels stand for, as opaque pixels; indices past the table are black.
std::array<std::uint32_t, 256> ReadColorTable(const TWmfBytes& Dib, const TDibHeader& Header,
                                              std::size_t Count, std::uint16_t ColorUsage,
                                              std::span<const std::uint32_t> Palette) {
    std::array<std::uint32_t, 256> Table;
    Table.fill(OpaquePixel(0));
    const std::size_t Used = std::min<std::size_t>(Count, Table.size());
    for (std::size_t Index = 0; Index < Used; ++Index) {
        if (ColorUsage == 1 && !Header.Core) {
            const std::uint16_t PaletteIndex = Dib.U16(Header.TableOffset + 2 * Index);
            Table[Index] = OpaquePixel(PaletteIndex < Palette.size() ? Palette[PaletteIndex] : 0);
        } else {
            const std::size_t Entry = Header.TableOffset + (Header.Core ? 3 : 4) * Index;
            const std::uint32_t Blue = Dib.U8(Entry), Green = Dib.U8(Entry + 1), Red = Dib.U8(Entry + 2);
            Table[Index] = OpaquePixel((Red << 16) | (Green << 8) | Blue);
        }
    }
    return Table;
}

// One colour channel of a bit-field pixel, scaled to eight bits.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Width = 0;

    explicit TChannel(std::uint32_t Value) : Mask(Value) {
        if (Value == 0) return;
        Shift = std::countr_zero(Value);
        Width = std::popcount(Value >> Shift);
    }
    std::uint32_t Extract(std::uint32_t Pixel) const {
        if (Width == 0) return 0;
        const std::uint32_t Value = (Pixel & Mask) >> Shift;
        if (Width >= 8) return (Value >> (Width - 8)) & 0xFF;
        return Value * 255 / ((1u << Width) - 1);
    }
};

// cairo wants colour already multiplied by alpha.
std::uint32_t Premultiplied(std::uint32_t Pixel) {
    const std::uint32_t Alpha = Pixel >> 24;
    auto Channel = [&](int Shift) { return (((Pixel >> Shift) & 0xFF) * Alpha + 127) / 255 << Shift; };
    return (Alpha << 24) | Channel(16) | Channel(8) | Channel(0);
}

void DecodeUncompressed(const TWmfBytes& Bits, const TDibHeader& Header, std::uint32_t Rows,
                        const std::array<std::uint32_t, 256>& Table, bool KeepAlpha, TWmfImage& Image) {
    const std::uint64_t Stride = (static_cast<std::uint64_t>(Header.Width) * Header.BitCount + 31) / 32 * 4;
    if (Stride * Rows > Bits.Size()) FailWmf("Bitmap larger than its data");
    std::array<std::uint32_t, 3> Masks = Header.Masks;
    if (Header.Compression == BI_RGB && Header.BitCount == 16) Masks = {0x7C00, 0x03E0, 0x001F};
    const TChannel Red(Masks[0]), Green(Masks[1]), Blue(Masks[2]);
    const auto Data = Bits.Span();
    const auto Width = static_cast<std::size_t>(Header.Width);
    for (std::uint32_t Row = 0; Row < Rows; ++Row) {
        const std::uint8_t* Source = Data.data() + Row * Stride;
        const std::uint32_t Target = Header.TopDown ? Row : Rows - 1 - Row;
        std::uint32_t* Out = Image.Pixels.data() + static_cast<std::size_t>(Target) * Width;
        for (std::size_t X = 0; X < Width; ++X) {
            switch (Header.BitCount) {
            case 1:
                Out[X] = Table[(Source[X / 8] >> (7 - X % 8)) & 1];
                break;
            case 4:
                Out[X] = Table[(Source[X / 2] >> (X % 2 == 0 ? 4 : 0)) & 0x0F];
                break;
            case 8:
                Out[X] = Table[Source[X]];
                break;
            case 16:
            case 32: {
                std::uint32_t Pixel =
                    Source[X * (Header.BitCount / 8)] |
                    (static_cast<std::uint32_t>(Source[X * (Header.BitCount / 8) + 1]) << 8);
                if (Header.BitCount == 32) {
                    Pixel |= static_cast<std::uint32_t>(Source[X * 4 + 2]) << 16;
                    Pixel |= static_cast<std::uint32_t>(Source[X * 4 + 3]) << 24;
                }
                if (Header.BitCount == 32 && Header.Compression == BI_RGB && KeepAlpha)
                    Out[X] = Premultiplied(Pixel);
                else if (Header.BitCount == 32 && Header.Compression == BI_RGB)
                    Out[X] = OpaquePixel(Pixel); // the fourth byte is unused, not alpha
                else
                    Out[X] = OpaquePixel((Red.Extract(Pixel) << 16) | (Green.Extract(Pixel) << 8) |
                                         Blue.Extract(Pixel));
                break;
            }
            case 24: {
                const std::uint8_t* Pixel = Source + X * 3;
                Out[X] = OpaquePixel((static_cast<std::uint32_t>(Pixel[2]) << 16) |
                                     (static_cast<std::uint32_t>(Pixel[1]) << 8) | Pixel[0]);
                break;
            }
            default:
                break;
            }
        }
    }
}

// Run-length encoded bits, always bottom-up. Pixels outside the bitmap are dropped; data that ends
// without the end-of-bitmap mark ends the bitmap there.
void DecodeRunLength(const TWmfBytes& Bits, const TDibHeader& Header, std::uint32_t Rows,
                     const std::array<std::uint32_t, 256>& Table, TWmfImage& Image) {
    const bool Nibbles = Header.Compression == BI_RLE4;
    const auto Data = Bits.Span();
    const std::size_t Size = Data.size();
    const auto Width = static_cast<std::uint64_t>(Header.Width);
    std::uint64_t X = 0, Y = 0;
    auto Put = [&](std::uint8_t Index) {
        if (X < Width && Y < Rows)
            Image.Pixels[static_cast<std::size_t>((Rows - 1 - Y) * Width + X)] = Table[Index];
        ++X;
    };
    std::size_t Position = 0;
    while (Position + 1 < Size && Y < Rows) {
        const std::uint8_t Count = Data[Position], Value = Data[Position + 1];
        Position += 2;
        if (Count > 0) {
            for (std::uint8_t Index = 0; Index < Count; ++Index)
                Put(Nibbles ? (Index % 2 == 0 ? Value >> 4 : Value & 0x0F) : Value);
            continue;
        }
        if (Value == 0) { // end of line
            X = 0;
            ++Y;
        } else if (Value == 1) { // end of bitmap
            break;
        } else if (Value == 2) { // move right and up
            if (Position + 1 >= Size) break;
            X += Data[Position];
            Y += Data[Position + 1];
            Position += 2;
        } else { // a literal run, padded to a whole word
            const std::size_t Bytes = Nibbles ? (Value + 1u) / 2 : Value;
            if (Bytes > Size - Position) break;
            for (std::uint8_t Index = 0; Index < Value; ++Index) {
                const std::uint8_t Byte = Data[Position + (Nibbles ? Index / 2 : Index)];
                Put(Nibbles ? (Index % 2 == 0 ? Byte >> 4 : Byte & 0x0F) : Byte);
            }
            Position += Bytes + Bytes % 2;
        }
    }
}

} // namespace

std::optional<TWmfImage> DecodeDib(TWmfBytes Dib, std::uint16_t ColorUsage,
                                   std::span<const std::uint32_t> Palette, std::uint64_t& PixelBudget,
                                   std::optional<std::uint32_t> ScanCount, bool KeepAlpha) {
    const TDibHeader Header = ReadHeader(Dib);
    if (Header.Width < 0) FailWmf("Bitmap width negative");
    if (!IsSupported(Header)) return std::nullopt;
    std::uint64_t Rows = Header.Height;
    if (ScanCount) Rows = std::min<std::uint64_t>(Rows, *ScanCount);
    if (Header.Width == 0 || Rows == 0) return std::nullopt;
    const std::uint64_t Pixels = static_cast<std::uint64_t>(Header.Width) * Rows;
    if (Pixels > MaxDibPixels) FailWmf("Bitmap too large");
    if (Pixels > PixelBudget) FailWmf("Bitmaps too large");
    PixelBudget -= Pixels;

    std::uint64_t TableCount = Header.ColorsUsed;
    if (TableCount == 0 && Header.BitCount <= 8) TableCount = 1u << Header.BitCount;
    const std::uint64_t EntrySize = Header.Core ? 3 : (ColorUsage == 1 ? 2 : 4);
    const std::uint64_t BitsOffset = Header.TableOffset + TableCount * EntrySize;
    if (BitsOffset > Dib.Size()) FailWmf("Bitmap colour table larger than its data");
    const auto Table = Header.BitCount <= 8 ? ReadColorTable(Dib, Header, TableCount, ColorUsage, Palette)
                                            : std::array<std::uint32_t, 256>{};

    TWmfBytes Bits = Dib.From(static_cast<std::size_t>(BitsOffset));
    TWmfImage Image;
    Image.Width = static_cast<int>(Header.Width);
    Image.Height = static_cast<int>(Rows);
    Image.BottomUp = !Header.TopDown;
    if (Header.Compression == BI_RLE8 || Header.Compression == BI_RLE4) {
        if (Header.SizeImage > Bits.Size()) FailWmf("Bitmap larger than its data");
        if (Header.SizeImage != 0) Bits = Bits.Sub(0, Header.SizeImage);
        Image.Pixels.assign(static_cast<std::size_t>(Pixels), 0);
        DecodeRunLength(Bits, Header, static_cast<std::uint32_t>(Rows), Table, Image);
    } else {
        Image.Pixels.assign(static_cast<std::size_t>(Pixels), OpaquePixel(0));
        DecodeUncompressed(Bits, Header, static_cast<std::uint32_t>(Rows), Table, KeepAlpha, Image);
    }
    return Image;
}

} // namespace corvane::wmf
