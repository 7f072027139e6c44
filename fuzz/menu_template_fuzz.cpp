// A popup menu text from the program's resources.
#include <cstdint>
#include <span>

#include "device/menu_template.h"
#include "fuzz_input.h"

using namespace mixora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::OneResourceModule module(std::span<const std::uint8_t>(data, size));
    auto menu = LoadMenuTemplate(module, 108);
    (void)menu;
    return 0;
}
