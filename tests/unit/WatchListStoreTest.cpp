#include <gtest/gtest.h>

#include "FakeSettingsStore.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn {
namespace {

const std::string S = kEntrySeparator;

std::vector<std::string> loadFrom(const std::string& stored) {
    fakes::FakeSettingsStore store;
    store.set("Listview", stored);
    ListView list("ListView1", {}, 0, "");
    LoadWatchList(store, list);
    return list.rows();
}

TEST(WatchListStore, StoresEveryEntryFollowedByTheSeparator) {
    fakes::FakeSettingsStore store;
    ListView list("ListView1", {}, 0, "");
    list.add("Calculator");
    list.add("Notepad");
    SaveWatchList(store, list);
    EXPECT_EQ(store.get("Listview"), "Calculator||||||||---|||Notepad||||||||---|||");
    EXPECT_EQ(store.get("Listview")->size(), 45u);
    EXPECT_EQ(loadFrom(*store.get("Listview")), (std::vector<std::string>{"Calculator", "Notepad"}));
}

TEST(WatchListStore, EmptyListIsStoredAsEmptyValueAndMissingKeyLoadsNothing) {
    fakes::FakeSettingsStore store;
    ListView list("ListView1", {}, 0, "");
    SaveWatchList(store, list);
    EXPECT_EQ(store.get("Listview"), "");
    EXPECT_TRUE(loadFrom("").empty());

    fakes::FakeSettingsStore empty;
    LoadWatchList(empty, list);
    EXPECT_EQ(list.count(), 0);
}

TEST(WatchListStore, TextAfterTheLastSeparatorIsDroppedAndEmptyPiecesSkipped) {
    EXPECT_TRUE(loadFrom("abc").empty());
    EXPECT_EQ(loadFrom("a" + S + "b"), std::vector<std::string>{"a"});
    EXPECT_EQ(loadFrom("a" + S + S + "b" + S), (std::vector<std::string>{"a", "b"}));
}

TEST(WatchListStore, EntriesSurviveARoundTripExactly) {
    const std::vector<std::string> entries{"  padded  ", "dup", "dup", "MiXeD", "abc|", "école", "привет"};
    fakes::FakeSettingsStore store;
    ListView list("ListView1", {}, 0, "");
    for (const auto& e : entries) list.add(e);
    SaveWatchList(store, list);
    EXPECT_EQ(loadFrom(*store.get("Listview")), entries);
}

TEST(WatchListStore, LoadingAppendsBehindEntriesAlreadyThere) {
    fakes::FakeSettingsStore store;
    store.set("Listview", "b" + S);
    ListView list("ListView1", {}, 0, "");
    list.add("a");
    LoadWatchList(store, list);
    EXPECT_EQ(list.rows(), (std::vector<std::string>{"a", "b"}));
}

TEST(WatchListStore, FailedSaveLeavesTheEarlierValue) {
    fakes::FakeSettingsStore store;
    store.set("Listview", "old" + S);
    store.failWrites = true;
    ListView list("ListView1", {}, 0, "");
    list.add("new");
    EXPECT_ANY_THROW(SaveWatchList(store, list));
    EXPECT_EQ(store.get("Listview"), "old" + S);
}

}  // namespace
}  // namespace tamberlyn
