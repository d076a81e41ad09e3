// The program killed at any moment of a save leaves the settings file with the list as it
// was before that save or as it is after it: never a part of one, never the file emptied;
// and the next save goes ahead without waiting for the killed one.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <random>
#include <string>

#include "platform/qt/QtSettingsStore.h"
#include "common/Settings.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn {
namespace {

// As settings_saver makes them.
std::string storedList(const char* name, int entries) {
    std::vector<std::string> rows;
    for (int i = 0; i < entries; ++i) rows.push_back(std::string(name) + " window title " + std::to_string(i));
    return JoinWatchList(rows);
}

TEST(SaveKilled, TheFileHoldsOneWholeListOrTheOtherWhereverTheSaveWasKilled) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QtSettingsStore store;
    store.write(kApplicationName, kSectionName, kKeyStartStopState, kOn);  // what the saves do not touch

    // Lists of some 20 and 30 KB: a save takes long enough to be caught in the middle.
    constexpr int kFirst = 800;
    constexpr int kSecond = 1200;
    const std::string first = storedList("first", kFirst);
    const std::string second = storedList("second", kSecond);
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> moment(0, 20000);  // microseconds after the first save
    int firsts = 0;
    int seconds = 0;
    for (int round = 1; round <= 100; ++round) {
        QProcess saver;
        saver.start(TAMBERLYN_SETTINGS_SAVER, {QString::number(kFirst), QString::number(kSecond)});
        // Not held up by what the killed save before left behind (QSettings would wait 30 s).
        ASSERT_TRUE(saver.waitForReadyRead(15000)) << "round " << round << ": " << saver.errorString().toStdString();
        QThread::usleep(static_cast<unsigned long>(moment(random)));
        saver.kill();  // SIGKILL
        ASSERT_TRUE(saver.waitForFinished(20000));
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << "round " << round << ": it was still saving";

        const std::optional<std::string> list = store.read(kApplicationName, kSectionName, kKeyListview);
        ASSERT_TRUE(list == first || list == second)
            << "round " << round << ": " << (list ? list->size() : 0) << " bytes, neither list";
        (list == first ? firsts : seconds)++;
        ASSERT_EQ(store.read(kApplicationName, kSectionName, kKeyStartStopState), kOn) << "round " << round;
    }
    // Both ends were caught: the kills came at many moments of the loop.
    EXPECT_GT(firsts, 0);
    EXPECT_GT(seconds, 0);
}

}  // namespace
}  // namespace tamberlyn
