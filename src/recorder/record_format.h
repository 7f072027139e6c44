#pragma once
// The recording format: the three choices of the format dialog, what they
// stand for, how they are sent to the device and kept in Mixora.ini.
#include <cstdint>
#include <string>
#include <string_view>

namespace mixora {

class IMci;
class IPrivateProfile;

// Radio buttons of the format dialog, which are also the stored values.
inline constexpr std::uint32_t IDC_RATE_11K = 1009;
inline constexpr std::uint32_t IDC_RATE_22K = 1010;
inline constexpr std::uint32_t IDC_RATE_44K = 1011;
inline constexpr std::uint32_t IDC_RATE_USER = 1012;
inline constexpr int IDC_USER_RATE = 1013;
inline constexpr std::uint32_t IDC_SIZE_8 = 1014;
inline constexpr std::uint32_t IDC_SIZE_16 = 1015;
inline constexpr std::uint32_t IDC_MONO = 1016;
inline constexpr std::uint32_t IDC_STEREO = 1017;

// A typed rate is taken when it lies in this range (Hz); a stored one
// outside it gives the fallback.
inline constexpr std::int32_t kMinUserRate = 8000;
inline constexpr std::int32_t kMaxUserRate = 48000;
inline constexpr std::int32_t kFallbackUserRate = 22050;

// The recorder's program-wide record.
struct RecorderRecords {
    std::uint32_t g_wRateChoice = 0;
    std::uint32_t g_wSizeChoice = 0;
    std::uint32_t g_wChannelChoice = 0;
    std::int32_t g_userRate = 0;
    std::uint32_t g_sampleRate = 0;
    std::uint32_t g_bitsPerSample = 0;
    std::uint32_t g_channels = 0;
};

// Rate, bits and channels from the three choices; an unknown choice leaves
// its value as it was.
void FormatFromChoices(RecorderRecords& r);

// FormatFromChoices, then one MCI_SET of the whole format to `device`
// (no wait, no notify; its answer is not looked at).
void SetRecordFormat(IMci& mci, std::uint32_t device, RecorderRecords& r);

// A decimal number read the way atof reads one: leading blanks, a sign,
// digits, a fraction and an exponent; reading stops at the first other
// character, and nothing readable gives 0. Never depends on the locale.
double ReadDecimal(std::string_view text);

// The rate typed in kHz as whole Hz, truncated toward zero (clamped to the
// 32-bit range).
std::int32_t UserRateFromText(std::string_view kiloHertz);

// The [Recording] section of Mixora.ini at `iniPath`.
// Reads "SampRate", "Channels" and "SampSize" (1010, 1017, 1015 when
// missing) into the three choices, and "UserRate" into g_userRate (22050
// when missing or out of range).
void ReadRecordingChoices(IPrivateProfile& profile, const std::string& iniPath, RecorderRecords& r);
// Writes "SampRate", "SampSize", "Channels" and then "UserRate".
void WriteRecordingChoices(IPrivateProfile& profile, const std::string& iniPath,
                           const RecorderRecords& r);

} // namespace mixora
