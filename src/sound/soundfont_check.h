#pragma once
// Whether a file can be a SoundFont the synthesizer plays: its chunk structure, its presets and where its
// samples lie are checked from the headers and the preset data alone, without reading the samples, so that
// a damaged file (cut short, only a header, bytes flipped, a hole of zeros) is named before it plays
// silently.
// Thread: the window's thread, before the synthesizer opens a font.

#include <filesystem>
#include <optional>
#include <string>

namespace orbel {

// Nothing when the file looks whole; otherwise why it does not, naming the file, for the window.
std::optional<std::string> SoundFontProblem(const std::filesystem::path& file);

} // namespace orbel
