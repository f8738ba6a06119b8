#include "CxLists.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

// A list with the given level formats, in order.
void AddList(TListHeaderInfo& Store, std::int32_t ListId, std::int32_t TemplateId,
             std::initializer_list<std::int32_t> Formats) {
    Store.AddList();
    for (std::int32_t format : Formats) {
        Store.AddLevel();
        Store.SetLevelNumberFormat(format);
    }
    Store.SetListId(ListId); // written after the levels, as documents do
    Store.SetListTemplateId(TemplateId);
}

void AddOverride(TListHeaderInfo& Store, std::int32_t ListId, std::int32_t Number) {
    Store.AddOverride();
    Store.SetOverrideListId(ListId);
    Store.SetOverrideNumber(Number);
}

TEST(ListStore, OnlyTheLastLevelOfTheResolvedListDecides) {
    TListHeaderInfo store;
    AddList(store, 5, 900, {23, 23, 23, 23, 23, 23, 23, 23, 23});
    AddList(store, 6, 901, {23, 0});
    AddList(store, 7, 902, {});
    AddOverride(store, 5, 1);
    AddOverride(store, 6, 2);
    AddOverride(store, 902, 3); // by template id
    AddOverride(store, 0, 0);   // number 0 is never registered
    EXPECT_TRUE(store.IsBulletList(1));
    EXPECT_FALSE(store.IsBulletList(2));
    EXPECT_FALSE(store.IsBulletList(3)); // a list without levels numbers
    EXPECT_FALSE(store.IsBulletList(0));
    EXPECT_FALSE(TListHeaderInfo().IsBulletList(0));
}

TEST(ListStore, OverrideResolvesToTheFirstMatchingListInDocumentOrder) {
    TListHeaderInfo store;
    AddList(store, 1, 44, {0});  // first: matches 44 by its template id
    AddList(store, 44, 2, {23}); // matches 44 by its id, but comes later
    AddList(store, 3, 4, {23});
    store.SetListId(30); // the id a list had before is no longer matched
    store.SetListId(31);
    AddOverride(store, 44, 1);
    AddOverride(store, 3, 2);
    AddOverride(store, 31, 3);
    EXPECT_FALSE(store.IsBulletList(1));
    EXPECT_FALSE(store.IsBulletList(2));
    EXPECT_TRUE(store.IsBulletList(3));
}

TEST(ListStore, LevelsAfterTheFirstOverrideBelongToTheLastOverride) {
    TListHeaderInfo store;
    AddList(store, 5, 0, {0});
    AddOverride(store, 5, 1);
    store.AddLevel();
    store.SetLevelNumberFormat(23);
    EXPECT_TRUE(store.IsBulletList(1)); // the override's own level says bullet
    EXPECT_FALSE(store.Lists()[0]->IsBullet());
    ASSERT_EQ(store.Overrides()[0]->Levels.size(), 1u);

    // Without a list or an override, levels and ids have no target and are ignored.
    TListHeaderInfo untargeted;
    untargeted.AddLevel();
    untargeted.SetLevelNumberFormat(23);
    untargeted.SetListId(1);
    untargeted.SetListTemplateId(1);
    untargeted.SetOverrideListId(1);
    untargeted.SetOverrideNumber(1);
    untargeted.AddList();
    untargeted.SetLevelNumberFormat(23); // the list has no level yet
    EXPECT_TRUE(untargeted.Lists()[0]->Levels.empty());
    EXPECT_FALSE(untargeted.IsBulletList(1));
}

TEST(ListStore, NumbersWithoutAnOverrideAtTheirPositionAskTheMap) {
    TListHeaderInfo store;
    AddList(store, 5, 0, {23});
    AddList(store, 6, 0, {0});
    AddOverride(store, 5, 7); // at position 1, registered as 7
    AddOverride(store, 6, 7); // defined twice: the first list stays
    EXPECT_TRUE(store.IsBulletList(7));
    EXPECT_FALSE(store.IsBulletList(8));
    EXPECT_FALSE(store.IsBulletList(-1));
    EXPECT_FALSE(store.IsBulletList(2)); // position 2 numbers, and 2 is not in the map
}

} // namespace
} // namespace corvane
