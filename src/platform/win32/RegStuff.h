#pragma once
// The program's own registry routines: typed values, and the log-on Run entry.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/LogonEntry.h"
#include "platform/ProgramFiles.h"
#include "platform/win32/Registry.h"

namespace tamberlyn {

inline const std::string kRunKeyPath = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
// The same key as people read it, for messages.
inline const std::string kRunKeyName = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

using RegistryValue = std::variant<std::string, std::int32_t>;

// The bytes a value is stored as: REG_SZ as UTF-16LE with its terminating NUL,
// REG_DWORD as four bytes, least significant first.
std::vector<std::uint8_t> RegistryBytes(std::uint32_t type, const RegistryValue& value);

// Writes one value into an open key; other types than REG_SZ and REG_DWORD write nothing and give 0.
long WriteRegistryValue(Registry& registry, RegistryKey key, const std::string& name, std::uint32_t type,
                        const RegistryValue& value);
// Opens the key, writes, closes. Returns the result: a missing key or a denied write is not 0.
long SetRegistryValue(Registry& registry, RegistryKey root, const std::string& path, const std::string& name,
                      const RegistryValue& value, std::uint32_t type);
long DeleteRegistryValue(Registry& registry, RegistryKey root, const std::string& path, const std::string& name);
// Opens the key for reading and looks for the value: 0 when it is there, kErrorFileNotFound
// when the key or the value is not, any other code when that cannot be told.
long QueryRegistryValue(Registry& registry, RegistryKey root, const std::string& path, const std::string& name);

// The Run entry's data: the program's full path, quoted when it holds a space so that
// log-on cannot run "C:\Program.exe" instead.
std::string RunEntryData(const std::string& folder, const std::string& fileName);

// Writes the Run entry for the program: machine-wide when allowed, else for this user.
// Returns 0 when one of the two was written, else the machine-wide attempt's result.
long AddRunEntry(Registry& registry, const std::string& folder, const std::string& fileName);
// A Run key that still holds the entry after an attempt to remove it, and that attempt's result.
struct RunEntryLeft {
    RegistryKey root;
    long result;
};
// Removes the entry of that name from both Run keys. Returns the keys that may still hold
// it: those where the removal failed and the entry is, or might be, still there.
std::vector<RunEntryLeft> RemoveRunEntry(Registry& registry, const std::string& fileName);
// What the user is told about an entry left behind: which key, and who can remove it.
std::string RunEntryLeftText(const std::string& fileName, const RunEntryLeft& left);

// The log-on entry of the Windows program: a value in the Run key, for the running executable itself.
class RunKeyLogonEntry final : public LogonEntry {
public:
    RunKeyLogonEntry(Registry& registry, const ProgramFiles& files) : registry_(registry), files_(files) {}
    void add() override;
    // Throws PlatformError, naming each key that still holds the entry.
    void remove() override;

private:
    Registry& registry_;
    const ProgramFiles& files_;
};

}  // namespace tamberlyn
