#pragma once
// The outputs the chooser offers: the built-in synthesizer once per SoundFont in a folder, then every
// ALSA sequencer port, and which of them the trainer uses now. No widgets, so it is tested as plain data.

#include "sound/midi_backend.h"

#include <QString>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orbel {

struct OutputEntry {
    QString label;
    // What midiout.txt holds when this entry is chosen.
    MidiBackendChoice choice;
};

struct OutputList {
    std::vector<OutputEntry> entries;
    // The entry the trainer plays through now; nothing when that output is not in the list.
    std::optional<std::size_t> current;
    // The choice as read, so that the window can name it when it is not in the list.
    MidiBackendChoice inUse;
    // Where the SoundFonts were looked for, to name it when none was there.
    std::filesystem::path soundFontFolder;
    // Why the sequencer's ports could not be listed; empty when they could.
    std::string portProblem;
};

// The .sf2 and .sf3 files of folder that can be read, in name order, each file once however many links
// lead to it; none when the folder is missing.
std::vector<std::filesystem::path> ListSoundFonts(const std::filesystem::path& folder);

// The entries for the SoundFonts of soundFontFolder and the given port names, with inUse marked. An
// empty SoundFont in inUse is the one the synthesizer picks from soundFontFolder by itself; an ALSA port
// is found as the sequencer finds it (its number, its name, a piece of its name, or the first port).
OutputList BuildOutputList(const std::filesystem::path& soundFontFolder,
                           const std::vector<std::string>& portNames, const MidiBackendChoice& inUse);

// The list for this machine: the system's SoundFont folder, the sequencer's ports and the choice the
// trainer reads from programFolder.
OutputList LoadOutputList(const QString& programFolder);

} // namespace orbel
