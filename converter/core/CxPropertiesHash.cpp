#include "CxPropertiesHash.h"

#include <cstdint>
#include <string>

namespace corvane {

namespace {

// The length and the last eight bytes of a string: enough to tell font names and colours apart, and
// much cheaper than hashing every byte; sets that collide are told apart by comparison.
std::uint64_t Summary(const std::string& Text) {
    std::uint64_t Result = Text.size();
    const std::size_t Start = Text.size() > 8 ? Text.size() - 8 : 0;
    for (std::size_t Index = Start; Index < Text.size(); ++Index)
        Result = Result << 8 ^ static_cast<std::uint8_t>(Text[Index]);
    return Result;
}

} // namespace

std::size_t TCharacterPropertiesHash::operator()(const TCharacterProperties& Props) const {
    std::uint64_t Result = 0xCBF29CE484222325ull;
    const auto Mix = [&Result](std::uint64_t Value) {
        Result = (Result ^ Value) * 0x100000001B3ull;
        Result ^= Result >> 29;
    };
    Mix(Summary(Props.FontName));
    Mix(Summary(Props.FontColor));
    Mix(Summary(Props.BackgroundColor) ^ Summary(Props.HighlightColor) << 1);
    Mix(Summary(Props.Language));
    Mix(static_cast<std::uint32_t>(Props.FontSize) |
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(Props.Charset)) << 32);
    Mix(Props.FontStyle | static_cast<std::uint64_t>(Props.VerticalPosition) << 8 |
        static_cast<std::uint64_t>(Props.RightToLeft) << 16);
    return static_cast<std::size_t>(Result);
}

} // namespace corvane
