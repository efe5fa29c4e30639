#pragma once
// The persistent settings of the trainer, one member per field of cfg.infdat. What each field is (its place
// in the record, its load rule, its factory value, whether a performance takes it at once) is said once, in
// the field table of theory/settings_table.h; everything that walks the fields is derived from it.
// Every switch is a bool here; how the record spells true (1, or −1 for the view switches and SoundOnChange)
// matters only to the record's codec.

#include <array>
#include <cstdint>
#include <string>

namespace orbel {

namespace settings_limits {
static constexpr int UserFileFieldBytes = 130;
static constexpr int StudyItemSlots = 11;
static constexpr int ColourSwatches = 7;
static constexpr int Switches = 16;
} // namespace settings_limits

// How the record last read spelled each switch, in the table's order of the switches. A save writes a switch
// that still has the value it was read with as it was read, so that a record nobody changed keeps its bytes
// (a switch is on only when spelled as its true form; any other number reads as off and is written back as
// it was). Settings built in memory spell every switch the usual way. Not part of the settings' value: it
// never makes two settings unequal.
struct RecordSpelling {
    std::array<std::int16_t, settings_limits::Switches> switches{};
    bool operator==(const RecordSpelling&) const { return true; }
};

struct Settings {
    // Field 0 exactly as it was read or will be written (text130, space padded).
    std::array<char, settings_limits::UserFileFieldBytes> UserFileField{};
    // Working copy of field 0: the user-defined phrase file, UTF-8, trimmed.
    std::string UserFilePath;

    std::int16_t RootKey = 0;
    std::int16_t RootProgression = 0;
    std::int16_t TransposeSemitones = 0;
    std::int16_t MelodyProgram = 0;
    bool SoundOnChange = false;
    std::int16_t PitchBaseC = 0;
    std::int16_t StudyType = 0;
    std::array<std::int16_t, 2> IIVIMode{};                                  // key mode, V7 treatment
    std::array<std::uint32_t, settings_limits::ColourSwatches> ViewColour{}; // 0x00BBGGRR
    std::array<std::int32_t, 6> Reserved17{};                                // fields 17–22
    std::int16_t Tempo = 0;
    bool ShowScore = false;
    bool ShowDiagram = false;
    bool ShowKeyboard = false;
    std::int16_t Reserved27 = 0;
    std::int16_t RepeatCount = 0;
    bool RepeatOn = false;
    bool ConcertPitchPlay = false;
    std::int16_t Reserved31 = 0;
    std::int16_t Reserved32 = 0;
    bool EntryDisplay = false;
    bool SwingOn = false;
    bool RangeLimitOn = false;
    std::int16_t RangeHigh = 0;
    std::int16_t RangeLow = 0;
    bool CountInOn = false;
    bool ClickOn = false;
    std::int16_t SwingLevel = 0;
    std::int16_t ChordProgram = 0;
    bool AccompanimentOn = false;
    std::array<std::int16_t, settings_limits::StudyItemSlots> StudyItem{};
    std::int16_t ClickSound = 0;
    std::int16_t BassSound = 0;
    bool MelodyOn = false;
    std::int16_t Reserved47 = 0;
    std::int16_t MelodyVolume = 0;
    std::int16_t ChordVolume = 0;
    std::int16_t ClickVolume = 0;
    std::int16_t BassVolume = 0;
    std::int16_t Reserved52 = 0;
    bool UpDown = false;
    bool HideDemoOffer = false;
    bool KeyboardSetsRoot = false;
    std::int16_t Reserved56 = 0;
    float Reserved57 = 0.0F;
    std::array<std::int32_t, 6> Reserved58{}; // fields 58–63

    RecordSpelling spelling;

    bool operator==(const Settings&) const = default;
};

// The value checks applied after every load and save: each field with a load rule is pulled into its range
// or set to its fixed value (the field table's rules; they act on one field each, so their order is free).
void ApplyLoadRules(Settings& s);

// The factory settings, cfg_org.infdat: every field at its factory value in the field table.
Settings FactorySettings();

} // namespace orbel
