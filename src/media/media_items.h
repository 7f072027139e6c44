#pragma once
// Turns what a person hands the program (files, folders, playlists, URIs
// from the command line or a drop) into the entries to put in the list.
#include <string>
#include <vector>

namespace mixora {

class IFileStore;
class IFolderReader;

// `items` are absolute paths, file:// URIs or other URIs. Folders are walked
// into, sub-folders included, in name order (hidden names and lists inside
// them skipped); *.pla, *.m3u, *.m3u8 and *.pls give their entries; other
// URIs (streams) are kept as they are; everything else is a file.
std::vector<std::string> ExpandMediaItems(const std::vector<std::string>& items,
                                          IFolderReader& folders, IFileStore& files);

} // namespace mixora
