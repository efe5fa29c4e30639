#pragma once
// The persistent settings of the trainer, one field per entry of cfg.infdat.
// Plain data with no behaviour: the file layout lives in app/settings_file.*.

#include <array>
#include <cstdint>
#include <string>

namespace orbel {

namespace settings_limits {
static constexpr int UserFileFieldBytes = 130;
static constexpr int StudyItemSlots = 11;
static constexpr int ColourSwatches = 7;
} // namespace settings_limits

struct Settings {
    // Field 0 exactly as it was read or will be written (text130, space padded).
    std::array<char, settings_limits::UserFileFieldBytes> UserFileField{};
    // Working copy of field 0: the user-defined phrase file, UTF-8, trimmed.
    std::string UserFilePath;

    std::int16_t RootKey = 0;
    std::int16_t RootProgression = 0;
    std::int16_t TransposeSemitones = 0;
    std::int16_t MelodyProgram = 0;
    std::int16_t SoundOnChange = 0;
    std::int16_t PitchBaseC = 0;
    std::int16_t StudyType = 0;
    std::array<std::int16_t, 2> IIVIMode{};                                  // key mode, V7 treatment
    std::array<std::uint32_t, settings_limits::ColourSwatches> ViewColour{}; // 0x00BBGGRR
    std::array<std::int32_t, 6> Reserved17{};                                // fields 17–22
    std::int16_t Tempo = 0;
    std::int16_t ShowScore = 0;
    std::int16_t ShowDiagram = 0;
    std::int16_t ShowKeyboard = 0;
    std::int16_t Reserved27 = 0;
    std::int16_t RepeatCount = 0;
    std::int16_t RepeatOn = 0;
    std::int16_t ConcertPitchPlay = 0;
    std::int16_t Reserved31 = 0;
    std::int16_t Reserved32 = 0;
    std::int16_t EntryDisplay = 0;
    std::int16_t SwingOn = 0;
    std::int16_t RangeLimitOn = 0;
    std::int16_t RangeHigh = 0;
    std::int16_t RangeLow = 0;
    std::int16_t CountInOn = 0;
    std::int16_t ClickOn = 0;
    std::int16_t SwingLevel = 0;
    std::int16_t ChordProgram = 0;
    std::int16_t AccompanimentOn = 0;
    std::array<std::int16_t, settings_limits::StudyItemSlots> StudyItem{};
    std::int16_t ClickSound = 0;
    std::int16_t BassSound = 0;
    std::int16_t MelodyOn = 0;
    std::int16_t Reserved47 = 0;
    std::int16_t MelodyVolume = 0;
    std::int16_t ChordVolume = 0;
    std::int16_t ClickVolume = 0;
    std::int16_t BassVolume = 0;
    std::int16_t Reserved52 = 0;
    std::int16_t UpDown = 0;
    std::int16_t HideDemoOffer = 0;
    std::int16_t KeyboardSetsRoot = 0;
    std::int16_t Reserved56 = 0;
    float Reserved57 = 0.0F;
    std::array<std::int32_t, 6> Reserved58{}; // fields 58–63

    bool operator==(const Settings&) const = default;
};

// The value checks applied after every load and save, in their fixed order.
void ApplyLoadRules(Settings& s);

} // namespace orbel
