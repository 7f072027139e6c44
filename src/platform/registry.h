#pragma once
// The registry: keys under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER holding
// typed values. Key and value names match case-insensitively. Results are the
// classic error codes, so callers can test for "no more items" and
// "more data" exactly as they expect.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mixora {

using HKEY = std::uintptr_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;

inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_CANTWRITE = 1013;

class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens an existing key below `root` (a predefined key or an open key).
    virtual LONG OpenKey(HKEY root, const std::string& subKey, HKEY* result) = 0;
    // Opens the key, creating it and any missing parents first.
    virtual LONG CreateKey(HKEY root, const std::string& subKey, HKEY* result) = 0;
    virtual LONG CloseKey(HKEY key) = 0;

    // Value `index` of the key in the order the values were first set.
    // `nameSize` is the room for the name including its terminating zero and
    // is set to the name's length; `dataSize` likewise for the data (a REG_SZ
    // counts its terminating zero). ERROR_NO_MORE_ITEMS past the last value,
    // ERROR_MORE_DATA when name or data do not fit (the sizes then tell what
    // is needed). Null `data` asks for the size only.
    virtual LONG EnumValue(HKEY key, DWORD index, std::string* name, DWORD* nameSize, DWORD* type,
                           std::uint8_t* data, DWORD* dataSize) = 0;

    // Reads one value; `dataSize` in: the room, out: the size of the value.
    // ERROR_MORE_DATA when it does not fit, ERROR_FILE_NOT_FOUND when absent.
    virtual LONG QueryValue(HKEY key, const std::string& name, DWORD* type, std::uint8_t* data,
                            DWORD* dataSize) = 0;

    // Creates or replaces a value. A REG_SZ is given with its terminating zero
    // (which is stored as the end of the text). The store is written to disk
    // before this returns; ERROR_CANTWRITE when that failed (the value is
    // still set in memory).
    virtual LONG SetValue(HKEY key, const std::string& name, DWORD type,
                          std::span<const std::uint8_t> data) = 0;

    virtual LONG DeleteValue(HKEY key, const std::string& name) = 0;
};

} // namespace mixora
