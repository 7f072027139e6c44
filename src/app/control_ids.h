#pragma once
// Identifiers of the window's controls. A click or slider movement reaches
// the dispatcher as a command carrying one of these.
namespace mixora {

inline constexpr int ID_PLAY_PAUSE = 1001;
inline constexpr int ID_STOP = 1002;
inline constexpr int ID_REPEAT = 1006;
inline constexpr int ID_MUTE = 1007;
inline constexpr int ID_VOLUME = 1008;
inline constexpr int ID_VOICE_CANCEL = 1067;
inline constexpr int ID_POWER = 1082;
inline constexpr int ID_TOGGLE_RECORDER = 1083;
inline constexpr int ID_TOGGLE_PLAYLIST = 1084;
inline constexpr int ID_TOGGLE_EQUALIZER = 1085;
inline constexpr int ID_PLAYLIST_SCROLLBAR = 1098;
inline constexpr int ID_SEEKING_BAR = 1099;

} // namespace mixora
