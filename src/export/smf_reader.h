#pragma once
// Reads the notes of a Standard MIDI File: every note-on with its time in milliseconds, through the file's
// tempo map (or its SMPTE division). Bounded: the notes and the tempo changes are counted as they come and
// the reading stops at a limit, so a damaged or hostile file costs neither unbounded time nor memory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orbel::exporter {

namespace smf_limits {
static constexpr std::size_t MaxNotes = 1'000'000;
// A played performance changes tempo seldom; a change on every tick is a damaged or hostile file.
static constexpr std::size_t MaxTempoChanges = 100'000;
static constexpr int MaxTracks = 4096;
} // namespace smf_limits

struct SmfNote {
    int track = 0;
    int channel = 0;
    int key = 0;
    int velocity = 0;
    double ms = 0.0;
};

struct SmfNotes {
    std::vector<SmfNote> notes;          // in order of time
    std::vector<std::string> trackNames; // one per track, empty where a track has none
};

struct SmfReadResult {
    std::optional<SmfNotes> file;
    std::string error; // why not, in a few words
};

SmfReadResult ReadSmfNotes(std::span<const std::uint8_t> bytes);

} // namespace orbel::exporter
