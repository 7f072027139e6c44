// A dialog template text from the program's resources.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fuzz_input.h"
#include "skin/dialog_template.h"

using namespace mixora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::OneResourceModule module(std::span<const std::uint8_t>(data, size));
    auto dialog = LoadDialogTemplate(module, 138);
    if (!dialog) {
        return 0;
    }
    for (const DialogControl& control : dialog->controls) {
        if (control.rect.right < control.rect.left || control.rect.bottom < control.rect.top) {
            std::abort(); // sizes are never negative
        }
    }
    return 0;
}
