#pragma once
// Private-profile (INI) file operations with the classic semantics: section
// and key names match case-insensitively, blanks around keys and values are
// ignored, a value in matching double quotes is given without them, and
// lines the program does not write are kept as they are, in place.
#include <string>
#include <vector>

namespace mixora {

struct ProfileEntry {
    std::string section;
    std::string key;
    std::string value;
};

class IPrivateProfile {
public:
    virtual ~IPrivateProfile() = default;

    // The decimal number at the start of the value (optional minus sign);
    // `def` when the file, the section or the key is missing or the value is
    // empty; 0 when the value does not begin with a number.
    virtual int GetInt(const std::string& section, const std::string& key, int def,
                       const std::string& path) = 0;

    // The value text cut to `bufferSize - 1` bytes (room for the terminating
    // zero of a buffer of that size); `def` when missing.
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def, std::size_t bufferSize,
                                  const std::string& path) = 0;

    // Creates the file and the section if needed and replaces the key's line
    // (or appends it to its section). The file is replaced atomically: on
    // failure the old file is left whole and false is returned.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& path) = 0;

    // Several keys in one replacement of the file, so that a crash leaves
    // either all of them or none. False on failure, with the reason in
    // `error` (may be null). The default writes them one by one, every one
    // even after a failure.
    virtual bool WriteStrings(const std::vector<ProfileEntry>& entries, const std::string& path,
                              std::string* error) {
        bool ok = true;
        for (const ProfileEntry& e : entries) {
            ok = WriteString(e.section, e.key, e.value, path) && ok;
        }
        if (!ok && error) {
            *error = "the file could not be written";
        }
        return ok;
    }
};

} // namespace mixora
