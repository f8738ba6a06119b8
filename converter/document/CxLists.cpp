#include "CxLists.h"

#include <algorithm>
#include <cassert>

namespace corvane {

std::size_t TListTable::AddLevel() {
    Levels.emplace_back();
    return Levels.size() - 1;
}

TListLevel& TListTable::LastLevel() {
    assert(!Levels.empty());
    return Levels.back();
}

void TListHeaderInfo::AddList() {
    FLists.push_back(std::make_unique<TListTable>());
    const std::size_t index = FLists.size() - 1;
    // A new list holds id 0 and template id 0 until told otherwise.
    FFirstByListId.emplace(0, index);
    FFirstByTemplateId.emplace(0, index);
}

void TListHeaderInfo::AddOverride() {
    FOverrides.push_back(std::make_unique<TListOverrideTable>());
}

TListTable* TListHeaderInfo::LevelOwner() {
    if (!FOverrides.empty()) return FOverrides.back().get();
    if (!FLists.empty()) return FLists.back().get();
    return nullptr;
}

void TListHeaderInfo::AddLevel() {
    if (TListTable* owner = LevelOwner()) owner->AddLevel();
}

void TListHeaderInfo::ChangeLastListValue(TFirstListIndex& FirstIndex, std::int32_t& Field,
                                          std::int32_t Value) {
    if (Field == Value) return;
    const std::size_t last = FLists.size() - 1;
    // The last list has the highest index, so when it is the first holder of its old value it is the only
    // one.
    auto old = FirstIndex.find(Field);
    if (old != FirstIndex.end() && old->second == last) FirstIndex.erase(old);
    Field = Value;
    FirstIndex.emplace(Value, last);
}

void TListHeaderInfo::SetListId(std::int32_t Id) {
    if (FLists.empty()) return;
    ChangeLastListValue(FFirstByListId, FLists.back()->ListId, Id);
}

void TListHeaderInfo::SetListTemplateId(std::int32_t Id) {
    if (FLists.empty()) return;
    ChangeLastListValue(FFirstByTemplateId, FLists.back()->ListTemplateId, Id);
}

void TListHeaderInfo::SetOverrideListId(std::int32_t Id) {
    if (!FOverrides.empty()) FOverrides.back()->ListId = Id;
}

void TListHeaderInfo::SetOverrideNumber(std::int32_t Number) {
    if (FOverrides.empty()) return;
    FOverrides.back()->OverrideNumber = Number;
    ResolveOverride(*FOverrides.back());
}

void TListHeaderInfo::ResolveOverride(const TListOverrideTable& Override) {
    if (Override.OverrideNumber == 0) return;
    std::size_t first = FLists.size();
    if (auto found = FFirstByListId.find(Override.ListId); found != FFirstByListId.end())
        first = found->second;
    if (auto found = FFirstByTemplateId.find(Override.ListId); found != FFirstByTemplateId.end())
        first = std::min(first, found->second);
    if (first == FLists.size()) return; // matches no list: the override alone decides
    // A number defined twice keeps the list it was first given.
    FOverrideMap.emplace(Override.OverrideNumber, FLists[first].get());
}

void TListHeaderInfo::SetLevelNumberFormat(std::int32_t Format) {
    TListTable* owner = LevelOwner();
    if (owner && !owner->Levels.empty()) owner->LastLevel().SetNumberFormat(Format);
}

void TListHeaderInfo::SetLevelStartAt(std::int32_t Start) {
    TListTable* owner = LevelOwner();
    if (owner && !owner->Levels.empty()) owner->LastLevel().StartAt = Start;
}

const TListLevel* TListHeaderInfo::FindLevel(std::int32_t OverrideNumber, std::int32_t Level) const {
    if (Level < 0) return nullptr;
    const TListTable* list = nullptr;
    if (auto found = FOverrideMap.find(OverrideNumber); found != FOverrideMap.end())
        list = found->second;
    else if (OverrideNumber > 0 && static_cast<std::size_t>(OverrideNumber) <= FOverrides.size())
        list = FOverrides[static_cast<std::size_t>(OverrideNumber) - 1].get();
    if (list == nullptr || static_cast<std::size_t>(Level) >= list->Levels.size()) return nullptr;
    const TListLevel& found = list->Levels[static_cast<std::size_t>(Level)];
    return found.LevelStyle == 0 ? nullptr : &found;
}

bool TListHeaderInfo::IsBulletList(std::int32_t OverrideNumber) const {
    if (OverrideNumber == 0) return false;
    // The override at position N (counting from 1) is asked first; a number with no override at that
    // position goes straight to the map instead of ending the conversion.
    if (OverrideNumber > 0 && static_cast<std::size_t>(OverrideNumber) <= FOverrides.size() &&
        FOverrides[static_cast<std::size_t>(OverrideNumber) - 1]->IsBullet())
        return true;
    auto found = FOverrideMap.find(OverrideNumber);
    return found != FOverrideMap.end() && found->second->IsBullet();
}

} // namespace corvane
