// The list definitions of a document: the lists of the list table with their levels, and the overrides
// that paragraphs name with \lsN. Flat lists ask only whether an override is a bullet list; nested lists
// also read each level's number format and first number.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace corvane {

// One \listlevel.
class TListLevel {
public:
    // 0 before any \levelnfc, 1 numbered, 2 bullet.
    std::uint8_t LevelStyle = 0;
    std::int32_t NumberFormat = 0; // \levelnfcN
    std::int32_t StartAt = 1;      // \levelstartatN

    // Number format 23 is the bullet; every other format numbers.
    void SetNumberFormat(std::int32_t Format) {
        LevelStyle = Format == 23 ? 2 : 1;
        NumberFormat = Format;
    }
};

// One \list.
class TListTable {
public:
    virtual ~TListTable() = default;

    std::vector<TListLevel> Levels;
    std::int32_t ListId = 0;
    std::int32_t ListTemplateId = 0;
    std::int32_t OverrideNumber = 0; // used by overrides: their \ls number

    // Appends a level and returns its index.
    std::size_t AddLevel();
    // Only valid while the list has a level.
    TListLevel& LastLevel();
    // Only the last level decides.
    bool IsBullet() const { return !Levels.empty() && Levels.back().LevelStyle == 2; }
};

// One \listoverride: ListId names the list it overrides, OverrideNumber is what paragraphs use with \ls.
class TListOverrideTable : public TListTable {};

// The store the document writer fills on the reader's behalf. Operations that find nothing to act on
// (a \listid before any \list, a \levelnfc before any level) are ignored: a malformed header must not
// end the conversion.
class TListHeaderInfo {
public:
    void AddList();
    void AddOverride();
    // Goes to the last override once there is one, to the last list before that.
    void AddLevel();
    void SetListId(std::int32_t Id);
    void SetOverrideListId(std::int32_t Id);
    void SetListTemplateId(std::int32_t Id);
    // Sets the last override's number and registers it under that number.
    void SetOverrideNumber(std::int32_t Number);
    // The last level of the last override if there is one, otherwise of the last list.
    void SetLevelNumberFormat(std::int32_t Format);
    void SetLevelStartAt(std::int32_t Start);
    bool IsBulletList(std::int32_t OverrideNumber) const;
    // The definition of a level of the list an override names (the override's own levels when it names
    // no list), or null when there is none.
    const TListLevel* FindLevel(std::int32_t OverrideNumber, std::int32_t Level) const;

    const std::vector<std::unique_ptr<TListTable>>& Lists() const { return FLists; }
    const std::vector<std::unique_ptr<TListOverrideTable>>& Overrides() const { return FOverrides; }

private:
    using TFirstListIndex = std::unordered_map<std::int32_t, std::size_t>;

    TListTable* LevelOwner();
    void ResolveOverride(const TListOverrideTable& Override);
    // Keeps FirstIndex pointing at the first list holding each value when the last list's value changes.
    void ChangeLastListValue(TFirstListIndex& FirstIndex, std::int32_t& Field, std::int32_t Value);

    std::vector<std::unique_ptr<TListTable>> FLists;
    std::vector<std::unique_ptr<TListOverrideTable>> FOverrides;
    // Not owning: the entries point into FLists.
    std::unordered_map<std::int32_t, const TListTable*> FOverrideMap;
    // An override resolves to the first list whose id or template id matches; these indexes answer that
    // without walking all lists for every override.
    TFirstListIndex FFirstByListId;
    TFirstListIndex FFirstByTemplateId;
};

} // namespace corvane
