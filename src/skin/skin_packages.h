#pragma once
// The skin packages on offer: every "*.dll" in the program's folder.
#include <string>
#include <vector>

namespace mixora {

struct SkinPackage {
    std::string title; // the file name without its extension
    std::string path;  // programDir + "/" + file name
    friend bool operator==(const SkinPackage&, const SkinPackage&) = default;
};

// The regular files in `programDir` whose extension is ".dll" in any letter
// case ("Blue.DLL" counts, as it does where the skins come from), in the
// order the file system lists them. Not sorted on purpose: a menu item's
// position and command id are its index in this list, and the choice is
// resolved by listing again. A missing or unreadable folder gives an empty
// list. Whether a file really is a skin is not checked here.
std::vector<SkinPackage> ListSkinPackages(const std::string& programDir);

// The same list without the files that cannot even be opened as resource
// libraries (empty, truncated, not a library at all): what the skin menu
// offers, and what its command ids count.
std::vector<SkinPackage> ListOpenableSkinPackages(const std::string& programDir);

// The openable packages of every folder in turn. A file name already listed
// from an earlier folder is left out, so one name always means one file.
std::vector<SkinPackage> ListOpenableSkinPackages(const std::vector<std::string>& folders);

} // namespace mixora
