#include "platform/posix/xdg_folders.h"

#include <cstdlib>

namespace mixora {

std::string XdgFolderFor(const char* variableValue, const char* home, const char* homeRelative) {
    std::string base;
    if (variableValue && variableValue[0] == '/') {
        base = variableValue;
    } else if (home && home[0] != '\0') {
        base = std::string(home) + "/" + homeRelative;
    } else {
        base = "/tmp";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/mixora";
}

std::string CacheFolder() {
    return XdgFolderFor(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"), ".cache");
}

std::string RescuedRecordingsFolder() {
    return XdgFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), ".local/share") +
           "/recordings";
}

} // namespace mixora
