#pragma once
// Bytes for tests of the file readers: little-endian field writers, and
// resource-only PE32 / PE32+ images laid out the way a resource compiler
// and linker lay out a skin package: headers, then one ".rsrc" section with
// the resource tree and its data.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace mixora::testing {

// Writes at `at`, growing the buffer when needed (so at == size() appends).
inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b.resize(std::max(b.size(), at + 2));
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

struct ResKey {
    std::string name; // used when id < 0
    int id = -1;
    static ResKey Id(int value) { return {{}, value}; }
    static ResKey Named(std::string value) { return {std::move(value), -1}; }
};

struct ResItem {
    ResKey name;
    // One payload per language; the first is the one a lookup should give.
    std::vector<std::vector<std::uint8_t>> languages;
};

struct ResType {
    ResKey type;
    std::vector<ResItem> items;
};

struct PeImage {
    static constexpr std::uint32_t kPeOffset = 0x80;
    static constexpr std::uint32_t kRsrcFileOffset = 0x200;
    static constexpr std::uint32_t kRsrcRva = 0x1000;

    std::vector<std::uint8_t> bytes;
    std::uint32_t sectionTable = 0;     // file offset of the section header
    std::uint32_t resourceDirEntry = 0; // file offset of data directory 2
    // File offsets of each level's directory entries and of the data
    // entries, in tree order.
    std::vector<std::uint32_t> typeEntries, nameEntries, langEntries, dataEntries;
};

inline std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

inline PeImage BuildPeImage(const std::vector<ResType>& types, bool pe32plus) {
    PeImage image;
    std::vector<std::uint8_t> tree;
    auto alloc = [&](std::size_t n) {
        const auto at = static_cast<std::uint32_t>((tree.size() + 3) & ~std::size_t{3});
        tree.resize(at + n);
        return at;
    };
    // A directory of `n` entries named by `keyOf(i)`, their offsets added to
    // `entries`; gives the field that points at it.
    auto directory = [&](std::size_t n, auto keyOf, std::vector<std::uint32_t>& entries) {
        const std::uint32_t at = alloc(16 + 8 * n);
        std::uint32_t named = 0;
        for (std::size_t i = 0; i < n; ++i) {
            entries.push_back(at + 16 + 8 * static_cast<std::uint32_t>(i));
            const ResKey key = keyOf(i);
            if (key.id >= 0) {
                Put32(tree, entries.back(), static_cast<std::uint32_t>(key.id));
                continue;
            }
            ++named;
            const std::uint32_t string = alloc(2 + 2 * key.name.size()); // counted UTF-16
            Put32(tree, entries.back(), 0x80000000u | string);
            Put16(tree, string, static_cast<std::uint32_t>(key.name.size()));
            for (std::size_t c = 0; c < key.name.size(); ++c)
                Put16(tree, string + 2 + 2 * c, static_cast<unsigned char>(key.name[c]));
        }
        Put16(tree, at + 12, named);
        Put16(tree, at + 14, static_cast<std::uint32_t>(n) - named);
        return 0x80000000u | at;
    };

    directory(
        types.size(), [&](std::size_t i) { return types[i].type; }, image.typeEntries);
    for (std::size_t i = 0; i < types.size(); ++i) {
        const auto& items = types[i].items;
        const std::size_t name0 = image.nameEntries.size();
        Put32(tree, image.typeEntries[i] + 4,
              directory(
                  items.size(), [&](std::size_t j) { return items[j].name; }, image.nameEntries));
        for (std::size_t j = 0; j < items.size(); ++j) {
            const auto& payloads = items[j].languages;
            const std::size_t lang0 = image.langEntries.size();
            Put32(tree, image.nameEntries[name0 + j] + 4,
                  directory(
                      payloads.size(),
                      [](std::size_t k) { return ResKey::Id(k == 0 ? 0x0409 : 0x0404); },
                      image.langEntries));
            for (std::size_t k = 0; k < payloads.size(); ++k) {
                const std::uint32_t entry = alloc(16);
                const std::uint32_t data = alloc(payloads[k].size());
                std::copy(payloads[k].begin(), payloads[k].end(), tree.begin() + data);
                Put32(tree, entry, PeImage::kRsrcRva + data);
                Put32(tree, entry + 4, static_cast<std::uint32_t>(payloads[k].size()));
                Put32(tree, image.langEntries[lang0 + k] + 4, entry);
                image.dataEntries.push_back(entry);
            }
        }
    }
    for (auto* list :
         {&image.typeEntries, &image.nameEntries, &image.langEntries, &image.dataEntries}) {
        for (auto& at : *list) {
            at += PeImage::kRsrcFileOffset; // tree offsets become file offsets
        }
    }

    const auto treeSize = static_cast<std::uint32_t>(tree.size());
    const std::uint32_t rawSize = (treeSize + 0x1FF) & ~0x1FFu;
    auto& b = image.bytes;
    b.assign(PeImage::kRsrcFileOffset + rawSize, 0);
    std::copy(tree.begin(), tree.end(), b.begin() + PeImage::kRsrcFileOffset);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, PeImage::kPeOffset);
    const std::uint32_t pe = PeImage::kPeOffset;
    const std::uint32_t opt = pe + 24;
    const std::uint32_t optSize = pe32plus ? 240 : 224;
    Put32(b, pe, 0x00004550); // "PE\0\0"
    Put16(b, pe + 4, pe32plus ? 0x8664 : 0x014C);
    Put16(b, pe + 6, 1); // one section
    Put16(b, pe + 20, optSize);
    Put16(b, opt, pe32plus ? 0x20b : 0x10b);
    Put32(b, opt + (pe32plus ? 108 : 92), 16); // data directories
    image.resourceDirEntry = opt + (pe32plus ? 112 : 96) + 2 * 8;
    Put32(b, image.resourceDirEntry, PeImage::kRsrcRva);
    Put32(b, image.resourceDirEntry + 4, treeSize);
    image.sectionTable = opt + optSize;
    std::memcpy(&b[image.sectionTable], ".rsrc", 5);
    Put32(b, image.sectionTable + 8, treeSize);
    Put32(b, image.sectionTable + 12, PeImage::kRsrcRva);
    Put32(b, image.sectionTable + 16, rawSize);
    Put32(b, image.sectionTable + 20, PeImage::kRsrcFileOffset);
    return image;
}

} // namespace mixora::testing
