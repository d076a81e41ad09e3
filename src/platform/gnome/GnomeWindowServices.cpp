#include "platform/gnome/GnomeWindowServices.h"

#include <systemd/sd-bus.h>

#include <cstring>

#include "platform/PlatformError.h"

namespace tamberlyn {
namespace {

constexpr char kPath[] = "/example/quillmark/Tamberlyn/Shell";
constexpr char kInterface[] = "example.quillmark.Tamberlyn.Windows1";

std::string errorText(int code) { return std::strerror(code < 0 ? -code : code); }

// sd-bus frees with these; each reader below fails as a whole on a malformed message.
struct MessageRef {
    sd_bus_message* m = nullptr;
    ~MessageRef() { sd_bus_message_unref(m); }
};

}  // namespace

struct GnomeWindowServices::Signals {
    static GnomeWindowServices& self(void* data) { return *static_cast<GnomeWindowServices*>(data); }

    static int windowSignal(sd_bus_message* m, void* data, sd_bus_error*) {
        GnomeWindowServices& s = self(data);
        const char* sender = sd_bus_message_get_sender(m);
        if (sender == nullptr || s.extension_ != sender) return 0;
        std::uint64_t id = 0, parent = 0;
        std::uint32_t pid = 0;
        const char* title = nullptr;
        const char* kind = nullptr;
        // A window changed (title, parent) is described again, whole.
        if ((sd_bus_message_is_signal(m, kInterface, "Added") || sd_bus_message_is_signal(m, kInterface, "Changed")) &&
            sd_bus_message_read(m, "(tsuts)", &id, &title, &pid, &parent, &kind) > 0) {
            s.add(id, title, pid, parent);
        } else if (sd_bus_message_is_signal(m, kInterface, "Removed") && sd_bus_message_read(m, "t", &id) > 0) {
            s.table_.remove(s.table_.handleOf(id));
        }
        return 0;
    }

    // The extension's name changed hands: disabled, or the shell ended.
    static int ownerChanged(sd_bus_message* m, void* data, sd_bus_error*) {
        const char* name = nullptr;
        const char* before = nullptr;
        const char* after = nullptr;
        if (sd_bus_message_read(m, "sss", &name, &before, &after) > 0 && std::strcmp(name, kBusName) == 0) {
            self(data).lose("Tamberlyn's GNOME Shell extension stopped (it was disabled, or GNOME Shell ended).");
        }
        return 0;
    }

    static int closeAnswered(sd_bus_message* m, void* data, sd_bus_error*) {
        if (const sd_bus_error* e = sd_bus_message_get_error(m)) {
            self(data).lose(std::string("Tamberlyn's GNOME Shell extension did not close a window: ") +
                            (e->message != nullptr ? e->message : e->name) + ".");
        }
        return 0;
    }
};

GnomeWindowServices::GnomeWindowServices(std::int64_t ownPid, ToplevelTable::TimeSource now)
    : ToplevelWindowServices(std::move(now)), ownPid_(ownPid) {
    if (const int r = sd_bus_open_user(&bus_); r < 0) {
        throw PlatformError("Tamberlyn cannot reach the session bus: " + errorText(r) + ".");
    }
    // Listening first: the extension signals from the moment it has answered List.
    if (sd_bus_match_signal(bus_, &signals_, nullptr, kPath, kInterface, nullptr, &Signals::windowSignal, this) < 0 ||
        // Of the extension's name only: other clients' comings and goings never wake the program.
        sd_bus_add_match(bus_, &owner_,
                         "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                         "member='NameOwnerChanged',arg0='example.quillmark.Tamberlyn.Shell'",
                         &Signals::ownerChanged, this) < 0) {
        sd_bus_flush_close_unref(bus_);
        throw PlatformError("Tamberlyn cannot listen on the session bus.");
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    MessageRef reply;
    if (sd_bus_call_method(bus_, kBusName, kPath, kInterface, "List", &error, &reply.m, "") < 0) {
        std::string why = error.message != nullptr ? error.message : errorText(sd_bus_error_get_errno(&error));
        sd_bus_error_free(&error);
        sd_bus_slot_unref(signals_);
        sd_bus_slot_unref(owner_);
        sd_bus_flush_close_unref(bus_);
        throw PlatformError("Tamberlyn's GNOME Shell extension did not list the windows: " + why);
    }
    extension_ = sd_bus_message_get_sender(reply.m) != nullptr ? sd_bus_message_get_sender(reply.m) : "";
    // Parents may come after their children: each is known before any parent is set.
    struct Listed {
        std::uint64_t id, parent;
    };
    std::vector<Listed> listed;
    if (sd_bus_message_enter_container(reply.m, 'a', "(tsuts)") > 0) {
        std::uint64_t id = 0, parent = 0;
        std::uint32_t pid = 0;
        const char* title = nullptr;
        const char* kind = nullptr;
        while (sd_bus_message_read(reply.m, "(tsuts)", &id, &title, &pid, &parent, &kind) > 0) {
            add(id, title, pid, 0);
            listed.push_back({id, parent});
        }
    }
    for (const Listed& l : listed) {
        const WindowHandle h = table_.handleOf(l.id);
        table_.setParent(h, table_.handleOf(l.parent));
        table_.commit(h);
    }
}

GnomeWindowServices::~GnomeWindowServices() {
    sd_bus_slot_unref(signals_);
    sd_bus_slot_unref(owner_);
    sd_bus_flush_close_unref(bus_);
}

WindowHandle GnomeWindowServices::add(ToplevelTable::Key id, const char* title, std::uint32_t pid,
                                      ToplevelTable::Key parent) {
    WindowHandle h = table_.handleOf(id);
    if (h == 0) h = table_.add(id);
    table_.setTitle(h, title != nullptr ? title : "");
    table_.setPid(h, pid);
    table_.setParent(h, table_.handleOf(parent));
    table_.commit(h);
    return h;
}

int GnomeWindowServices::fileDescriptor() const { return sd_bus_get_fd(bus_); }

bool GnomeWindowServices::processEvents() {
    throwIfLost();
    const std::uint64_t before = table_.changes();
    int r = 0;
    while ((r = sd_bus_process(bus_, nullptr)) > 0) {
    }
    if (r < 0) lose("The session bus was lost: " + errorText(r) + ".");
    throwIfLost();
    return table_.changes() != before;
}

void GnomeWindowServices::sendClose(ToplevelTable::Key id) {
    const int r = sd_bus_call_method_async(bus_, nullptr, kBusName, kPath, kInterface, "Close",
                                           &Signals::closeAnswered, this, "t", id);
    if (r < 0) lose("Tamberlyn could not ask GNOME Shell to close a window: " + errorText(r) + ".");
    if (r >= 0 && sd_bus_flush(bus_) < 0) lose("The session bus was lost.");
}

}  // namespace tamberlyn
