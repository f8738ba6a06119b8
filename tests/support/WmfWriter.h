// Builds small Windows metafiles record by record for the player's tests, and device-independent
// bitmaps to put in them. Parameters are written in the order the format stores them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

using TBytes = std::vector<std::uint8_t>;

inline void PutWord(TBytes& Out, std::int32_t Value) {
    Out.push_back(static_cast<std::uint8_t>(Value & 0xFF));
    Out.push_back(static_cast<std::uint8_t>((Value >> 8) & 0xFF));
}

inline void PutDword(TBytes& Out, std::uint32_t Value) {
    PutWord(Out, static_cast<std::int32_t>(Value & 0xFFFF));
    PutWord(Out, static_cast<std::int32_t>(Value >> 16));
}

// A colour reference: red, green, blue, flags.
inline std::uint32_t Rgb(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue) {
    return Red | (Green << 8) | (static_cast<std::uint32_t>(Blue) << 16);
}

class TWmfWriter {
public:
    // A record of the given function with Params (whose size must be even) as its body.
    TWmfWriter& Record(std::uint16_t Function, const TBytes& Params) {
        PutDword(FRecords, static_cast<std::uint32_t>(3 + Params.size() / 2));
        PutWord(FRecords, Function);
        FRecords.insert(FRecords.end(), Params.begin(), Params.end());
        return *this;
    }
    // A record of 16-bit Values, then Tail (a bitmap) as it is.
    TWmfWriter& Words(std::uint16_t Function, std::initializer_list<std::int32_t> Values,
                      const TBytes& Tail = {}) {
        TBytes Params;
        for (std::int32_t Value : Values)
            PutWord(Params, Value);
        Params.insert(Params.end(), Tail.begin(), Tail.end());
        return Record(Function, Params);
    }
    // Bytes exactly as given, for broken records.
    TWmfWriter& Raw(const TBytes& Bytes) {
        FRecords.insert(FRecords.end(), Bytes.begin(), Bytes.end());
        return *this;
    }

    TWmfWriter& SetMapMode(int Mode) { return Words(0x0103, {Mode}); }
    TWmfWriter& SetWindowOrg(int X, int Y) { return Words(0x020B, {Y, X}); }
    TWmfWriter& SetWindowExt(int X, int Y) { return Words(0x020C, {Y, X}); }
    TWmfWriter& SetBkMode(int Mode) { return Words(0x0102, {Mode}); }
    TWmfWriter& SetROP2(int Rop) { return Words(0x0104, {Rop}); }
    TWmfWriter& SetTextAlign(int Align) { return Words(0x012E, {Align}); }
    TWmfWriter& SetBkColor(std::uint32_t Color) { return Words(0x0201, {Low(Color), High(Color)}); }
    TWmfWriter& SetTextColor(std::uint32_t Color) { return Words(0x0209, {Low(Color), High(Color)}); }
    TWmfWriter& SaveDC() { return Words(0x001E, {}); }
    TWmfWriter& RestoreDC(int Which) { return Words(0x0127, {Which}); }

    TWmfWriter& CreatePen(int Style, int Width, std::uint32_t Color) {
        return Words(0x02FA, {Style, Width, 0, Low(Color), High(Color)});
    }
    TWmfWriter& CreateBrush(int Style, std::uint32_t Color, int Hatch = 0) {
        return Words(0x02FC, {Style, Low(Color), High(Color), Hatch});
    }
    // Height as in the font record (negative: character height), weight 400, the face name zero-ended.
    TWmfWriter& CreateFont(int Height, const std::string& Face, int Escapement = 0, int Charset = 0) {
        TBytes Params;
        for (int Value : {Height, 0, Escapement, Escapement, 400})
            PutWord(Params, Value);
        for (int Value : {0, 0, 0, Charset, 0, 0, 0, 0})
            Params.push_back(static_cast<std::uint8_t>(Value));
        Params.insert(Params.end(), Face.begin(), Face.end());
        Params.resize(Params.size() + (Params.size() % 2 == 0 ? 2 : 1), 0);
        return Record(0x02FB, Params);
    }
    TWmfWriter& CreatePalette(const std::vector<std::uint32_t>& Colors) {
        TBytes Params;
        PutWord(Params, 0x0300);
        PutWord(Params, static_cast<std::int32_t>(Colors.size()));
        for (std::uint32_t Color : Colors)
            PutDword(Params, Color);
        return Record(0x00F7, Params);
    }
    // A region of one rectangle.
    TWmfWriter& CreateRegion(int Left, int Top, int Right, int Bottom) {
        return Words(0x06FF, {0, 6, 0, 0, 0, 1, 2, Left, Top, Right, Bottom, 2, Top, Bottom, Left, Right, 2});
    }
    TWmfWriter& DIBCreatePatternBrush(const TBytes& Dib) { return Words(0x0142, {5, 0}, Dib); }
    TWmfWriter& SelectObject(int Index) { return Words(0x012D, {Index}); }
    TWmfWriter& DeleteObject(int Index) { return Words(0x01F0, {Index}); }
    TWmfWriter& SelectPalette(int Index) { return Words(0x0234, {Index, 0}); }
    TWmfWriter& SelectClipRegion(int Index) { return Words(0x012C, {Index}); }
    TWmfWriter& IntersectClipRect(int Left, int Top, int Right, int Bottom) {
        return Words(0x0416, {Bottom, Right, Top, Left});
    }
    TWmfWriter& ExcludeClipRect(int Left, int Top, int Right, int Bottom) {
        return Words(0x0415, {Bottom, Right, Top, Left});
    }

    TWmfWriter& MoveTo(int X, int Y) { return Words(0x0214, {Y, X}); }
    TWmfWriter& LineTo(int X, int Y) { return Words(0x0213, {Y, X}); }
    TWmfWriter& Rectangle(int Left, int Top, int Right, int Bottom) {
        return Words(0x041B, {Bottom, Right, Top, Left});
    }
    TWmfWriter& Ellipse(int Left, int Top, int Right, int Bottom) {
        return Words(0x0418, {Bottom, Right, Top, Left});
    }
    TWmfWriter& RoundRect(int Left, int Top, int Right, int Bottom, int Width, int Height) {
        return Words(0x061C, {Height, Width, Bottom, Right, Top, Left});
    }
    TWmfWriter& Pie(int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
        return Words(0x081A, {YEnd, XEnd, YStart, XStart, Bottom, Right, Top, Left});
    }
    TWmfWriter& Polygon(const std::vector<std::pair<int, int>>& Points) { return Poly(0x0324, Points); }
    TWmfWriter& Polyline(const std::vector<std::pair<int, int>>& Points) { return Poly(0x0325, Points); }
    TWmfWriter& PatBlt(int X, int Y, int Width, int Height, std::uint32_t Rop) {
        return Words(0x061D, {Low(Rop), High(Rop), Height, Width, Y, X});
    }
    TWmfWriter& TextOut(int X, int Y, const std::string& Text) {
        TBytes Params;
        PutWord(Params, static_cast<std::int32_t>(Text.size()));
        Params.insert(Params.end(), Text.begin(), Text.end());
        if (Text.size() % 2) Params.push_back(0);
        PutWord(Params, Y);
        PutWord(Params, X);
        return Record(0x0521, Params);
    }
    // ExtTextOut with an opaque or clipping rectangle (Options 2 or 4, or both) and per-byte advances.
    TWmfWriter& ExtTextOut(int X, int Y, int Options, std::initializer_list<int> Rect,
                           const std::string& Text, const std::vector<int>& Advances) {
        TBytes Params;
        for (int Value : {Y, X, static_cast<int>(Text.size()), Options})
            PutWord(Params, Value);
        for (int Value : Rect)
            PutWord(Params, Value);
        Params.insert(Params.end(), Text.begin(), Text.end());
        if (Text.size() % 2) Params.push_back(0);
        for (int Value : Advances)
            PutWord(Params, Value);
        return Record(0x0A32, Params);
    }
    // The bitmap records, all with SRCCOPY: StretchDIB and DIBStretchBlt scale the whole bitmap onto the
    // destination, DIBBitBlt and SetDIBitsToDevice copy it unscaled.
    TWmfWriter& StretchDIB(int X, int Y, int Width, int Height, int SourceWidth, int SourceHeight,
                           const TBytes& Dib) {
        return Words(0x0F43, {0x0020, 0x00CC, 0, SourceHeight, SourceWidth, 0, 0, Height, Width, Y, X}, Dib);
    }
    TWmfWriter& DIBStretchBlt(int X, int Y, int Width, int Height, int SourceWidth, int SourceHeight,
                              const TBytes& Dib) {
        return Words(0x0B41, {0x0020, 0x00CC, SourceHeight, SourceWidth, 0, 0, Height, Width, Y, X}, Dib);
    }
    TWmfWriter& DIBBitBlt(int X, int Y, int Width, int Height, const TBytes& Dib) {
        return Words(0x0940, {0x0020, 0x00CC, 0, 0, Height, Width, Y, X}, Dib);
    }
    TWmfWriter& SetDIBToDev(int X, int Y, int Width, int Height, const TBytes& Dib) {
        return Words(0x0D33, {0, Height, 0, 0, 0, Height, Width, Y, X}, Dib);
    }

    // The metafile: its 18-byte header with ObjectCount table entries, the records, and EOF.
    TBytes Metafile(int ObjectCount = 8) const {
        TBytes Out;
        PutWord(Out, 1);
        PutWord(Out, 9);
        PutWord(Out, 0x0300);
        PutDword(Out, static_cast<std::uint32_t>(9 + FRecords.size() / 2 + 3));
        PutWord(Out, ObjectCount);
        PutDword(Out, 3);
        PutWord(Out, 0);
        Out.insert(Out.end(), FRecords.begin(), FRecords.end());
        PutDword(Out, 3);
        PutWord(Out, 0);
        return Out;
    }

private:
    // The two words of a 32-bit parameter, low first.
    static std::int32_t Low(std::uint32_t Value) { return static_cast<std::int32_t>(Value & 0xFFFF); }
    static std::int32_t High(std::uint32_t Value) { return static_cast<std::int32_t>(Value >> 16); }

    TWmfWriter& Poly(std::uint16_t Function, const std::vector<std::pair<int, int>>& Points) {
        TBytes Params;
        PutWord(Params, static_cast<std::int32_t>(Points.size()));
        for (const auto& [X, Y] : Points) {
            PutWord(Params, X);
            PutWord(Params, Y);
        }
        return Record(Function, Params);
    }

    TBytes FRecords;
};

// A 40-byte bitmap header and its colour table (0xRRGGBB entries).
inline TBytes DibHeader(int Width, int Height, int BitCount, std::uint32_t Compression,
                        std::uint32_t SizeImage, const std::vector<std::uint32_t>& Palette) {
    TBytes Out;
    for (std::uint32_t Value : {40u, static_cast<std::uint32_t>(Width), static_cast<std::uint32_t>(Height)})
        PutDword(Out, Value);
    PutWord(Out, 1);
    PutWord(Out, BitCount);
    for (std::uint32_t Value :
         {Compression, SizeImage, 0u, 0u, static_cast<std::uint32_t>(Palette.size()), 0u})
        PutDword(Out, Value);
    for (std::uint32_t Color : Palette)
        PutDword(Out, Color & 0xFFFFFF);
    return Out;
}

// A packed DIB with a 40-byte header. Rows are given top-down as 0xRRGGBB; stored bottom-up unless
// TopDown. BitCount 24 or 32 writes the colours; 1, 4 and 8 write Palette indices with Palette as the
// colour table.
inline TBytes MakeDib(int BitCount, const std::vector<std::vector<std::uint32_t>>& Rows, bool TopDown = false,
                      const std::vector<std::uint32_t>& Palette = {}) {
    const int Height = static_cast<int>(Rows.size());
    const int Width = static_cast<int>(Rows.at(0).size());
    TBytes Out = DibHeader(Width, TopDown ? -Height : Height, BitCount, 0, 0, Palette);
    const std::size_t Stride = (static_cast<std::size_t>(Width) * BitCount + 31) / 32 * 4;
    for (int Stored = 0; Stored < Height; ++Stored) {
        const auto& Row = Rows[static_cast<std::size_t>(TopDown ? Stored : Height - 1 - Stored)];
        TBytes Line(Stride, 0);
        for (std::size_t X = 0; X < Row.size(); ++X) {
            const std::uint32_t Value = Row[X];
            if (BitCount >= 24) {
                for (std::size_t Byte = 0; Byte < 3; ++Byte)
                    Line[X * (BitCount / 8) + Byte] = static_cast<std::uint8_t>(Value >> (8 * Byte));
            } else {
                // Indices fill each byte from its high bits.
                const std::size_t Bit = X * static_cast<std::size_t>(BitCount);
                Line[Bit / 8] |= static_cast<std::uint8_t>(Value << (8 - BitCount - Bit % 8));
            }
        }
        Out.insert(Out.end(), Line.begin(), Line.end());
    }
    return Out;
}

// A run-length encoded DIB (compression 1 for 8 bits, 2 for 4 bits) with Palette and Data.
inline TBytes MakeRleDib(int BitCount, int Width, int Height, const std::vector<std::uint32_t>& Palette,
                         const TBytes& Data) {
    TBytes Out = DibHeader(Width, Height, BitCount, BitCount == 8 ? 1 : 2,
                           static_cast<std::uint32_t>(Data.size()), Palette);
    Out.insert(Out.end(), Data.begin(), Data.end());
    if (Out.size() % 2) Out.push_back(0);
    return Out;
}

} // namespace corvane::test
