// Saves the watch list over and over, alternating between two lists, as the program saves
// it after each edit; says "saving" once the first save is done. Killed by the test.
//
//   settings_saver <entries of the first list> <entries of the second>

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "platform/qt/QtSettingsStore.h"
#include "watchlist/WatchListStore.h"

namespace {

void fill(tamberlyn::WatchList& list, const char* name, int entries) {
    for (int i = 0; i < entries; ++i) list.add(std::string(name) + " window title " + std::to_string(i));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 3) return 2;
    tamberlyn::WatchList lists[2];
    fill(lists[0], "first", std::stoi(argv[1]));
    fill(lists[1], "second", std::stoi(argv[2]));
    tamberlyn::QtSettingsStore store;
    for (unsigned long n = 0;; ++n) {
        tamberlyn::SaveWatchList(store, lists[n % 2]);
        if (n == 0) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
