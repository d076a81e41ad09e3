#include <gtest/gtest.h>

#include <random>

#include "FakeSettingsStore.h"
#include "form/ListView.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn {
namespace {

const std::string S = kEntrySeparator;

std::vector<std::string> loadFrom(const std::string& stored) {
    fakes::FakeSettingsStore store;
    store.set("Listview", stored);
    return LoadWatchList(store);
}

// Every text of bars and dashes up to 16 characters, and of bars, dashes and a letter up to 9:
// every way an entry can hold, end in or run into the separator.
std::vector<std::string> generatedEntries() {
    std::vector<std::string> entries;
    const auto allOf = [&](const std::string& alphabet, std::size_t maxLength) {
        std::vector<std::string> shorter{""};
        for (std::size_t length = 1; length <= maxLength; ++length) {
            std::vector<std::string> texts;
            for (const std::string& text : shorter) {
                for (const char c : alphabet) texts.push_back(text + c);
            }
            entries.insert(entries.end(), texts.begin(), texts.end());
            shorter = std::move(texts);
        }
    };
    allOf("|-", 16);
    allOf("|-a", 9);
    return entries;
}

TEST(WatchListStore, StoresEveryEntryFollowedByTheSeparator) {
    fakes::FakeSettingsStore store;
    WatchList list;
    list.add("Calculator");
    list.add("Notepad");
    SaveWatchList(store, list);
    EXPECT_EQ(store.get("Listview"), "Calculator||||||||---|||Notepad||||||||---|||");
    EXPECT_EQ(store.get("Listview")->size(), 45u);
    EXPECT_EQ(loadFrom(*store.get("Listview")), (std::vector<std::string>{"Calculator", "Notepad"}));
}

TEST(WatchListStore, EmptyListIsStoredAsEmptyValueAndMissingKeyLoadsNothing) {
    fakes::FakeSettingsStore store;
    WatchList list;
    SaveWatchList(store, list);
    EXPECT_EQ(store.get("Listview"), "");
    EXPECT_TRUE(loadFrom("").empty());

    fakes::FakeSettingsStore empty;
    EXPECT_TRUE(LoadWatchList(empty).empty());
}

// The program ends every entry with the separator: text after the last one was written by
// hand or cut short, and is an entry all the same, less what is left of a separator.
TEST(WatchListStore, TextAfterTheLastSeparatorIsAnEntryAndEmptyPiecesAreSkipped) {
    EXPECT_EQ(loadFrom("abc"), std::vector<std::string>{"abc"});
    EXPECT_EQ(loadFrom("a" + S + "b"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(loadFrom("a" + S + S + "b" + S), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(loadFrom("a" + S + "Calculator||||||||---|"), (std::vector<std::string>{"a", "Calculator"}));
    EXPECT_EQ(loadFrom("abc||||||||---"), std::vector<std::string>{"abc"});
    EXPECT_EQ(loadFrom("a" + S + "||||||||---||"), std::vector<std::string>{"a"});
    EXPECT_EQ(loadFrom("abc|"), std::vector<std::string>{"abc|"});
}

TEST(WatchListStore, EntriesSurviveARoundTripExactly) {
    const std::vector<std::string> entries{"  padded  ", "dup", "dup", "MiXeD", "abc|", "école", "привет"};
    fakes::FakeSettingsStore store;
    WatchList list;
    for (const auto& e : entries) list.add(e);
    SaveWatchList(store, list);
    EXPECT_EQ(loadFrom(*store.get("Listview")), entries);
}

TEST(WatchListStore, AnEntryIsAcceptedExactlyWhenItLoadsBackUnchanged) {
    std::vector<std::string> wrong;
    int refused = 0;
    for (const std::string& entry : generatedEntries()) {
        const bool comesBack = SplitWatchList(JoinWatchList({entry})) == std::vector<std::string>{entry};
        if (LoadsBackUnchanged(entry) != comesBack) wrong.push_back(entry);
        refused += comesBack ? 0 : 1;
    }
    EXPECT_EQ(wrong, std::vector<std::string>{});
    EXPECT_GT(refused, 100);

    for (const char* entry : {"abc||||||||---", "abc||||||||---|", "abc||||||||---||", "|||||||||---",
                                     "a||||||||---|||b", "||||||||---|||", ""}) {
        EXPECT_FALSE(LoadsBackUnchanged(entry)) << entry;
    }
    for (const char* entry : {"abc|", "abc||", "abc|||", "||||||||--", "|||||||---", "---|||",
                                     "abc||||||||---x", "||||||||-||"}) {
        EXPECT_TRUE(LoadsBackUnchanged(entry)) << entry;
    }
}

TEST(WatchListStore, ListsOfAcceptedEntriesComeBackWholeAndARefusedOneWouldChangeItsNeighbour) {
    std::vector<std::string> accepted;
    std::vector<std::string> refused;
    for (std::string& entry : generatedEntries()) (LoadsBackUnchanged(entry) ? accepted : refused).push_back(entry);

    // Whatever stands next to an accepted entry, the list comes back as it was.
    std::mt19937 random{20260109};
    std::uniform_int_distribution<std::size_t> pick(0, accepted.size() - 1);
    for (int round = 0; round < 5000; ++round) {
        std::vector<std::string> list(std::uniform_int_distribution<std::size_t>(1, 8)(random));
        for (std::string& entry : list) entry = accepted[pick(random)];
        ASSERT_EQ(SplitWatchList(JoinWatchList(list)), list);
    }

    // Stored, a refused one changes itself or the next entry.
    for (const std::string& entry : refused) {
        const std::vector<std::string> list{entry, "Notepad"};
        ASSERT_NE(SplitWatchList(JoinWatchList(list)), list) << entry;
    }
    EXPECT_EQ(SplitWatchList(JoinWatchList({"abc||||||||---", "Notepad"})),
              (std::vector<std::string>{"abc", "|||||---|||Notepad"}));
}

// A view follows every change of the list: a load that changed it once per entry made a
// view's work grow with the square of the list. The load sequence appends the stored entries
// to ListView1 this way.
TEST(WatchListStore, ALongListLoadsAsOneChangeBehindRowsAlreadyThere) {
    std::vector<std::string> entries;
    for (int i = 0; i < 5000; ++i) entries.push_back("Special offer " + std::to_string(i));
    fakes::FakeSettingsStore store;
    store.set("Listview", JoinWatchList(entries));
    for (const bool alreadyFilled : {false, true}) {
        ListView list("ListView1", {}, 0, "");
        if (alreadyFilled) list.add("a");
        const std::uint64_t revision = list.rowsRevision();
        int changes = 0;
        list.onChange = [&] { ++changes; };
        list.addRows(LoadWatchList(store));
        EXPECT_EQ(changes, 1);
        EXPECT_NE(list.rowsRevision(), revision);
        ASSERT_EQ(list.count(), 5000 + (alreadyFilled ? 1 : 0));
        EXPECT_EQ(list.text(1), alreadyFilled ? "a" : "Special offer 0");
        EXPECT_EQ(list.text(list.count()), "Special offer 4999");
    }

    // Nothing stored: nothing changes.
    ListView list("ListView1", {}, 0, "");
    int changes = 0;
    list.onChange = [&] { ++changes; };
    store.values.clear();
    list.addRows(LoadWatchList(store));
    EXPECT_EQ(changes, 0);
}

TEST(WatchListStore, FailedSaveLeavesTheEarlierValue) {
    fakes::FakeSettingsStore store;
    store.set("Listview", "old" + S);
    store.failWrites = true;
    WatchList list;
    list.add("new");
    EXPECT_ANY_THROW(SaveWatchList(store, list));
    EXPECT_EQ(store.get("Listview"), "old" + S);
}

}  // namespace
}  // namespace tamberlyn
