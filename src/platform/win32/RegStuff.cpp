#include "platform/win32/RegStuff.h"

#include <string>

#include "platform/PlatformError.h"
#include "common/ProgramFolder.h"

namespace tamberlyn {

namespace {

// UTF-8 to UTF-16LE, without the platform: the registry stores wide text.
void appendUtf16le(std::vector<std::uint8_t>& out, std::string_view utf8) {
    auto unit = [&](std::uint32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t length = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b >> 5) == 0x6) {
            length = 2;
        } else if ((b >> 4) == 0xE) {
            length = 3;
        } else if ((b >> 3) == 0x1E) {
            length = 4;
        }
        if (length > 1) {
            if (i + length > utf8.size()) {
                length = utf8.size() - i;
            } else {
                cp = b & (0xFF >> (length + 1));
                for (std::size_t k = 1; k < length; ++k) {
                    cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
                }
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
        i += length;
    }
}

std::string asText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return std::to_string(std::get<std::int32_t>(value));
}

std::int32_t asNumber(const RegistryValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    return static_cast<std::int32_t>(std::stol(std::get<std::string>(value)));
}

}  // namespace

std::vector<std::uint8_t> RegistryBytes(std::uint32_t type, const RegistryValue& value) {
    std::vector<std::uint8_t> bytes;
    if (type == kRegSz) {
        appendUtf16le(bytes, asText(value));
        bytes.push_back(0);
        bytes.push_back(0);
    } else if (type == kRegDword) {
        const auto number = static_cast<std::uint32_t>(asNumber(value));
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>((number >> shift) & 0xFF));
    }
    return bytes;
}

long WriteRegistryValue(Registry& registry, RegistryKey key, const std::string& name, std::uint32_t type,
                        const RegistryValue& value) {
    if (type != kRegSz && type != kRegDword) return 0;
    return registry.setValue(key, name, type, RegistryBytes(type, value));
}

namespace {

// Opens root\path with the access asked, runs what is to be done with the key, and closes it.
template <typename Action>
long WithKey(Registry& registry, RegistryKey root, const std::string& path, std::uint32_t access, Action action) {
    RegistryKey key = 0;
    const long opened = registry.openKey(root, path, access, key);
    if (opened != 0 || key == 0) return opened != 0 ? opened : 6;  // ERROR_INVALID_HANDLE
    const long result = action(key);
    registry.closeKey(key);
    return result;
}

}  // namespace

long SetRegistryValue(Registry& registry, RegistryKey root, const std::string& path, const std::string& name,
                      const RegistryValue& value, std::uint32_t type) {
    return WithKey(registry, root, path, kKeyAllAccessButDelete,
                   [&](RegistryKey key) { return WriteRegistryValue(registry, key, name, type, value); });
}

long DeleteRegistryValue(Registry& registry, RegistryKey root, const std::string& path, const std::string& name) {
    return WithKey(registry, root, path, kKeyAllAccessButDelete,
                   [&](RegistryKey key) { return registry.deleteValue(key, name); });
}

long QueryRegistryValue(Registry& registry, RegistryKey root, const std::string& path, const std::string& name) {
    return WithKey(registry, root, path, kKeyQueryValue, [&](RegistryKey key) { return registry.queryValue(key, name); });
}

std::string RunEntryData(const std::string& folder, const std::string& fileName) {
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    path += fileName;
    if (path.find(' ') != std::string::npos) path = '"' + path + '"';
    return path;
}

long AddRunEntry(Registry& registry, const std::string& folder, const std::string& fileName) {
    const std::string data = RunEntryData(folder, fileName);
    const long machineWide = SetRegistryValue(registry, kHkeyLocalMachine, kRunKeyPath, fileName, data, kRegSz);
    if (machineWide == 0) return 0;
    // Without the right to write for every user, start with this user's log-on instead.
    if (SetRegistryValue(registry, kHkeyCurrentUser, kRunKeyPath, fileName, data, kRegSz) == 0) return 0;
    return machineWide;
}

std::vector<RunEntryLeft> RemoveRunEntry(Registry& registry, const std::string& fileName) {
    std::vector<RunEntryLeft> left;
    for (const RegistryKey root : {kHkeyLocalMachine, kHkeyCurrentUser}) {
        const long deleted = DeleteRegistryValue(registry, root, kRunKeyPath, fileName);
        if (deleted == 0 || deleted == kErrorFileNotFound) continue;
        // Without the right to write machine-wide keys nothing there can be deleted, also
        // when nothing is there: only an entry that is still there, or may be, counts.
        if (QueryRegistryValue(registry, root, kRunKeyPath, fileName) == kErrorFileNotFound) continue;
        left.push_back({root, deleted});
    }
    return left;
}

std::string RunEntryLeftText(const std::string& fileName, const RunEntryLeft& left) {
    const bool machineWide = left.root == kHkeyLocalMachine;
    std::string text = "The entry \"" + fileName + "\" in " +
                       (machineWide ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + kRunKeyName +
                       " could not be removed (" + (left.result == 5 ? "access denied, " : "") + "error " +
                       std::to_string(left.result) + ").";
    if (machineWide) text += " It starts Tamberlyn for every user who logs on; an administrator can remove it.";
    return text;
}

void RunKeyLogonEntry::add() {
    const long result = AddRunEntry(registry_, ProgramFolder(files_), ExecutableFileName(files_));
    if (result != 0) {
        throw PlatformError("The registry refused the Run entry (error " + std::to_string(result) + ").");
    }
}

void RunKeyLogonEntry::remove() {
    const std::string fileName = ExecutableFileName(files_);
    std::string description;
    for (const RunEntryLeft& left : RemoveRunEntry(registry_, fileName)) {
        if (!description.empty()) description += "\r\n";
        description += RunEntryLeftText(fileName, left);
    }
    if (!description.empty()) throw PlatformError(description);
}

}  // namespace tamberlyn
