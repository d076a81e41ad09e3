// The stored watch list: whatever bytes the settings store hands over.
//
// Properties: every entry a stored value gives is one the list accepts (LoadsBackUnchanged),
// and the list saved again loads back identically, never longer than what was stored with a
// separator after its last entry. The same bytes read as typed entries: LoadsBackUnchanged
// says exactly which entries a save and a load give back alone, and a list of accepted
// entries comes back whole, whatever stands around each one.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FakeSettingsStore.h"
#include "FuzzSupport.h"
#include "watchlist/WatchListStore.h"

using namespace tamberlyn;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string stored(reinterpret_cast<const char*>(data), size);

    fakes::FakeSettingsStore store;
    store.set("Listview", stored);
    const std::vector<std::string> entries = LoadWatchList(store);
    for (const std::string& entry : entries) Require(LoadsBackUnchanged(entry), "a loaded entry is one the list accepts");
    WatchList list;
    list.addRows(entries);
    SaveWatchList(store, list);
    Require(store.get("Listview")->size() <= stored.size() + kEntrySeparator.size(),
            "the list saved again is no longer than what was stored and the separator its last entry lacked");
    Require(LoadWatchList(store) == entries, "what is saved loads back identically");

    FuzzedDataProvider provider(data, size);
    std::vector<std::string> accepted;
    for (int n = 0; n < 32 && provider.remaining_bytes() > 0; ++n) {
        const std::string entry = provider.ConsumeRandomLengthString(48);
        const bool comesBackAlone = SplitWatchList(JoinWatchList({entry})) == std::vector<std::string>{entry};
        Require(LoadsBackUnchanged(entry) == comesBackAlone, "LoadsBackUnchanged agrees with a save and a load");
        if (comesBackAlone) accepted.push_back(entry);
    }
    Require(SplitWatchList(JoinWatchList(accepted)) == accepted, "a list of accepted entries comes back whole");
    return 0;
}
