// What a list paragraph is when lists keep their levels: its level, its number format and its number,
// counted per list override and level across the whole document, so that a list interrupted by other
// paragraphs goes on where it stopped.
#pragma once

#include "CxLists.h"
#include "CxTypes.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace corvane {

// Levels deeper than this count as this one.
inline constexpr std::int32_t MaxListLevel = 8;
// The \levelnfc value of the bullet.
inline constexpr std::int32_t BulletFormat = 23;

struct TListItem {
    std::int32_t Level = 0;  // 0..MaxListLevel
    std::int32_t Key = 0;    // the \ls override; 0 for old-style numbering
    std::int32_t Format = 0; // a \levelnfc value
    std::int32_t Start = 1;  // the level's first number
    bool Bullet() const { return Format == BulletFormat || Format == 255; }
};

// The item a list paragraph stands for; Lists may be null (no list table).
TListItem ResolveListItem(const TParagraphProperties& Properties, const TListHeaderInfo* Lists);

// Ordered-list tag attributes and plain-text markers: "1", "c", "III"; the bullet is "•".
std::string FormatListNumber(std::int32_t Format, std::int32_t Number);

class TListCounter {
public:
    // The number of the next item of Item's list and level; a level restarts after an item of a level
    // above it in the same list.
    std::int32_t Next(const TListItem& Item);
    // The number the next item of Item's list and level would get, without counting it.
    std::int32_t Peek(const TListItem& Item) const;
    // Old-style numbering counts only while its paragraphs follow each other.
    void EndOldStyle();

private:
    static std::int64_t KeyOf(std::int32_t List, std::int32_t Level) {
        return static_cast<std::int64_t>(List) * (MaxListLevel + 1) + Level;
    }
    std::unordered_map<std::int64_t, std::int32_t> FNext;
    // Old-style numbering names no list: a level whose format changes (bullets, then "1)") starts anew.
    std::int32_t FOldStyleFormat[MaxListLevel + 1] = {};
};

} // namespace corvane
