#pragma once
// Starting another program of the desktop (the recording-source chooser).
#include <string>
#include <vector>

namespace mixora {

class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // True when `program` is found on the search path.
    virtual bool IsInstalled(const std::string& program) = 0;
    // Starts argv[0] with its arguments, detached; false when it could not start.
    virtual bool Launch(const std::vector<std::string>& argv) = 0;
};

} // namespace mixora
