// The block scan must find the same first stop byte as a byte-by-byte look, wherever it falls relative
// to the sixteen-byte blocks, and must never read past the end.
#include "CxByteScan.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

TEST(ByteScan, FindsTheFirstStopInAndAcrossBlocks) {
    const struct {
        char Stop;
        bool (*Wanted)(unsigned char);
        const char* (*Find)(const char*, const char*);
    } Cases[] = {
        {'{', [](unsigned char C) { return C == '\\' || C == '{' || C == '}'; },
         FindStop<srNone, '\\', '{', '}'>},
        {'\xC3', [](unsigned char C) { return C >= 0x80; }, FindStop<srHigh>},
        {'\x01', [](unsigned char C) { return C < 0x20 || C >= 0x80 || C == '<'; },
         FindStop<srControlOrHigh, '<'>},
        {'\xFF', [](unsigned char C) { return C < 0x20 || C >= 0x80 || C == '<'; },
         FindStop<srControlOrHigh, '<'>},
    };
    for (const auto& Case : Cases) {
        for (std::size_t Length : {0u, 1u, 15u, 16u, 17u, 40u}) {
            for (std::size_t At = 0; At <= Length; ++At) {
                // Bytes just beside each class boundary that must not stop the scan: blank, '~', 'z'.
                std::string Text(Length, 'a');
                for (std::size_t I = 0; I < Length; I += 3)
                    Text[I] = I % 2 ? ' ' : '~';
                if (At < Length) Text[At] = Case.Stop;
                const char* const Begin = Text.data();
                const char* Expected = Begin + Length;
                for (const char* P = Begin; P != Begin + Length; ++P)
                    if (Case.Wanted(static_cast<unsigned char>(*P))) {
                        Expected = P;
                        break;
                    }
                EXPECT_EQ(Case.Find(Begin, Begin + Length) - Begin, Expected - Begin)
                    << "stop " << int(static_cast<unsigned char>(Case.Stop)) << " at " << At << " of "
                    << Length;
            }
        }
    }
}

// Every byte value, in every one of the sixteen lanes, lands in exactly the masks of its kind.
TEST(ByteScan, ClassifiesEveryByteOfAControlWordInEveryLane) {
    for (int Byte = 0; Byte < 256; ++Byte) {
        const bool Letter = (Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z');
        const bool Digit = Byte >= '0' && Byte <= '9';
        for (unsigned Lane = 0; Lane < 16; ++Lane) {
            std::string Block(16, '*');
            Block[Lane] = static_cast<char>(Byte);
            const TControlWordMasks Masks = ControlWordMasks16(Block.data());
            const std::uint32_t Bit = 1u << Lane;
            EXPECT_EQ(Masks.Letters, Letter ? Bit : 0u) << "byte " << Byte << " in lane " << Lane;
            EXPECT_EQ(Masks.Digits, Digit ? Bit : 0u) << "byte " << Byte << " in lane " << Lane;
            EXPECT_EQ(Masks.Minus, Byte == '-' ? Bit : 0u) << "byte " << Byte << " in lane " << Lane;
            EXPECT_EQ(Masks.Blanks, Byte == ' ' ? Bit : 0u) << "byte " << Byte << " in lane " << Lane;
        }
    }
}

} // namespace
} // namespace corvane
