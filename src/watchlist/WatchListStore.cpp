#include "watchlist/WatchListStore.h"

#include "shell/Settings.h"

namespace tamberlyn {

std::string JoinWatchList(const std::vector<std::string>& entries) {
    std::string stored;
    for (const std::string& entry : entries) {
        stored += entry;
        stored += kEntrySeparator;
    }
    return stored;
}

std::vector<std::string> SplitWatchList(const std::string& stored) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t found = stored.find(kEntrySeparator); found != std::string::npos;
         found = stored.find(kEntrySeparator, start)) {
        if (found > start) entries.push_back(stored.substr(start, found - start));
        start = found + kEntrySeparator.size();
    }
    return entries;
}

bool LoadsBackUnchanged(const std::string& entry) {
    // A separator found before the entry's own one ends inside that one, so the entries
    // after it play no part: the entry and its separator alone decide.
    return !entry.empty() && (entry + kEntrySeparator).find(kEntrySeparator) == entry.size();
}

void SaveWatchList(SettingsStore& store, const ListView& list) {
    SaveSetting(store, kApplicationName, kSectionName, kKeyListview, JoinWatchList(list.rows()));
}

void LoadWatchList(SettingsStore& store, ListView& list) {
    list.addRows(SplitWatchList(GetSetting(store, kApplicationName, kSectionName, kKeyListview)));
}

}  // namespace tamberlyn
