#pragma once
// The instrument tables of the sound settings: the melody and chord instrument lists, the bass programs
// and the percussion keys of the click. Program numbers are General MIDI numbers counted from 1.
// Thread: any thread (constant tables).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orbel {

namespace sound_tables {
// Both lookup tables have room for eleven entries; the ones behind the named sounds hold 0.
static constexpr int TableSlots = 11;
static constexpr int MelodyInstrumentCount = 41;
// The chord instrument list is the head of the melody list, up to the guitar harmonics.
static constexpr int ChordInstrumentCount = 32;
static constexpr int ProgramMin = 1;
static constexpr int ProgramMax = 128;
} // namespace sound_tables

// Captions of the melody instrument list, in list order (the blanks are part of the captions).
static constexpr std::array<std::string_view, sound_tables::MelodyInstrumentCount> MelodyInstruments{
    "Piano1",    "Piano2",    "Piano3",       "HonkyPiano", "E-Piano1",   "E-Piano2",      "Hapsichord ",
    "Clavi",     "Celesta",   "Glockenspiel", "MusicBox",   "Vibraphone", "Marimba",       "Xylophone",
    "bell",      "Santur",    "Organ1",       "Organ2",     "Organ3",     "Church Organ1", "Rees Organ1",
    "Accordion", "Harmonica", "BandNeon",     "NylonGt",    "SteelGt",    "JazzGt",        "CleanGt",
    "MuteGt",    "OdGt",      "DistGt",       "GtHarmonic", "Trunpet",    "Trombone",      "Trombone2",
    "SynBrass1", "SynBrass2", "S.Sax",        "A.Sax",      "T.Sax",      "B.Sax"};

// Captions of the bass list; the position is the settings value BassSound.
static constexpr std::array<std::string_view, 8> BassNames{
    "アコべ ", "Fingered Bs", "Picked Bs", "FretlessBs", "Slap Bs1", "Slap Bs2", "Synth Bs1", "Synth Bs2 "};

// Captions of the click list; the position is the settings value ClickSound.
static constexpr std::array<std::string_view, 10> ClickNames{
    "Metro Clic", "スネア",         "手打ち",     "Lowトム",  "Midトム",
    "Hiトム",     "ライドシンバル", "タンバリン", "カウベル", "アゴゴ"};

// Bass program per BassSound: acoustic bass (33) up to synth bass 2 (40).
static constexpr std::array<std::int16_t, sound_tables::TableSlots> BassPrograms{33, 34, 35, 36, 37, 38,
                                                                                 39, 40, 0,  0,  0};

// Percussion key on channel 9 per ClickSound.
static constexpr std::array<std::int16_t, sound_tables::TableSlots> PercussionNotes{33, 38, 39, 41, 45, 48,
                                                                                    51, 54, 56, 68, 0};

// The program a position of the melody list selects. The list skips from the guitars to the brass and
// from the trombones to the synth brass, so with n = position + 1 the program is n up to 32, n + 24 for
// 33..35 and n + 27 from 36 on.
constexpr std::optional<int> MelodyProgramAt(int position) {
    if (position < 0 || position >= sound_tables::MelodyInstrumentCount) return std::nullopt;
    const int n = position + 1;
    if (n <= 32) return n;
    if (n <= 35) return n + 24;
    return n + 27;
}

// The list position that selects a program; nothing for programs the list does not offer.
constexpr std::optional<int> MelodyPositionOf(int program) {
    if (program >= 1 && program <= 32) return program - 1;
    if (program >= 57 && program <= 59) return program - 25;
    if (program >= 63 && program <= 68) return program - 28;
    return std::nullopt;
}

constexpr std::optional<int> ChordProgramAt(int position) {
    if (position < 0 || position >= sound_tables::ChordInstrumentCount) return std::nullopt;
    return position + 1;
}

constexpr std::optional<int> ChordPositionOf(int program) {
    if (program < 1 || program > sound_tables::ChordInstrumentCount) return std::nullopt;
    return program - 1;
}

// Table lookups that never read past the tables: nothing for an index outside 0..10. Entries 8..10 of
// the bass table hold 0, which is no program at all; the caller does not send it.
constexpr std::optional<int> BassProgramFor(int bassSound) {
    if (bassSound < 0 || bassSound >= sound_tables::TableSlots) return std::nullopt;
    return BassPrograms[static_cast<std::size_t>(bassSound)];
}

constexpr std::optional<int> PercussionNoteFor(int clickSound) {
    if (clickSound < 0 || clickSound >= sound_tables::TableSlots) return std::nullopt;
    return PercussionNotes[static_cast<std::size_t>(clickSound)];
}

} // namespace orbel
