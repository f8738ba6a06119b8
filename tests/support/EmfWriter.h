// Builds small enhanced metafiles record by record for the player's tests. The header's frame is
// 100 x 100 reference-device pixels (one pixel to the millimetre), so logical units are image pixels
// on a 100 x 100 image until a record says otherwise.
#pragma once

#include "WmfWriter.h"

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace corvane::test {

class TEmfWriter {
public:
    // A record of Type with Params (padded to whole 32-bit values).
    TEmfWriter& Record(std::uint32_t Type, TBytes Params) {
        while (Params.size() % 4 != 0)
            Params.push_back(0);
        PutDword(FRecords, Type);
        PutDword(FRecords, static_cast<std::uint32_t>(8 + Params.size()));
        FRecords.insert(FRecords.end(), Params.begin(), Params.end());
        return *this;
    }
    // A record of 32-bit Values, then Tail as it is.
    TEmfWriter& Ints(std::uint32_t Type, std::initializer_list<std::int64_t> Values,
                     const TBytes& Tail = {}) {
        TBytes Params;
        for (std::int64_t Value : Values)
            PutDword(Params, static_cast<std::uint32_t>(Value));
        Params.insert(Params.end(), Tail.begin(), Tail.end());
        return Record(Type, Params);
    }
    // Bytes exactly as given, for broken records.
    TEmfWriter& Raw(const TBytes& Bytes) {
        FRecords.insert(FRecords.end(), Bytes.begin(), Bytes.end());
        return *this;
    }

    TEmfWriter& CreateBrush(int Index, std::uint32_t Color, int Style = 0) {
        return Ints(39, {Index, Style, Color, 0});
    }
    TEmfWriter& CreatePen(int Index, int Style, int Width, std::uint32_t Color) {
        return Ints(38, {Index, Style, Width, 0, Color});
    }
    TEmfWriter& SelectObject(std::int64_t Index) { return Ints(37, {Index}); }
    TEmfWriter& Rectangle(int Left, int Top, int Right, int Bottom) {
        return Ints(43, {Left, Top, Right, Bottom});
    }
    TEmfWriter& Ellipse(int Left, int Top, int Right, int Bottom) {
        return Ints(42, {Left, Top, Right, Bottom});
    }
    TEmfWriter& WorldTransform(float M11, float M12, float M21, float M22, float Dx, float Dy) {
        return Ints(35, {Bits(M11), Bits(M12), Bits(M21), Bits(M22), Bits(Dx), Bits(Dy)});
    }
    // A comment record holding EMF+ records, each made by PlusRecord.
    TEmfWriter& Plus(std::initializer_list<TBytes> Records) {
        TBytes Data{'E', 'M', 'F', '+'};
        for (const TBytes& Record : Records)
            Data.insert(Data.end(), Record.begin(), Record.end());
        TBytes Params;
        PutDword(Params, static_cast<std::uint32_t>(Data.size()));
        Params.insert(Params.end(), Data.begin(), Data.end());
        return Record(70, Params);
    }
    static TBytes PlusRecord(std::uint16_t Type, std::uint16_t Flags,
                             std::initializer_list<std::int64_t> Values) {
        TBytes Out;
        PutWord(Out, Type);
        PutWord(Out, Flags);
        PutDword(Out, static_cast<std::uint32_t>(12 + 4 * Values.size()));
        PutDword(Out, static_cast<std::uint32_t>(4 * Values.size()));
        for (std::int64_t Value : Values)
            PutDword(Out, static_cast<std::uint32_t>(Value));
        return Out;
    }

    // Brush Color, no pen: filled shapes show exactly their area.
    TEmfWriter& Filled(std::uint32_t Color) {
        return CreateBrush(1, Color).SelectObject(1).SelectObject(0x80000008); // the null pen
    }

    // The header, the records and the end-of-file record.
    TBytes Metafile(int Handles = 8) const {
        TBytes Out;
        for (std::int64_t Value : std::initializer_list<std::int64_t>{1, 88, 0, 0, 99, 99, 0, 0, 10000, 10000,
                                                                      0x464D4520, 0x10000, 0, 0})
            PutDword(Out, static_cast<std::uint32_t>(Value));
        PutWord(Out, Handles);
        PutWord(Out, 0);
        for (std::int64_t Value : std::initializer_list<std::int64_t>{0, 0, 0, 1000, 1000, 1000, 1000})
            PutDword(Out, static_cast<std::uint32_t>(Value));
        Out.insert(Out.end(), FRecords.begin(), FRecords.end());
        for (std::int64_t Value : std::initializer_list<std::int64_t>{14, 20, 0, 16, 20})
            PutDword(Out, static_cast<std::uint32_t>(Value));
        const auto Bytes = static_cast<std::uint32_t>(Out.size());
        for (int Shift = 0; Shift < 32; Shift += 8)
            Out[48 + Shift / 8] = static_cast<std::uint8_t>(Bytes >> Shift);
        return Out;
    }

    static std::int64_t Bits(float Value) { return std::bit_cast<std::uint32_t>(Value); }

private:
    TBytes FRecords;
};

} // namespace corvane::test
