#pragma once
// The watch list's stored form: every entry followed by the separator, in one value.

#include <string>
#include <vector>

#include "platform/SettingsStore.h"
#include "watchlist/WatchList.h"

namespace tamberlyn {

inline const std::string kEntrySeparator = "||||||||---|||";

// The stored value for these entries.
std::string JoinWatchList(const std::vector<std::string>& entries);
// The entries a stored value gives, empty pieces skipped. The text after the last separator
// is an entry too, less a separator cut short at its end.
std::vector<std::string> SplitWatchList(const std::string& stored);

// Whether an entry with this text loads back as exactly this text, whatever entries are
// stored around it. Not so when it holds the separator, nor when its end and the start of
// the separator written after it make a separator that the load finds first.
bool LoadsBackUnchanged(const std::string& entry);

void SaveWatchList(SettingsStore& store, const WatchList& list);
// The stored entries, in order.
std::vector<std::string> LoadWatchList(SettingsStore& store);

}  // namespace tamberlyn
