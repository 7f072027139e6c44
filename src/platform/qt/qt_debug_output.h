#pragma once
// Debugger output on Linux: each text becomes one debug line of the logging
// category "mixora", off unless asked for, so a person's terminal and the
// desktop's journal stay quiet. Turn it on with MIXORA_DEBUG=1 or
// QT_LOGGING_RULES="mixora.debug=true" (the rule's ".debug" is the level).
#include "platform/system_info.h"

namespace mixora {

class QtDebugOutput final : public IDebugOutput {
public:
    // Reads MIXORA_DEBUG once.
    QtDebugOutput();
    void OutputDebugString(const std::string& text) override;
};

} // namespace mixora
