#pragma once
// The program's string table: texts by number (the control names used as
// tooltips are 50000 + control id).
#include <string>

namespace mixora {

class IResourceModule;

// The text of string `id`, or an empty text when there is none.
std::string LoadProgramString(const IResourceModule& resources, int id);

} // namespace mixora
