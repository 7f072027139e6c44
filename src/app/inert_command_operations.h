#pragma once
#include "app/command_operations.h"

namespace mixora {

// The dispatcher's operations while their subsystems are not built yet.
class CInertCommandOperations final : public ICommandOperations {};

} // namespace mixora
