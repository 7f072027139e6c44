// The program's string table: a number from the input is looked up in the
// rest of it.
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "skin/string_table.h"

using namespace mixora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    int id = in.Byte();
    id = id * 256 + in.Byte();
    id = id * 256 + in.Byte();
    const fuzz::OneResourceModule module(in.Rest());
    const std::string text = LoadProgramString(module, id);
    if (text.find('\n') != std::string::npos) {
        __builtin_trap(); // one entry is one line
    }
    return 0;
}
