#pragma once
// Mixora's folders under the XDG base directories.
#include <string>

namespace mixora {

// "<$variable or $HOME/homeRelative>/mixora"; a value that is not an absolute
// path is ignored, as the base directory rules say. Nothing is created.
std::string XdgFolderFor(const char* variableValue, const char* home, const char* homeRelative);

// ${XDG_CACHE_HOME:-~/.cache}/mixora: untitled recordings while they grow.
std::string CacheFolder();
// ${XDG_DATA_HOME:-~/.local/share}/mixora/recordings: recordings kept when
// the program was ended before they were saved.
std::string RescuedRecordingsFolder();

} // namespace mixora
