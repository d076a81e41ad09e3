#pragma once
// The window services of GNOME Shell: every window it manages, native and X11 alike, as
// the project's extension (packaging/gnome-shell) shows them on the session bus. The
// extension answers the installed Tamberlyn only, tells of each change by a signal, and
// closes a window as its own close button does. Mutter's ids are 64-bit: handles are
// minted by the shared table instead.

#include <cstdint>
#include <string>

#include "platform/toplevels/ToplevelWindowServices.h"

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

namespace tamberlyn {

class GnomeWindowServices final : public ToplevelWindowServices {
public:
    static constexpr char kBusName[] = "example.quillmark.Tamberlyn.Shell";

    // Connects to the session bus and lists the windows. The windows of ownPid are the
    // program's own, left out of the list. Throws PlatformError, saying why, when the
    // extension is not on the bus or refuses this program.
    explicit GnomeWindowServices(std::int64_t ownPid, ToplevelTable::TimeSource now = std::chrono::steady_clock::now);
    ~GnomeWindowServices() override;
    GnomeWindowServices(const GnomeWindowServices&) = delete;
    GnomeWindowServices& operator=(const GnomeWindowServices&) = delete;

    // Never replaced: after the extension or the bus went, every call throws PlatformError.
    int fileDescriptor() const override;
    bool processEvents() override;

private:
    struct Signals;
    // Asked without waiting: a hung shell never blocks the caller; the answer comes
    // through processEvents.
    void sendClose(ToplevelTable::Key id) override;
    bool isOwn(const Toplevel& toplevel) const override { return toplevel.pid == ownPid_; }
    WindowHandle add(ToplevelTable::Key id, const char* title, std::uint32_t pid, ToplevelTable::Key parent);

    sd_bus* bus_ = nullptr;
    sd_bus_slot* signals_ = nullptr;
    sd_bus_slot* owner_ = nullptr;
    std::string extension_;  // its unique name: signals from it only
    std::int64_t ownPid_;
};

}  // namespace tamberlyn
