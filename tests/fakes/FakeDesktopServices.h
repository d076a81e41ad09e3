#pragma once
// The remaining small platform services in memory.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/LogonEntry.h"
#include "platform/PlatformError.h"
#include "platform/ProgramFiles.h"
#include "platform/ProgramLauncher.h"
#include "platform/RandomSource.h"
#include "platform/SkinEngine.h"

namespace tamberlyn::fakes {

class FakeProgramFiles : public ProgramFiles {
public:
    std::string executablePath() const override { return exe; }
    char separator() const override { return sep; }
    bool modificationTimeReadable(const std::string& path) const override { return files.count(path) != 0; }
    bool isOrdinaryFile(const std::string& path) const override {
        return files.count(path) != 0 && !hidden.count(path);
    }

    std::string exe = "C:\\Apps\\Tamberlyn\\Tamberlyn.exe";
    char sep = '\\';
    std::set<std::string> files;
    std::set<std::string> hidden;
};

class FakeLauncher : public ProgramLauncher {
public:
    void startProgram(const std::string& name, const std::string& directory) override {
        started.push_back(name + " in " + directory);
        if (onStart) onStart(name);
    }
    void openWebPage(const std::string& address) override { pages.push_back(address); }

    std::vector<std::string> started;
    std::vector<std::string> pages;
    std::function<void(const std::string&)> onStart;
};

class FakeLogonEntry : public LogonEntry {
public:
    void add() override {
        calls.push_back("add");
        if (refuse) throw PlatformError("Access is denied.");
        present = true;
    }
    void remove() override {
        calls.push_back("remove");
        if (present && keep) throw PlatformError("The entry is read-only.");
        present = false;
    }

    bool present = false;
    bool refuse = false;
    bool keep = false;  // an entry present stays
    std::vector<std::string> calls;
};

// Keeps what a real engine would: the skin loaded, the options in force, and what each
// window was skinned with.
class FakeSkinEngine : public SkinEngine {
public:
    struct Skinned {
        WindowHandle window;
        std::string skin;
        std::int32_t options;
        bool metrics;
        bool colors;
        bool operator==(const Skinned&) const = default;
    };

    void loadSkin(const std::string& path, const std::string& /*ini*/) override {
        if (failLoad) throw PlatformError("The skin file is damaged");
        loaded = path;
    }
    std::int32_t applyOptions() const override { return options; }
    void setApplyOptions(std::int32_t value) override { options = value; }
    void setApplyMetrics(bool on) override { metrics = on; }
    void setApplyColors(bool on) override { colors = on; }
    void applyWindow(WindowHandle window) override { skinned.push_back({window, loaded, options, metrics, colors}); }

    std::string loaded;
    std::int32_t options = 0x40;
    bool metrics = false;
    bool colors = false;
    bool failLoad = false;
    std::vector<Skinned> skinned;
};

class FakeDesktop : public Desktop {
public:
    Picture applicationIcon() override { return {PictureType::Icon, 0x51}; }
    int loadCursorFile(const std::string& path) override {
        if (failCursor) throw PlatformError("Invalid picture");
        loadedCursors.push_back(path);
        return 9;
    }
    void endProcess() override { ++ended; }

    bool failCursor = false;
    std::vector<std::string> loadedCursors;
    int ended = 0;
};

class FakeRandom : public RandomSource {
public:
    void seedFromClock() override { ++seeds; }
    double nextFraction() override { return fraction; }

    double fraction = 0.5;
    int seeds = 0;
};

}  // namespace tamberlyn::fakes
