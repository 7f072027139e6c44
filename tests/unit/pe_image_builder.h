#pragma once
// Builds resource-only PE32 / PE32+ images in memory, laid out the way a
// resource compiler and linker lay out a skin package: DOS header, PE
// header, one ".rsrc" section holding the resource tree and its data.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace mixora::testing {

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
    std::uint32_t sectionTable = 0;         // file offset of the section header
    std::uint32_t resourceDirEntry = 0;     // file offset of data directory 2
    std::vector<std::uint32_t> typeEntries; // file offsets of the root's entries
    std::vector<std::uint32_t> nameEntries; // file offsets of every name entry, in order
    std::vector<std::uint32_t> langEntries; // file offsets of every language entry, in order
    std::vector<std::uint32_t> dataEntries; // file offsets of the data entries, in order

    void Put16(std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void Put32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
};

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

inline PeImage BuildPeImage(const std::vector<ResType>& types, bool pe32plus) {
    std::vector<std::uint8_t> tree;
    auto alloc = [&](std::size_t n) {
        const std::size_t at = (tree.size() + 3) & ~std::size_t{3};
        tree.resize(at + n);
        return static_cast<std::uint32_t>(at);
    };
    auto put16 = [&](std::size_t at, std::uint16_t v) {
        tree[at] = static_cast<std::uint8_t>(v);
        tree[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            tree[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    auto nameField = [&](const ResKey& key) -> std::uint32_t {
        if (key.id >= 0) {
            return static_cast<std::uint32_t>(key.id);
        }
        const std::uint32_t at = alloc(2 + 2 * key.name.size());
        put16(at, static_cast<std::uint16_t>(key.name.size()));
        for (std::size_t i = 0; i < key.name.size(); ++i) {
            put16(at + 2 + 2 * i, static_cast<unsigned char>(key.name[i]));
        }
        return 0x80000000u | at;
    };
    auto directory = [&](std::size_t named, std::size_t ids) {
        const std::uint32_t at = alloc(16 + 8 * (named + ids));
        put16(at + 12, static_cast<std::uint16_t>(named));
        put16(at + 14, static_cast<std::uint16_t>(ids));
        return at;
    };
    auto countNamed = [](const auto& keys) {
        std::size_t n = 0;
        for (const auto& k : keys) {
            n += k < 0 ? 1 : 0;
        }
        return n;
    };

    PeImage image;
    std::vector<int> typeIds;
    for (const auto& t : types) {
        typeIds.push_back(t.type.id);
    }
    const std::uint32_t root = directory(countNamed(typeIds), types.size() - countNamed(typeIds));
    for (std::size_t i = 0; i < types.size(); ++i) {
        const std::uint32_t typeEntry = root + 16 + 8 * static_cast<std::uint32_t>(i);
        image.typeEntries.push_back(typeEntry);
        put32(typeEntry, nameField(types[i].type));
        std::vector<int> nameIds;
        for (const auto& item : types[i].items) {
            nameIds.push_back(item.name.id);
        }
        const std::uint32_t typeDir =
            directory(countNamed(nameIds), nameIds.size() - countNamed(nameIds));
        put32(typeEntry + 4, 0x80000000u | typeDir);
        for (std::size_t j = 0; j < types[i].items.size(); ++j) {
            const ResItem& item = types[i].items[j];
            const std::uint32_t nameEntry = typeDir + 16 + 8 * static_cast<std::uint32_t>(j);
            image.nameEntries.push_back(nameEntry);
            put32(nameEntry, nameField(item.name));
            const std::uint32_t langDir = directory(0, item.languages.size());
            put32(nameEntry + 4, 0x80000000u | langDir);
            for (std::size_t k = 0; k < item.languages.size(); ++k) {
                const std::uint32_t langEntry = langDir + 16 + 8 * static_cast<std::uint32_t>(k);
                image.langEntries.push_back(langEntry);
                put32(langEntry, k == 0 ? 0x0409 : 0x0404);
                const std::uint32_t dataEntry = alloc(16);
                image.dataEntries.push_back(dataEntry);
                put32(langEntry + 4, dataEntry);
                const auto& payload = item.languages[k];
                const std::uint32_t data = alloc(payload.size());
                std::copy(payload.begin(), payload.end(), tree.begin() + data);
                put32(dataEntry, PeImage::kRsrcRva + data);
                put32(dataEntry + 4, static_cast<std::uint32_t>(payload.size()));
            }
        }
    }

    // Tree offsets become file offsets.
    for (auto* list :
         {&image.typeEntries, &image.nameEntries, &image.langEntries, &image.dataEntries}) {
        for (auto& at : *list) {
            at += PeImage::kRsrcFileOffset;
        }
    }

    const std::uint32_t rawSize = (static_cast<std::uint32_t>(tree.size()) + 0x1FF) & ~0x1FFu;
    image.bytes.assign(PeImage::kRsrcFileOffset + rawSize, 0);
    std::copy(tree.begin(), tree.end(), image.bytes.begin() + PeImage::kRsrcFileOffset);

    image.bytes[0] = 'M';
    image.bytes[1] = 'Z';
    image.Put32(0x3C, PeImage::kPeOffset);
    const char stub[] = "This program cannot be run in DOS mode.";
    std::memcpy(&image.bytes[0x4E], stub, sizeof stub);

    const std::uint32_t pe = PeImage::kPeOffset;
    image.Put32(pe, 0x00004550);
    image.Put16(pe + 4, pe32plus ? 0x8664 : 0x014C);
    image.Put16(pe + 6, 1); // one section
    const std::uint16_t optionalSize = pe32plus ? 240 : 224;
    image.Put16(pe + 20, optionalSize);
    image.Put16(pe + 22, 0x2102); // executable image, DLL
    const std::uint32_t opt = pe + 24;
    image.Put16(opt, pe32plus ? 0x20b : 0x10b);
    image.Put32(opt + 32, 0x1000); // section alignment
    image.Put32(opt + 36, 0x200);  // file alignment
    const std::uint32_t countField = pe32plus ? 108 : 92;
    const std::uint32_t dirs = pe32plus ? 112 : 96;
    image.Put32(opt + countField, 16);
    image.resourceDirEntry = opt + dirs + 2 * 8;
    image.Put32(image.resourceDirEntry, PeImage::kRsrcRva);
    image.Put32(image.resourceDirEntry + 4, static_cast<std::uint32_t>(tree.size()));

    image.sectionTable = opt + optionalSize;
    std::memcpy(&image.bytes[image.sectionTable], ".rsrc", 5);
    image.Put32(image.sectionTable + 8, static_cast<std::uint32_t>(tree.size()));
    image.Put32(image.sectionTable + 12, PeImage::kRsrcRva);
    image.Put32(image.sectionTable + 16, rawSize);
    image.Put32(image.sectionTable + 20, PeImage::kRsrcFileOffset);
    image.Put32(image.sectionTable + 36, 0x40000040); // initialised data, readable
    return image;
}

} // namespace mixora::testing
