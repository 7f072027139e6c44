#pragma once
// Helpers shared by the fuzz targets: a resource module that answers every
// lookup with the fuzzer's bytes, and a reader that splits one input into a
// few small parameters and a remaining body.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "skin/resource_source.h"

namespace mixora::fuzz {

// Every custom resource and every bitmap is the same byte string.
class OneResourceModule final : public IResourceModule {
public:
    explicit OneResourceModule(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::span<const std::uint8_t>> FindBitmap(std::string_view) const override {
        return bytes_;
    }
    std::optional<std::span<const std::uint8_t>> FindResource(std::string_view,
                                                              const ResourceName&) const override {
        return bytes_;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() {
        if (size_ == 0) {
            return 0;
        }
        --size_;
        return *data_++;
    }
    // A text of at most `limit` bytes, ended early by a NUL byte in the input.
    std::string Text(std::size_t limit) {
        std::string out;
        while (size_ > 0 && out.size() < limit) {
            const char c = static_cast<char>(Byte());
            if (c == '\0') {
                break;
            }
            out.push_back(c);
        }
        return out;
    }
    std::span<const std::uint8_t> Rest() const { return {data_, size_}; }
    std::string_view RestText() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace mixora::fuzz
