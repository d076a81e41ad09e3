#include "watchlist/WatchListStore.h"

#include <string_view>
#include <utility>

#include "common/Settings.h"

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
    // Every entry the program stores ends with the separator, so text after the last one was
    // written by hand or cut short: it is an entry all the same. Only the end of a separator
    // cut short keeps it from loading back unchanged; that part is no entry's text.
    std::string last = stored.substr(start);
    if (!last.empty() && !LoadsBackUnchanged(last)) {
        std::size_t cut = kEntrySeparator.size() - 1;
        while (cut > 0 && !last.ends_with(std::string_view(kEntrySeparator).substr(0, cut))) --cut;
        last.resize(last.size() - cut);
    }
    if (!last.empty()) entries.push_back(std::move(last));
    return entries;
}

bool LoadsBackUnchanged(const std::string& entry) {
    // A separator found before the entry's own one ends inside that one, so the entries
    // after it play no part: the entry and its separator alone decide.
    return !entry.empty() && (entry + kEntrySeparator).find(kEntrySeparator) == entry.size();
}

void SaveWatchList(SettingsStore& store, const WatchList& list) {
    SaveSetting(store, kApplicationName, kSectionName, kKeyListview, JoinWatchList(list.rows()));
}

std::vector<std::string> LoadWatchList(SettingsStore& store) {
    return SplitWatchList(GetSetting(store, kApplicationName, kSectionName, kKeyListview));
}

}  // namespace tamberlyn
