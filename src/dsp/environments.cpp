#include "dsp/environments.h"

namespace mixora {
namespace {

constexpr std::uint32_t kAllScale = kEaxFlagDecayTimeScale | kEaxFlagReflectionsScale |
                                    kEaxFlagReflectionsDelayScale | kEaxFlagReverbScale |
                                    kEaxFlagReverbDelayScale;
constexpr std::uint32_t kLimited = kAllScale | kEaxFlagDecayHfLimit; // 0x3F
constexpr std::uint32_t kFree = kAllScale;                           // 0x1F

// One listener record. Room level 0 mB, no roll-off and the standard air
// absorption of -5 mB per metre are shared by every environment.
constexpr EaxListener Make(std::uint32_t index, std::int32_t roomHF, float decay, float hfRatio,
                           std::int32_t reflections, float reflectionsDelay, std::int32_t reverb,
                           float reverbDelay, float size, float diffusion, std::uint32_t flags) {
    EaxListener l;
    l.lRoom = 0;
    l.lRoomHF = roomHF;
    l.flRoomRolloffFactor = 0.0f;
    l.flDecayTime = decay;
    l.flDecayHFRatio = hfRatio;
    l.lReflections = reflections;
    l.flReflectionsDelay = reflectionsDelay;
    l.lReverb = reverb;
    l.flReverbDelay = reverbDelay;
    l.dwEnvironment = index;
    l.flEnvironmentSize = size;
    l.flEnvironmentDiffusion = diffusion;
    l.flAirAbsorptionHF = -5.0f;
    l.dwFlags = flags;
    return l;
}

constexpr EnvironmentPreset Preset(const char* name, EaxListener l, float echoTime = 0.25f,
                                   float echoDepth = 0.0f, float modTime = 0.25f,
                                   float modDepth = 0.0f) {
    return EnvironmentPreset{name, l, echoTime, echoDepth, modTime, modDepth};
}

// Levels in mB, times in seconds, sizes in metres. The first 23 are the
// global-reverb records the DirectSound road sends, so both roads apply the
// same room; the last three exist on the driver road only.
// clang-format off
constexpr std::array<EnvironmentPreset, kEnvironmentCount> kEnvironments = {{
    //                        no. roomHF  decay hfRatio   refl  reflDly reverb revDly    size diffuse    flags  echo time, depth  modulation time, depth
    Preset("Generic",          Make( 0,  -100,  1.49f, 0.83f,  -2602, 0.007f,   200, 0.011f,   7.5f, 1.00f, kLimited)),
    Preset("Padded Cell",      Make( 1, -6000,  0.17f, 0.10f,  -1204, 0.001f,   207, 0.002f,   1.4f, 1.00f, kLimited)),
    Preset("Room",             Make( 2,  -454,  0.40f, 0.83f,  -1646, 0.002f,    53, 0.003f,   1.9f, 1.00f, kLimited)),
    Preset("Bathroom",         Make( 3, -1200,  1.49f, 0.54f,   -370, 0.007f,  1030, 0.011f,   1.4f, 1.00f, kLimited)),
    Preset("Livingroom",       Make( 4, -6000,  0.50f, 0.10f,  -1376, 0.003f, -1104, 0.004f,   2.5f, 1.00f, kLimited)),
    Preset("Stone Room",       Make( 5,  -300,  2.31f, 0.64f,   -711, 0.012f,    83, 0.017f,  11.6f, 1.00f, kLimited)),
    Preset("Auditorium",       Make( 6,  -476,  4.32f, 0.59f,   -789, 0.020f,  -289, 0.030f,  21.6f, 1.00f, kLimited)),
    Preset("Concert Hall",     Make( 7,  -500,  3.92f, 0.70f,  -1230, 0.020f,    -2, 0.029f,  19.6f, 1.00f, kLimited)),
    Preset("Cave",             Make( 8,     0,  2.91f, 1.30f,   -602, 0.015f,  -302, 0.022f,  14.6f, 1.00f,    kFree)),
    Preset("Arena",            Make( 9,  -698,  7.24f, 0.33f,  -1166, 0.020f,    16, 0.030f,  36.2f, 1.00f, kLimited)),
    Preset("Hangar",           Make(10, -1000, 10.05f, 0.23f,   -602, 0.020f,   198, 0.030f,  50.3f, 1.00f, kLimited)),
    Preset("Carpeted Hallway", Make(11, -4000,  0.30f, 0.10f,  -1831, 0.002f, -1630, 0.030f,   1.9f, 1.00f, kLimited)),
    Preset("Hallway",          Make(12,  -300,  1.49f, 0.59f,  -1219, 0.007f,   441, 0.011f,   1.8f, 1.00f, kLimited)),
    Preset("Stone Corridor",   Make(13,  -237,  2.70f, 0.79f,  -1214, 0.013f,   395, 0.020f,  13.5f, 1.00f, kLimited)),
    Preset("Alley",            Make(14,  -270,  1.49f, 0.86f,  -1204, 0.007f,    -4, 0.011f,   7.5f, 1.00f, kLimited), 0.125f, 0.95f),
    Preset("Forest",           Make(15, -3300,  1.49f, 0.54f,  -2560, 0.162f,  -613, 0.088f,  38.0f, 0.79f, kLimited), 0.125f, 1.00f),
    Preset("City",             Make(16,  -800,  1.49f, 0.67f,  -2273, 0.007f, -2217, 0.011f,   7.5f, 0.50f, kLimited)),
    Preset("Mountains",        Make(17, -2500,  1.49f, 0.21f,  -2780, 0.300f, -2014, 0.100f, 100.0f, 0.27f,    kFree), 0.250f, 1.00f),
    Preset("Quarry",           Make(18, -1000,  1.49f, 0.83f, -10000, 0.061f,   500, 0.025f,  17.5f, 1.00f, kLimited), 0.125f, 0.70f),
    Preset("Plain",            Make(19, -2000,  1.49f, 0.50f,  -2466, 0.179f, -2514, 0.100f,  42.5f, 0.21f, kLimited), 0.250f, 1.00f),
    Preset("Parking Lot",      Make(20,     0,  1.65f, 1.50f,  -1363, 0.008f, -1153, 0.012f,   8.3f, 1.00f,    kFree)),
    Preset("Sewer Pipe",       Make(21, -1000,  2.81f, 0.14f,    429, 0.014f,   648, 0.021f,   1.7f, 0.80f, kLimited)),
    Preset("Under Water",      Make(22, -4000,  1.49f, 0.10f,   -449, 0.007f,  1700, 0.011f,   1.8f, 1.00f, kLimited), 0.250f, 0.00f, 1.18f, 0.348f),
    Preset("Drugged",          Make(23,     0,  8.39f, 1.39f,   -115, 0.002f,   985, 0.030f,   1.9f, 0.50f,    kFree), 0.250f, 0.00f, 0.25f, 1.000f),
    Preset("Dizzy",            Make(24,  -400, 17.23f, 0.56f,  -1713, 0.020f,  -613, 0.030f,   1.8f, 0.60f,    kFree), 0.250f, 1.00f, 0.81f, 0.310f),
    Preset("Psychotic",        Make(25,  -151,  7.56f, 0.91f,   -626, 0.020f,   774, 0.030f,   1.0f, 0.50f,    kFree), 0.250f, 0.00f, 4.00f, 1.000f),
}};
// clang-format on

} // namespace

const std::array<EnvironmentPreset, kEnvironmentCount>& Environments() {
    return kEnvironments;
}

EaxListener ListenerForEnvironment(int index) {
    if (index < 0 || index >= kEnvironmentCount) {
        index = 0;
    }
    return kEnvironments[static_cast<std::size_t>(index)].listener;
}

} // namespace mixora
