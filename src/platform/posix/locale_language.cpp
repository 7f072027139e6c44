#include "platform/posix/locale_language.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace mixora {
namespace {

constexpr std::uint16_t kEnglishUs = 0x0409;

struct Territory {
    std::string_view locale; // language_TERRITORY
    std::uint16_t id;
};

// Territories whose id is not the language's default sublanguage (1).
constexpr std::array<Territory, 47> kTerritories{{
    {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},
    {"en_ZA", 0x1C09}, {"en_IN", 0x4009}, {"en_SG", 0x4809}, {"de_CH", 0x0807}, {"de_AT", 0x0C07},
    {"de_LU", 0x1007}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C},
    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"es_CL", 0x340A}, {"es_CO", 0x240A},
    {"es_US", 0x540A}, {"it_CH", 0x0810}, {"nl_BE", 0x0813}, {"pt_PT", 0x0816}, {"sv_FI", 0x081D},
    {"nn_NO", 0x0814}, {"ms_BN", 0x083E}, {"ar_IQ", 0x0801}, {"ar_EG", 0x0C01}, {"ar_MA", 0x1801},
    {"ar_AE", 0x3801}, {"ko_KP", 0x0812}, {"ru_MD", 0x0819}, {"ro_MD", 0x0818}, {"sr_RS", 0x241A},
    {"bs_BA", 0x141A}, {"hr_BA", 0x101A}, {"ur_IN", 0x0820}, {"bn_BD", 0x0845}, {"ta_LK", 0x0849},
    {"pa_PK", 0x0846}, {"ne_IN", 0x0861},
}};

struct Language {
    std::string_view code;
    std::uint16_t primary;
};

// ISO 639-1 codes and their primary language ids.
constexpr std::array<Language, 64> kLanguages{{
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
    {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C},
    {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
    {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14}, {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16},
    {"rm", 0x17}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A}, {"bs", 0x1A},
    {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"ur", 0x20},
    {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26},
    {"lt", 0x27}, {"tg", 0x28}, {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C},
    {"eu", 0x2D}, {"mk", 0x2F}, {"af", 0x36}, {"ka", 0x37}, {"fo", 0x38}, {"hi", 0x39},
    {"mt", 0x3A}, {"ga", 0x3C}, {"ms", 0x3E}, {"kk", 0x3F}, {"sw", 0x41}, {"bn", 0x45},
    {"pa", 0x46}, {"ta", 0x49}, {"ne", 0x61}, {"cy", 0x52},
}};

constexpr std::uint16_t MakeLangId(std::uint16_t primary, std::uint16_t sublanguage) {
    return static_cast<std::uint16_t>((sublanguage << 10) | primary);
}

} // namespace

std::string MessagesLocale(const char* language, const char* lcAll, const char* lcMessages,
                           const char* lang) {
    if (language && language[0] != '\0') {
        // LANGUAGE is a priority list, "zh_TW:zh:en"; its first entry leads.
        std::string_view list(language);
        std::string_view first = list.substr(0, list.find(':'));
        if (!first.empty()) {
            return std::string(first);
        }
    }
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value && value[0] != '\0') {
            return value;
        }
    }
    return "C";
}

std::uint16_t WindowsLanguageId(std::string_view locale) {
    // language[_TERRITORY][.codeset][@modifier]; BCP 47's "pt-BR" is read
    // the same way.
    locale = locale.substr(0, locale.find_first_of(".@"));
    std::string name;
    for (char c : locale) {
        name.push_back(c == '-' ? '_' : c);
    }
    const std::size_t cut = name.find('_');
    std::string code = name.substr(0, cut);
    std::transform(code.begin(), code.end(), code.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string territory = cut == std::string::npos ? std::string{} : name.substr(cut + 1);
    std::transform(territory.begin(), territory.end(), territory.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });

    if (code == "zh" && (territory == "HANS" || territory.empty())) {
        // Plain "zh" and the simplified script mean the mainland's Chinese;
        // "zh_Hant" falls to the default sublanguage, Taiwan's.
        return 0x0804;
    }
    const std::string full = code + "_" + territory;
    for (const Territory& t : kTerritories) {
        if (t.locale == full) {
            return t.id;
        }
    }
    for (const Language& l : kLanguages) {
        if (l.code == code) {
            return MakeLangId(l.primary, 1);
        }
    }
    return kEnglishUs;
}

} // namespace mixora
