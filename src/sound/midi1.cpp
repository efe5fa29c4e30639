#include "sound/midi1.h"

#include "sound/instrument_tables.h"
#include "theory/settings.h"

#include <algorithm>

namespace orbel {

namespace {

bool IsChannel(int channel) {
    return channel >= 0 && channel < midi_bytes::Channels;
}

bool IsDataByte(long long value) {
    return value >= 0 && value <= midi_bytes::DataMax;
}

} // namespace

Midi1::Midi1(const Settings& settings, MidiPort& port) : settings_(settings), port_(&port) {}

Midi1::Midi1(const Settings& settings, Prompter& prompter, std::unique_ptr<MidiOutput> output,
             std::optional<std::filesystem::path> logFile)
    : settings_(settings),
      ownPort_(std::make_unique<MidiPort>(prompter, std::move(output), std::move(logFile))),
      port_(ownPort_.get()) {}

Midi1::~Midi1() = default;

bool Midi1::MidiOpen() {
    return port_->open();
}

void Midi1::MidiReset() {
    port_->reset();
}

void Midi1::MidiClose() {
    port_->close();
}

void Midi1::InitSoundTables() {
    MidiClose();
    MidiOpen();
}

bool Midi1::isOpen() const {
    return port_->isOpen();
}

void Midi1::sendShort(int status, int data1, int data2) {
    port_->send(PackShortMessage(status, data1, data2), due_);
}

void Midi1::sendNote(int channel, int key, int velocity) {
    // A key outside the MIDI range is dropped rather than folded into another octave or clamped onto
    // the edge, which would sound a wrong note. An out-of-range velocity only changes loudness, so it
    // is brought into range instead of silencing the note.
    if (!IsChannel(channel) || !IsDataByte(key)) return;
    sendShort(midi_bytes::NoteOn + channel, key, std::clamp(velocity, 0, midi_bytes::DataMax));
}

void Midi1::MidiProgram(int channel, int program) {
    if (!IsChannel(channel) || program < sound_tables::ProgramMin || program > sound_tables::ProgramMax)
        return;
    sendShort(midi_bytes::ProgramChange + channel, program - 1, 0);
}

std::optional<int> Midi1::KeyOf(int pitch) const {
    const long long key = static_cast<long long>(pitch) + settings_.PitchBaseC + settings_.TransposeSemitones;
    if (!IsDataByte(key)) return std::nullopt;
    return static_cast<int>(key);
}

void Midi1::MidiNoteOn(int channel, int pitch, int velocity) {
    if (const auto key = KeyOf(pitch)) sendNote(channel, *key, velocity);
}

void Midi1::MidiNoteOnConcert(int channel, int pitch, int velocity) {
    const long long key = static_cast<long long>(pitch) + settings_.PitchBaseC;
    if (IsDataByte(key)) sendNote(channel, static_cast<int>(key), velocity);
}

void Midi1::MidiNoteOffConcert(int channel, int pitch) {
    MidiNoteOnConcert(channel, pitch, 0);
}

void Midi1::MidiAllNotesOff(int channel) {
    if (!IsChannel(channel)) return;
    sendShort(midi_bytes::ControlChange + channel, midi_bytes::ControllerAllNotesOff, 0);
}

void Midi1::sendClick(std::optional<int> key) {
    sendShort(midi_bytes::NoteOn + midi_channels::Percussion, midi_sounds::ClearKey, 0);
    // A ClickSound outside the table (a damaged settings file) has no key: the click stays silent
    // rather than sounding some other instrument.
    if (key) sendNote(midi_channels::Percussion, *key, settings_.ClickVolume);
}

void Midi1::MidiClick() {
    sendClick(PercussionNoteFor(settings_.ClickSound));
}

void Midi1::MidiClickFirst() {
    sendClick(PercussionNotes[0]);
}

void Midi1::MidiCountInClick() {
    sendNote(midi_channels::Percussion, midi_sounds::CountInKey, midi_sounds::CountInVelocity);
}

void Midi1::SendProgramChanges() {
    // The settings keep the melody list entry (1..41); the list skips programs, so the entry is looked up.
    if (const auto melody = MelodyProgramAt(settings_.MelodyProgram - 1))
        MidiProgram(midi_channels::Melody, *melody);
    MidiProgram(midi_channels::Chord, settings_.ChordProgram);
    // A BassSound outside the table, or on one of its empty slots, names no program: the bass keeps
    // the one it has.
    if (const auto bass = BassProgramFor(settings_.BassSound)) MidiProgram(midi_channels::Bass, *bass);
    MidiProgram(midi_channels::ReferenceTone, midi_sounds::ReferenceToneProgram);
}

} // namespace orbel
