#pragma once

// The jottex-sound module plays a WAV (a qrc: or file: address) without waiting for it, and stays
// silent where there is no sound output. A module of its own, so that Qt Multimedia and the audio
// libraries load only when an alert first rings.
inline constexpr char kSoundModule[] = "jottex-sound";
inline constexpr char kPlaySoundFunction[] = "jottex_play_sound";
using PlaySoundFunction = void (*)(const char* url);
