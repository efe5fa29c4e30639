#pragma once
// Which MIDI output the trainer plays through. The MIDI output selector writes the choice into
// midiout.txt in the program folder; its first line that is not a comment is one of
//   synth [SoundFont file]     the built-in synthesizer (the default)
//   alsa [port number or name] an ALSA sequencer port
//   recorder                   nothing audible; messages are only kept (tests, with ORBEL_MIDI_LOG)
// The environment variable ORBEL_MIDI_BACKEND, in the same form, overrides the file.
// Thread: the window's thread, at start-up.

#include "sound/midi_output.h"

#include <QString>
#include <memory>
#include <string>
#include <string_view>

namespace orbel {

namespace midi_backend {
static constexpr const char* ChoiceFileName = "midiout.txt";
static constexpr const char* OverrideVariable = "ORBEL_MIDI_BACKEND";
} // namespace midi_backend

enum class MidiBackend { Synthesizer, AlsaPort, Recorder };

struct MidiBackendChoice {
    MidiBackend backend = MidiBackend::Synthesizer;
    // The SoundFont file of the synthesizer (empty: the system's General MIDI one), or the ALSA port.
    std::string argument;
    bool operator==(const MidiBackendChoice&) const = default;
};

// The choice in a text of the form above; the built-in synthesizer when the text names none or starts
// with a line it does not understand (then problem, when given, holds the start of that line).
MidiBackendChoice ParseMidiBackendChoice(std::string_view text, std::string* problem = nullptr);

// The line that ParseMidiBackendChoice reads back as the same choice.
std::string FormatMidiBackendChoice(const MidiBackendChoice& choice);

// The choice for this run: ORBEL_MIDI_BACKEND if set, else midiout.txt in the program folder, else the
// built-in synthesizer. A relative SoundFont path is taken from the program folder. A choice that names no
// output is put in problem, when given, as a sentence for the window (its text shown printable and short).
MidiBackendChoice ReadMidiBackendChoice(const QString& programFolder, QString* problem = nullptr);

std::unique_ptr<MidiOutput> MakeMidiOutput(const MidiBackendChoice& choice);

} // namespace orbel
