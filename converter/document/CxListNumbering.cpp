#include "CxListNumbering.h"

#include <algorithm>
#include <cstdint>

namespace corvane {

namespace {

std::string Roman(std::int32_t Number, bool Upper) {
    static constexpr struct {
        std::int32_t Value;
        const char* Upper;
        const char* Lower;
    } Digits[] = {{1000, "M", "m"}, {900, "CM", "cm"}, {500, "D", "d"},  {400, "CD", "cd"}, {100, "C", "c"},
                  {90, "XC", "xc"}, {50, "L", "l"},    {40, "XL", "xl"}, {10, "X", "x"},    {9, "IX", "ix"},
                  {5, "V", "v"},    {4, "IV", "iv"},   {1, "I", "i"}};
    // Roman numerals have no zero, and thousands of M say nothing a reader can use.
    if (Number <= 0 || Number >= 4000) return std::to_string(Number);
    std::string result;
    for (const auto& digit : Digits)
        for (; Number >= digit.Value; Number -= digit.Value)
            result += Upper ? digit.Upper : digit.Lower;
    return result;
}

// a..z, then aa..zz, as list letters count.
std::string Letters(std::int32_t Number, bool Upper) {
    if (Number <= 0) return std::to_string(Number);
    std::string result;
    for (; Number > 0; Number = (Number - 1) / 26)
        result.insert(result.begin(), static_cast<char>((Upper ? 'A' : 'a') + (Number - 1) % 26));
    return result;
}

} // namespace

TListItem ResolveListItem(const TParagraphProperties& Properties, const TListHeaderInfo* Lists) {
    TListItem item;
    if (Properties.ListOverride > 0) {
        item.Key = Properties.ListOverride;
        item.Level = std::clamp(Properties.ListLevel, 0, MaxListLevel);
        const TListLevel* level = Lists ? Lists->FindLevel(item.Key, item.Level) : nullptr;
        if (level != nullptr) {
            item.Format = level->NumberFormat;
            item.Start = level->StartAt;
        } else {
            item.Format = Properties.ListStyle == 11 ? BulletFormat : 0;
        }
        return item;
    }
    // Old-style numbering: \pnlvlN is the level (1..9); body text and bullets stand on the first.
    if (Properties.ListStyle >= 1 && Properties.ListStyle <= 9) item.Level = Properties.ListStyle - 1;
    item.Format = Properties.ListStyle == 11 ? BulletFormat : std::max(Properties.ListFormat, 0);
    if (Properties.ListStart > 0) item.Start = Properties.ListStart;
    return item;
}

std::string FormatListNumber(std::int32_t Format, std::int32_t Number) {
    switch (Format) {
    case 1:
        return Roman(Number, true);
    case 2:
        return Roman(Number, false);
    case 3:
        return Letters(Number, true);
    case 4:
        return Letters(Number, false);
    case BulletFormat:
    case 255:
        return "\xE2\x80\xA2";
    default:
        return std::to_string(Number);
    }
}

std::int32_t TListCounter::Peek(const TListItem& Item) const {
    if (Item.Key == 0 && FOldStyleFormat[Item.Level] != Item.Format) return Item.Start;
    const auto found = FNext.find(KeyOf(Item.Key, Item.Level));
    return found != FNext.end() ? found->second : Item.Start;
}

std::int32_t TListCounter::Next(const TListItem& Item) {
    if (Item.Key == 0 && FOldStyleFormat[Item.Level] != Item.Format) {
        FOldStyleFormat[Item.Level] = Item.Format;
        FNext.erase(KeyOf(0, Item.Level));
    }
    const std::int32_t number = Peek(Item);
    // A start near the top of the range stays there rather than overflowing.
    FNext[KeyOf(Item.Key, Item.Level)] = number < INT32_MAX ? number + 1 : number;
    for (std::int32_t deeper = Item.Level + 1; deeper <= MaxListLevel; ++deeper)
        FNext.erase(KeyOf(Item.Key, deeper));
    return number;
}

void TListCounter::EndOldStyle() {
    for (std::int32_t level = 0; level <= MaxListLevel; ++level)
        FNext.erase(KeyOf(0, level));
}

} // namespace corvane
