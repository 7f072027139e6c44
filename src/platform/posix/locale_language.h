#pragma once
// The POSIX locale of the program's messages as the Windows language
// identifier the language tables are chosen by.
#include <cstdint>
#include <string>
#include <string_view>

namespace mixora {

// The locale the program's messages follow: the first entry of LANGUAGE,
// else LC_ALL, else LC_MESSAGES, else LANG, each taken only when set and not
// empty; "C" when none is. Any argument may be null.
std::string MessagesLocale(const char* language, const char* lcAll, const char* lcMessages,
                           const char* lang);

// A locale name ("zh_TW.UTF-8", "zh_CN.GB2312", "de_AT@euro", "pt-BR", "C")
// as a Windows language id: zh_TW 0x0404, zh_CN 0x0804, zh_HK 0x0C04, zh_SG
// 0x1004, zh_MO 0x1404, en_US 0x0409 and so on. A known language in an
// unlisted territory gets the language's default sublanguage; "C", "POSIX"
// and unknown languages give 0x0409, the English the program is written in.
std::uint16_t WindowsLanguageId(std::string_view locale);

} // namespace mixora
