#include "common/ProgramFolder.h"

namespace tamberlyn {

std::string ProgramFolder(const ProgramFiles& files) {
    const std::string path = files.executablePath();
    const std::size_t last = path.rfind(files.separator());
    if (last == std::string::npos) return {};
    std::string folder = path.substr(0, last);
    if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) folder += files.separator();
    return folder;
}

std::string ExecutableFileName(const ProgramFiles& files) {
    const std::string path = files.executablePath();
    const std::size_t last = path.rfind(files.separator());
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string ProgramFolderFile(const ProgramFiles& files, const std::string& backslashPath) {
    std::string folder = ProgramFolder(files);
    if (!folder.empty() && folder.back() == files.separator()) folder.pop_back();
    std::string relative = backslashPath;
    for (char& c : relative) {
        if (c == '\\') c = files.separator();
    }
    return folder + relative;
}

bool FileExists(const ProgramFiles& files, const std::string& path) {
    try {
        return files.modificationTimeReadable(path);
    } catch (...) {
        return false;
    }
}

}  // namespace tamberlyn
