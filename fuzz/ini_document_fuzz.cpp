// The settings file: any text parses and comes back out byte for byte; a Set
// then Get gives the value back, and every line the Set did not write stays
// exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "platform/posix/ini_document.h"

using namespace mixora;

namespace {

// Section and key names as the program writes them: letters, digits and '_'.
std::string Name(fuzz::InputReader& in) {
    static constexpr std::string_view kAlphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    std::string out;
    const std::size_t length = 1 + in.Byte() % 8;
    for (std::size_t i = 0; i < length; ++i) {
        out.push_back(kAlphabet[in.Byte() % kAlphabet.size()]);
    }
    return out;
}

// A value that reads back unchanged: one line, no blanks or quotes at its ends.
std::string Value(fuzz::InputReader& in) {
    std::string out = in.Text(40);
    out = out.substr(0, out.find_first_of("\r\n"));
    while (!out.empty() && (out.front() == ' ' || out.front() == '\t' || out.front() == '"')) {
        out.erase(0, 1);
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '"')) {
        out.pop_back();
    }
    return out;
}

// The lines of a text, each with its line end.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        const std::size_t length = nl == std::string_view::npos ? text.size() : nl + 1;
        out.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

std::string_view WithoutEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    const std::string section = Name(in);
    const std::string key = Name(in);
    const std::string value = Value(in);
    const std::string_view text = in.RestText();

    IniDocument doc = IniDocument::Parse(text);
    const std::string before = doc.Serialize();
    if (before != text) {
        std::abort(); // parsing alone changed the file
    }
    if (auto old = doc.Get(section, key)) {
        ParseProfileInt(*old);
    }

    doc.Set(section, key, value);
    const auto got = doc.Get(section, key);
    if (!got || *got != value) {
        std::abort();
    }

    // Lines before and after the edit are the old ones; between them there
    // is at most one old line (the key's, or the last line that only gains
    // a line end), and only the key's line, its section header or a blank
    // separator are new.
    const std::string after = doc.Serialize();
    const auto oldLines = Lines(before);
    const auto newLines = Lines(after);
    std::size_t head = 0;
    while (head < oldLines.size() && head < newLines.size() && oldLines[head] == newLines[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < oldLines.size() - head && tail < newLines.size() - head &&
           oldLines[oldLines.size() - 1 - tail] == newLines[newLines.size() - 1 - tail]) {
        ++tail;
    }
    const std::size_t removed = oldLines.size() - head - tail;
    if (removed > 1) {
        std::abort();
    }
    const std::string keyLine = key + "=" + value;
    for (std::size_t i = head; i < newLines.size() - tail; ++i) {
        const std::string_view line = WithoutEnd(newLines[i]);
        const bool oldLineGainedEnd =
            removed == 1 && line == WithoutEnd(oldLines[head]) && head + 1 == oldLines.size();
        if (line != keyLine && line != "[" + section + "]" && !line.empty() && !oldLineGainedEnd) {
            std::abort();
        }
    }
    return 0;
}
