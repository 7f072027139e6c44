#include "app/unbuilt_routes.h"

#include "platform/system_info.h"

namespace mixora {
namespace {

void SayOnce(IDebugOutput* debug, std::set<std::string>& said, const char* what) {
    if (debug && said.insert(what).second) {
        debug->OutputDebugString(std::string(what) + ": not built yet\n");
    }
}

} // namespace

void CPlaybackNotBuilt::Say(const char* what) {
    SayOnce(debug_, said_, what);
}

} // namespace mixora
