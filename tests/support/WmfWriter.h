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
    TWmfWriter& Words(std::uint16_t Function, std::initializer_list<std::int32_t> Values) {
        TBytes Params;
        for (std::int32_t Value : Values)
            PutWord(Params, Value);
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
    TWmfWriter& SetViewportOrg(int X, int Y) { return Words(0x020D, {Y, X}); }
    TWmfWriter& SetViewportExt(int X, int Y) { return Words(0x020E, {Y, X}); }
    TWmfWriter& OffsetWindowOrg(int X, int Y) { return Words(0x020F, {Y, X}); }
    TWmfWriter& SetBkMode(int Mode) { return Words(0x0102, {Mode}); }
    TWmfWriter& SetROP2(int Rop) { return Words(0x0104, {Rop}); }
    TWmfWriter& SetPolyFillMode(int Mode) { return Words(0x0106, {Mode}); }
    TWmfWriter& SetTextAlign(int Align) { return Words(0x012E, {Align}); }
    TWmfWriter& SetBkColor(std::uint32_t Color) { return Color32(0x0201, Color); }
    TWmfWriter& SetTextColor(std::uint32_t Color) { return Color32(0x0209, Color); }
    TWmfWriter& SaveDC() { return Words(0x001E, {}); }
    TWmfWriter& RestoreDC(int Which) { return Words(0x0127, {Which}); }

    TWmfWriter& CreatePen(int Style, int Width, std::uint32_t Color) {
        TBytes Params;
        PutWord(Params, Style);
        PutWord(Params, Width);
        PutWord(Params, 0);
        PutDword(Params, Color);
        return Record(0x02FA, Params);
    }
    TWmfWriter& CreateBrush(int Style, std::uint32_t Color, int Hatch = 0) {
        TBytes Params;
        PutWord(Params, Style);
        PutDword(Params, Color);
        PutWord(Params, Hatch);
        return Record(0x02FC, Params);
    }
    // Height as in the font record (negative: character height), weight 400, the face name zero-ended.
    TWmfWriter& CreateFont(int Height, const std::string& Face, int Escapement = 0, int Charset = 0) {
        TBytes Params;
        for (int Value : {Height, 0, Escapement, Escapement, 400})
            PutWord(Params, Value);
        for (int Value : {0, 0, 0, Charset, 0, 0, 0, 0})
            Params.push_back(static_cast<std::uint8_t>(Value));
        for (char Character : Face)
            Params.push_back(static_cast<std::uint8_t>(Character));
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
        TBytes Params;
        for (int Value : {0, 6, 0, 0, 0, 1, 2, Left, Top, Right, Bottom})
            PutWord(Params, Value);
        for (int Value : {2, Top, Bottom, Left, Right, 2})
            PutWord(Params, Value);
        return Record(0x06FF, Params);
    }
    TWmfWriter& DIBCreatePatternBrush(const TBytes& Dib) {
        TBytes Params;
        PutWord(Params, 5);
        PutWord(Params, 0);
        Params.insert(Params.end(), Dib.begin(), Dib.end());
        return Record(0x0142, Params);
    }
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
        TBytes Params;
        PutDword(Params, Rop);
        for (int Value : {Height, Width, Y, X})
            PutWord(Params, Value);
        return Record(0x061D, Params);
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
                           const std::string& Text, const std::vector<int>& Advances = {}) {
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
    // StretchDIB with SRCCOPY: the whole bitmap onto the destination rectangle.
    TWmfWriter& StretchDIB(int X, int Y, int Width, int Height, int SourceWidth, int SourceHeight,
                           const TBytes& Dib, std::uint32_t Rop = 0x00CC0020) {
        TBytes Params;
        PutDword(Params, Rop);
        for (int Value : {0, SourceHeight, SourceWidth, 0, 0, Height, Width, Y, X})
            PutWord(Params, Value);
        Params.insert(Params.end(), Dib.begin(), Dib.end());
        return Record(0x0F43, Params);
    }
    // DIBStretchBlt with a bitmap.
    TWmfWriter& DIBStretchBlt(int X, int Y, int Width, int Height, int SourceWidth, int SourceHeight,
                              const TBytes& Dib, std::uint32_t Rop = 0x00CC0020) {
        TBytes Params;
        PutDword(Params, Rop);
        for (int Value : {SourceHeight, SourceWidth, 0, 0, Height, Width, Y, X})
            PutWord(Params, Value);
        Params.insert(Params.end(), Dib.begin(), Dib.end());
        return Record(0x0B41, Params);
    }
    // DIBBitBlt with a bitmap, unscaled.
    TWmfWriter& DIBBitBlt(int X, int Y, int Width, int Height, const TBytes& Dib,
                          std::uint32_t Rop = 0x00CC0020) {
        TBytes Params;
        PutDword(Params, Rop);
        for (int Value : {0, 0, Height, Width, Y, X})
            PutWord(Params, Value);
        Params.insert(Params.end(), Dib.begin(), Dib.end());
        return Record(0x0940, Params);
    }
    TWmfWriter& SetDIBToDev(int X, int Y, int Width, int Height, const TBytes& Dib) {
        TBytes Params;
        for (int Value : {0, Height, 0, 0, 0, Height, Width, Y, X})
            PutWord(Params, Value);
        Params.insert(Params.end(), Dib.begin(), Dib.end());
        return Record(0x0D33, Params);
    }

    // The metafile: its 18-byte header with ObjectCount table entries, the records, and EOF.
    TBytes Metafile(int ObjectCount = 8) const {
        TBytes Out;
        const std::uint32_t Words = static_cast<std::uint32_t>(9 + FRecords.size() / 2 + 3);
        PutWord(Out, 1);
        PutWord(Out, 9);
        PutWord(Out, 0x0300);
        PutDword(Out, Words);
        PutWord(Out, ObjectCount);
        PutDword(Out, 3);
        PutWord(Out, 0);
        Out.insert(Out.end(), FRecords.begin(), FRecords.end());
        PutDword(Out, 3);
        PutWord(Out, 0);
        return Out;
    }

private:
    TWmfWriter& Color32(std::uint16_t Function, std::uint32_t Color) {
        TBytes Params;
        PutDword(Params, Color);
        return Record(Function, Params);
    }
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
    const int Width = Height > 0 ? static_cast<int>(Rows[0].size()) : 0;
    TBytes Out = DibHeader(Width, TopDown ? -Height : Height, BitCount, 0, 0, Palette);
    const std::size_t Stride = (static_cast<std::size_t>(Width) * BitCount + 31) / 32 * 4;
    for (int Stored = 0; Stored < Height; ++Stored) {
        const auto& Row = Rows[static_cast<std::size_t>(TopDown ? Stored : Height - 1 - Stored)];
        TBytes Line(Stride, 0);
        for (int X = 0; X < Width; ++X) {
            const std::uint32_t Value = Row[static_cast<std::size_t>(X)];
            switch (BitCount) {
            case 1:
                Line[static_cast<std::size_t>(X / 8)] |=
                    static_cast<std::uint8_t>((Value & 1) << (7 - X % 8));
                break;
            case 4:
                Line[static_cast<std::size_t>(X / 2)] |=
                    static_cast<std::uint8_t>((Value & 0x0F) << (X % 2 ? 0 : 4));
                break;
            case 8:
                Line[static_cast<std::size_t>(X)] = static_cast<std::uint8_t>(Value);
                break;
            default: {
                const std::size_t At = static_cast<std::size_t>(X) * (BitCount / 8);
                Line[At] = static_cast<std::uint8_t>(Value & 0xFF);
                Line[At + 1] = static_cast<std::uint8_t>((Value >> 8) & 0xFF);
                Line[At + 2] = static_cast<std::uint8_t>((Value >> 16) & 0xFF);
                break;
            }
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
