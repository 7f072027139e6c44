#include "recorder/record_format.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/mci.h"
#include "platform/private_profile.h"

namespace mixora {
namespace {

constexpr const char* kSection = "Recording";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

void FormatFromChoices(RecorderRecords& r) {
    switch (r.g_wRateChoice) {
    case IDC_RATE_11K:
        r.g_sampleRate = 11025;
        break;
    case IDC_RATE_22K:
        r.g_sampleRate = 22050;
        break;
    case IDC_RATE_44K:
        r.g_sampleRate = 44100;
        break;
    case IDC_RATE_USER:
        r.g_sampleRate = static_cast<std::uint32_t>(r.g_userRate);
        break;
    default:
        // A hand-edited choice no button stands for records in the
        // first-run format rather than a format the device refuses.
        r.g_sampleRate = 22050;
        break;
    }
    r.g_bitsPerSample = r.g_wSizeChoice == IDC_SIZE_8 ? 8 : 16;
    r.g_channels = r.g_wChannelChoice == IDC_MONO ? 1 : 2;
}

void SetRecordFormat(IMci& mci, std::uint32_t device, RecorderRecords& r) {
    FormatFromChoices(r);
    MCI_WAVE_SET_PARMS set;
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    set.wFormatTag = kPcmFormatTag;
    set.nChannels = static_cast<std::uint16_t>(r.g_channels);
    set.nSamplesPerSec = r.g_sampleRate;
    set.nAvgBytesPerSec = r.g_bitsPerSample / 8 * r.g_channels * r.g_sampleRate;
    set.nBlockAlign = static_cast<std::uint16_t>(r.g_bitsPerSample * r.g_channels / 8);
    set.wBitsPerSample = static_cast<std::uint16_t>(r.g_bitsPerSample);
    mci.SendCommand(device, MCI_SET,
                    MCI_SET_TIME_FORMAT | MCI_WAVE_SET_CHANNELS | MCI_WAVE_SET_SAMPLESPERSEC |
                        MCI_WAVE_SET_AVGBYTESPERSEC | MCI_WAVE_SET_BLOCKALIGN |
                        MCI_WAVE_SET_BITSPERSAMPLE,
                    &set);
}

double ReadDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    // Gather only the readable part, then convert it without any locale.
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            number += '-';
        }
        ++i;
    }
    bool digits = false;
    while (i < text.size() && IsDigit(text[i])) {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && IsDigit(text[i])) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent += text[j++];
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                exponent += text[j++];
            }
            number += exponent;
        }
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large gives infinity and too small zero, as atof does.
        const bool negative = number[0] == '-';
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -value : value;
    }
    return ec == std::errc{} ? value : 0.0;
}

std::int32_t UserRateFromText(std::string_view kiloHertz) {
    const double hz = std::trunc(ReadDecimal(kiloHertz) * 1000.0);
    if (!(hz >= std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min(); // also NaN
    }
    if (hz > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(hz);
}

void ReadRecordingChoices(IPrivateProfile& profile, const std::string& iniPath,
                          RecorderRecords& r) {
    r.g_wRateChoice =
        static_cast<std::uint32_t>(profile.GetInt(kSection, "SampRate", 1010, iniPath));
    r.g_wChannelChoice =
        static_cast<std::uint32_t>(profile.GetInt(kSection, "Channels", 1017, iniPath));
    r.g_wSizeChoice =
        static_cast<std::uint32_t>(profile.GetInt(kSection, "SampSize", 1015, iniPath));
    // The user-defined rate is kept too, or "User Define:" would come back
    // as a rate of 0 after a restart.
    const int rate = profile.GetInt(kSection, "UserRate", 0, iniPath);
    r.g_userRate = rate >= kMinUserRate && rate <= kMaxUserRate ? rate : kFallbackUserRate;
}

void WriteRecordingChoices(IPrivateProfile& profile, const std::string& iniPath,
                           const RecorderRecords& r) {
    // One replacement of the file: the four keys are there together or not.
    profile.WriteStrings(
        {{kSection, "SampRate", std::to_string(static_cast<int>(r.g_wRateChoice))},
         {kSection, "SampSize", std::to_string(static_cast<int>(r.g_wSizeChoice))},
         {kSection, "Channels", std::to_string(static_cast<int>(r.g_wChannelChoice))},
         {kSection, "UserRate", std::to_string(r.g_userRate)}},
        iniPath, nullptr);
}

} // namespace mixora
