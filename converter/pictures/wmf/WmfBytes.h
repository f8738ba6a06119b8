// A bounds-checked little-endian view of metafile bytes. Every read outside the view throws, which ends
// the playback of that metafile; nothing is ever read past the data it was given.
#pragma once

#include "CxTypes.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvane::wmf {

// The one failure of the player: the metafile cannot be read. Caught where playback starts.
[[noreturn]] inline void FailWmf(const char* Reason) {
    throw ECxError(Reason);
}

class TWmfBytes {
public:
    TWmfBytes() = default;
    explicit TWmfBytes(std::span<const std::uint8_t> Data) : FData(Data) {}

    std::size_t Size() const { return FData.size(); }
    std::span<const std::uint8_t> Span() const { return FData; }

    bool Has(std::size_t Offset, std::size_t Length) const {
        return Offset <= FData.size() && Length <= FData.size() - Offset;
    }
    std::uint8_t U8(std::size_t Offset) const {
        Require(Offset, 1);
        return FData[Offset];
    }
    std::uint16_t U16(std::size_t Offset) const {
        Require(Offset, 2);
        return static_cast<std::uint16_t>(FData[Offset] | (FData[Offset + 1] << 8));
    }
    std::int16_t S16(std::size_t Offset) const { return static_cast<std::int16_t>(U16(Offset)); }
    std::uint32_t U32(std::size_t Offset) const {
        Require(Offset, 4);
        return static_cast<std::uint32_t>(FData[Offset]) |
               (static_cast<std::uint32_t>(FData[Offset + 1]) << 8) |
               (static_cast<std::uint32_t>(FData[Offset + 2]) << 16) |
               (static_cast<std::uint32_t>(FData[Offset + 3]) << 24);
    }
    std::int32_t S32(std::size_t Offset) const { return static_cast<std::int32_t>(U32(Offset)); }

    // The bytes from Offset to the end; Offset may equal the size.
    TWmfBytes From(std::size_t Offset) const {
        Require(Offset, 0);
        return TWmfBytes(FData.subspan(Offset));
    }
    TWmfBytes Sub(std::size_t Offset, std::size_t Length) const {
        Require(Offset, Length);
        return TWmfBytes(FData.subspan(Offset, Length));
    }

private:
    void Require(std::size_t Offset, std::size_t Length) const {
        if (!Has(Offset, Length)) FailWmf("Metafile record too short");
    }

    std::span<const std::uint8_t> FData;
};

} // namespace corvane::wmf
