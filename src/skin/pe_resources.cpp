#include "skin/pe_resources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unordered_set>

namespace mixora {

namespace {

constexpr int kRtBitmap = 2;
// Type, name, language: a tree deeper than that is not a resource tree.
constexpr int kTreeDepth = 3;
// A real package has a few dozen resources; anything near this is damage.
constexpr std::size_t kMaxEntriesVisited = 1u << 16;
// Skin packages are a few megabytes; refuse to pull absurd files into memory.
constexpr std::uintmax_t kMaxFileSize = 256u << 20;

constexpr std::uint32_t kHighBit = 0x80000000u;

std::optional<std::uint16_t> ReadU16(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::optional<std::uint32_t> ReadU32(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 4) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

// UTF-16LE to UTF-8; only ever compared with ASCII names, but a name with
// other characters must still not equal an ASCII one by accident.
std::string Utf16ToUtf8(std::span<const std::uint8_t> units) {
    std::string out;
    out.reserve(units.size() / 2);
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const unsigned c = units[i] | (units[i + 1] << 8);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

struct Section {
    std::uint64_t virtualAddress = 0;
    std::uint64_t extent = 0; // bytes of the section actually present in the file
    std::uint64_t fileOffset = 0;
};

bool Matches(const ResourceName& entry, const ResourceName& wanted) {
    if (wanted.IsId()) {
        return entry.IsId() && entry.id == wanted.id;
    }
    return !entry.IsId() && ResourceNameEquals(entry.name, wanted.name);
}

} // namespace

// Reads the headers and flattens the resource tree into entries. Offsets in
// the tree are relative to the start of the resource directory; data entries
// give RVAs, which go through the section table.
class PeImageParser {
public:
    explicit PeImageParser(CPeResourceLibrary& library)
        : library_(library), bytes_(library.bytes_) {}

    bool Parse() {
        if (!ReadHeaders()) {
            return false;
        }
        WalkDirectory(0, 1, ResourceName{}, ResourceName{});
        return true;
    }

private:
    bool ReadHeaders() {
        if (bytes_.size() < 0x40 || bytes_[0] != 'M' || bytes_[1] != 'Z') {
            return false;
        }
        const std::uint64_t pe = *ReadU32(bytes_, 0x3C);
        const auto signature = ReadU32(bytes_, pe);
        if (!signature || *signature != 0x00004550u) { // "PE\0\0"
            return false;
        }
        const auto sectionCount = ReadU16(bytes_, pe + 6);
        const auto optionalSize = ReadU16(bytes_, pe + 20);
        if (!sectionCount || !optionalSize) {
            return false;
        }
        const std::uint64_t optional = pe + 24;
        if (optional + *optionalSize > bytes_.size()) {
            return false;
        }
        const auto optionalHeader = bytes_.subspan(optional, *optionalSize);
        const auto magic = ReadU16(optionalHeader, 0);
        if (!magic) {
            return false;
        }
        std::uint64_t countField = 0;
        std::uint64_t directories = 0;
        if (*magic == 0x10b) { // PE32
            countField = 92;
            directories = 96;
        } else if (*magic == 0x20b) { // PE32+
            countField = 108;
            directories = 112;
        } else {
            return false;
        }
        constexpr int kResourceDirectory = 2;
        const auto directoryCount = ReadU32(optionalHeader, countField);
        const auto resourceRva = ReadU32(optionalHeader, directories + kResourceDirectory * 8);
        if (!directoryCount || *directoryCount <= kResourceDirectory || !resourceRva ||
            *resourceRva == 0) {
            return false;
        }

        const std::uint64_t table = optional + *optionalSize;
        for (unsigned i = 0; i < *sectionCount; ++i) {
            const std::uint64_t at = table + std::uint64_t{i} * 40;
            const auto virtualSize = ReadU32(bytes_, at + 8);
            const auto virtualAddress = ReadU32(bytes_, at + 12);
            const auto rawSize = ReadU32(bytes_, at + 16);
            const auto rawOffset = ReadU32(bytes_, at + 20);
            if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) {
                return false; // section table cut off
            }
            // Beyond the virtual size the file bytes are padding, not content.
            std::uint64_t extent = *virtualSize != 0 ? std::min(*virtualSize, *rawSize) : *rawSize;
            extent = *rawOffset < bytes_.size()
                         ? std::min<std::uint64_t>(extent, bytes_.size() - *rawOffset)
                         : 0;
            sections_.push_back(Section{*virtualAddress, extent, *rawOffset});
        }

        // The resource tree reaches to the end of the section it starts in.
        for (const Section& s : sections_) {
            if (*resourceRva >= s.virtualAddress && *resourceRva - s.virtualAddress < s.extent) {
                const std::uint64_t start = s.fileOffset + (*resourceRva - s.virtualAddress);
                tree_ = bytes_.subspan(start, s.extent - (*resourceRva - s.virtualAddress));
                break;
            }
        }
        return tree_.size() >= 16;
    }

    // The file offset of `size` bytes at `rva`, all inside one section.
    std::optional<std::uint64_t> MapRva(std::uint64_t rva, std::uint64_t size) const {
        for (const Section& s : sections_) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress <= s.extent &&
                size <= s.extent - (rva - s.virtualAddress)) {
                // Even an empty resource must start inside the file: a section
                // whose raw data lies past the end has no bytes to point at.
                const std::uint64_t offset = s.fileOffset + (rva - s.virtualAddress);
                if (offset > bytes_.size() || size > bytes_.size() - offset) {
                    return std::nullopt;
                }
                return offset;
            }
        }
        return std::nullopt;
    }

    std::optional<ResourceName> ReadName(std::uint32_t field) const {
        if ((field & kHighBit) == 0) {
            return ResourceName::Id(static_cast<int>(field & 0xFFFF));
        }
        const std::uint64_t at = field & ~kHighBit;
        const auto length = ReadU16(tree_, at);
        if (!length || tree_.size() - (at + 2) < std::uint64_t{*length} * 2) {
            return std::nullopt;
        }
        return ResourceName::Named(Utf16ToUtf8(tree_.subspan(at + 2, std::size_t{*length} * 2)));
    }

    // Returns true when a data entry was taken (so a language directory
    // stops at its first usable language).
    bool WalkDirectory(std::uint64_t at, int level, const ResourceName& type,
                       const ResourceName& name) {
        // A directory reached twice means the tree loops back on itself.
        if (!visited_.insert(at).second) {
            return false;
        }
        const auto namedCount = ReadU16(tree_, at + 12);
        const auto idCount = ReadU16(tree_, at + 14);
        if (!namedCount || !idCount) {
            return false;
        }
        const std::uint64_t count = std::uint64_t{*namedCount} + *idCount;
        if ((tree_.size() - (at + 16)) / 8 < count) {
            return false; // the entry table runs past the section
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            if (++visitedEntries_ > kMaxEntriesVisited) {
                return false;
            }
            const std::uint64_t entry = at + 16 + i * 8;
            const std::uint32_t nameField = *ReadU32(tree_, entry);
            const std::uint32_t dataField = *ReadU32(tree_, entry + 4);
            const bool isDirectory = (dataField & kHighBit) != 0;
            const std::uint64_t target = dataField & ~kHighBit;

            if (level < kTreeDepth) {
                if (!isDirectory) {
                    continue;
                }
                const auto entryName = ReadName(nameField);
                if (!entryName) {
                    continue;
                }
                if (level == 1) {
                    WalkDirectory(target, level + 1, *entryName, ResourceName{});
                } else {
                    WalkDirectory(target, level + 1, type, *entryName);
                }
            } else if (!isDirectory && TakeData(target, type, name)) {
                return true;
            }
        }
        return false;
    }

    bool TakeData(std::uint64_t at, const ResourceName& type, const ResourceName& name) {
        const auto rva = ReadU32(tree_, at);
        const auto size = ReadU32(tree_, at + 4);
        if (!rva || !size) {
            return false;
        }
        const auto offset = MapRva(*rva, *size);
        if (!offset) {
            return false;
        }
        library_.entries_.push_back(
            CPeResourceLibrary::Entry{type, name, static_cast<std::uint32_t>(*offset), *size});
        return true;
    }

    CPeResourceLibrary& library_;
    std::span<const std::uint8_t> bytes_;
    std::span<const std::uint8_t> tree_;
    std::vector<Section> sections_;
    std::unordered_set<std::uint64_t> visited_;
    std::size_t visitedEntries_ = 0;
};

std::unique_ptr<CPeResourceLibrary> CPeResourceLibrary::Open(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return nullptr;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileSize) {
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) {
        return nullptr;
    }
    return FromBytes(std::move(bytes));
}

std::unique_ptr<CPeResourceLibrary> CPeResourceLibrary::FromBytes(std::vector<std::uint8_t> bytes) {
    auto library = std::make_unique<CPeResourceLibrary>(ConstructionTag{}, std::move(bytes));
    if (!PeImageParser(*library).Parse()) {
        return nullptr;
    }
    return library;
}

std::optional<std::span<const std::uint8_t>>
CPeResourceLibrary::Find(const ResourceName& type, const ResourceName& name) const {
    for (const Entry& entry : entries_) {
        if (Matches(entry.type, type) && Matches(entry.name, name)) {
            if (entry.offset > bytes_.size() || entry.size > bytes_.size() - entry.offset) {
                return std::nullopt; // never a span beyond the file
            }
            return std::span<const std::uint8_t>(bytes_).subspan(entry.offset, entry.size);
        }
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>>
CPeResourceLibrary::FindBitmap(std::string_view name) const {
    return Find(ResourceName::Id(kRtBitmap), ResourceName::Named(std::string(name)));
}

std::optional<std::span<const std::uint8_t>>
CPeResourceLibrary::FindResource(std::string_view type, const ResourceName& name) const {
    return Find(ResourceName::Named(std::string(type)), name);
}

} // namespace mixora
