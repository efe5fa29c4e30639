#pragma once
// Finds the General MIDI SoundFont that the built-in synthesizer plays with.
// Thread: the window's thread, at start-up.

#include <filesystem>
#include <optional>

namespace orbel {

namespace soundfonts {
// Where Debian's SoundFont packages install their files.
static constexpr const char* SystemFolder = "/usr/share/sounds/sf2";
// Preferred first: the full General MIDI set, then the small one.
static constexpr const char* Preferred = "FluidR3_GM.sf2";
static constexpr const char* Fallback = "TimGM6mb.sf2";
} // namespace soundfonts

// FluidR3_GM.sf2 when the folder has it, else TimGM6mb.sf2, else the first other .sf2 file in name
// order; nothing when the folder has no readable SoundFont.
std::optional<std::filesystem::path>
FindGeneralMidiSoundFont(const std::filesystem::path& folder = soundfonts::SystemFolder);

} // namespace orbel
