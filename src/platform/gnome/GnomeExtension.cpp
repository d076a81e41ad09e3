#include "platform/gnome/GnomeExtension.h"

#include <systemd/sd-bus.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gnome/GnomeWindowServices.h"

namespace tamberlyn {
namespace {

// The shell's own numbers for an extension's state (ExtensionState in its extensionUtils).
constexpr double kEnabled = 1;
constexpr double kError = 3;
constexpr double kOutOfDate = 4;
constexpr double kUninstalled = 99;

struct Bus {
    sd_bus* bus = nullptr;
    ~Bus() { sd_bus_flush_close_unref(bus); }
};
struct Message {
    sd_bus_message* m = nullptr;
    ~Message() { sd_bus_message_unref(m); }
};

int shellMajor(sd_bus* bus) {
    char* version = nullptr;
    if (sd_bus_get_property_string(bus, "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "ShellVersion",
                                   nullptr, &version) < 0) {
        return -1;
    }
    const int major = std::atoi(version);
    std::free(version);
    return major;
}

// Where the shell looks for extensions besides its user's folder.
bool InstalledSomewhere(const std::string& uuid) {
    std::vector<std::string> dirs;
    const char* home = std::getenv("XDG_DATA_HOME");
    if (home != nullptr && *home != '\0') {
        dirs.emplace_back(home);
    } else if (const char* h = std::getenv("HOME")) {
        dirs.push_back(std::string(h) + "/.local/share");
    }
    const char* shared = std::getenv("XDG_DATA_DIRS");
    std::stringstream list(shared != nullptr && *shared != '\0' ? shared : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(list, dir, ':');) dirs.push_back(dir);
    std::error_code ignored;
    for (const std::string& dir : dirs) {
        if (std::filesystem::exists(dir + "/gnome-shell/extensions/" + uuid + "/metadata.json", ignored)) return true;
    }
    return false;
}

}  // namespace

std::optional<GnomeExtension> ProbeGnomeExtension() {
    Bus bus;
    if (sd_bus_open_user(&bus.bus) < 0) return std::nullopt;
    const int major = shellMajor(bus.bus);
    if (major < 0) return std::nullopt;
    GnomeExtension extension;
    extension.uuid = major >= 45 ? TAMBERLYN_GNOME_UUID : TAMBERLYN_GNOME43_UUID;

    Message reply;
    if (sd_bus_call_method(bus.bus, "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell.Extensions",
                           "GetExtensionInfo", nullptr, &reply.m, "s", extension.uuid.c_str()) < 0) {
        return std::nullopt;
    }
    double state = kUninstalled;
    std::string path;
    bool known = false;
    if (sd_bus_message_enter_container(reply.m, 'a', "{sv}") > 0) {
        while (sd_bus_message_enter_container(reply.m, 'e', "sv") > 0) {
            known = true;
            const char* key = nullptr;
            const char* text = nullptr;
            sd_bus_message_read(reply.m, "s", &key);
            const std::string name = key != nullptr ? key : "";
            if (name == "state") {
                sd_bus_message_read(reply.m, "v", "d", &state);
            } else if ((name == "error" || name == "path") && sd_bus_message_read(reply.m, "v", "s", &text) > 0) {
                (name == "error" ? extension.error : path) = text;
            } else {
                sd_bus_message_skip(reply.m, "v");
            }
            sd_bus_message_exit_container(reply.m);
        }
    }
    if (!known || state == kUninstalled) {
        extension.state = InstalledSomewhere(extension.uuid) ? GnomeExtension::State::NotLoaded
                                                             : GnomeExtension::State::NotInstalled;
    } else if (state == kError || state == kOutOfDate) {
        extension.state = GnomeExtension::State::Failed;
        if (state == kOutOfDate) extension.error = "it is not meant for this version of GNOME Shell";
    } else if (state != kEnabled) {
        extension.state = GnomeExtension::State::Disabled;
    } else {
        Message answer;
        int owned = 0;
        if (sd_bus_call_method(bus.bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "NameHasOwner", nullptr, &answer.m, "s", GnomeWindowServices::kBusName) >= 0) {
            sd_bus_message_read(answer.m, "b", &owned);
        }
        extension.state = owned != 0 ? GnomeExtension::State::Running : GnomeExtension::State::Failed;
        if (owned == 0) extension.error = "it is enabled, but not on the session bus";
    }
    std::ifstream program(path + "/program");
    std::getline(program, extension.program);
    return extension;
}

}  // namespace tamberlyn
