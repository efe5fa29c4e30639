#pragma once
// The trainer's whole sound goes through here: program changes, notes, all-notes-off and the clicks of
// the metronome, as three-byte messages to one MIDI output opened at start-up. The sound settings are
// read at every call, so a change in the settings dialog applies to the next message. The window and the
// player each have a Midi1 over their own settings; both send through the one MidiPort of the run.
// Thread: the thread of its owner: the window's Midi1 on the window's thread, the player's on the player's.

#include "sound/midi_port.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace orbel {

class Prompter;
struct Settings;

namespace midi_channels {
static constexpr int Melody = 0;
static constexpr int Chord = 1;
static constexpr int Bass = 2;
static constexpr int ReferenceTone = 3;
static constexpr int Percussion = 9;
} // namespace midi_channels

// Fixed keys and programs of the clicks and reference tones.
namespace midi_sounds {
// The click first ends the previous one with a silent note-on of key 123, on the percussion channel.
static constexpr int ClearKey = 0x7B;
// The count-in always sounds the low agogo at full strength, whatever click sound is chosen.
static constexpr int CountInKey = 0x44;
static constexpr int CountInVelocity = 0x7F;
// Reference tones sound with the acoustic grand piano.
static constexpr int ReferenceToneProgram = 1;
} // namespace midi_sounds

class Midi1 {
public:
    // Sends through port, which must outlive it.
    Midi1(const Settings& settings, MidiPort& port);
    // A port of its own: output is where the messages go (see MakeMidiOutput); logFile where they are
    // traced as well, ORBEL_MIDI_LOG's file by default.
    Midi1(const Settings& settings, Prompter& prompter, std::unique_ptr<MidiOutput> output,
          std::optional<std::filesystem::path> logFile = MidiLogPathFromEnvironment());
    ~Midi1();
    Midi1(const Midi1&) = delete;
    Midi1& operator=(const Midi1&) = delete;

    // Opens the output. The first failure of a run tells the user; the program then runs on without
    // sound, and later failures stay silent. True when the output is open.
    bool MidiOpen();
    // Silences everything at once (the quit request).
    void MidiReset();
    void MidiClose();
    // The tables are constants here; what remains is to close and reopen the output.
    void InitSoundTables();

    // program counts from 1; a number outside 1..128 is not sent.
    void MidiProgram(int channel, int program);
    // The written pitch, sounding for the transposing instrument: pitch + PitchBaseC + TransposeSemitones.
    // The MIDI key a pitch of the sequence sounds as, with the pitch base and the transposition; none
    // outside MIDI's range.
    std::optional<int> KeyOf(int pitch) const;
    void MidiNoteOn(int channel, int pitch, int velocity);
    // Concert pitch: pitch + PitchBaseC.
    void MidiNoteOnConcert(int channel, int pitch, int velocity);
    void MidiNoteOffConcert(int channel, int pitch);
    // Controller 123: how the player ends its notes.
    void MidiAllNotesOff(int channel);
    // The metronome click of the chosen ClickSound at ClickVolume.
    void MidiClick();
    // The metronome click of the first click sound, whatever is chosen.
    void MidiClickFirst();
    void MidiCountInClick();
    // Channel 0 MelodyProgram, 1 ChordProgram, 2 the bass of BassSound, 3 the piano for reference tones.
    void SendProgramChanges();

    // The moment the following messages are due on MidiClock (the player's deadline), or none for "at
    // once". Belongs to the thread that sends through this Midi1.
    void setDueTime(std::optional<MidiClock::time_point> due) { due_ = due; }

    bool isOpen() const;
    // Why the last open failed, in the output's own words; empty after a successful open.
    std::string openError() const { return port_->openError(); }
    MidiPort& port() { return *port_; }
    const MidiPort& port() const { return *port_; }

private:
    // Every message leaves through here: traced, then sent.
    void sendShort(int status, int data1, int data2);
    void sendNote(int channel, int key, int velocity);
    void sendClick(std::optional<int> key);

    const Settings& settings_;
    std::unique_ptr<MidiPort> ownPort_;
    MidiPort* port_;
    std::optional<MidiClock::time_point> due_;
};

} // namespace orbel
