// Writes the factory settings record, cfg_org.infdat, to the path given as the only argument. The File menu's
// reset copies it over cfg.infdat, so every value here must already satisfy the load rules.

#include "app/settings_file.h"
#include "datafiles/atomic_save.h"
#include "datafiles/text_encoding.h"
#include "theory/settings.h"

#include <QString>
#include <cstdio>

namespace {

// Colours are 0x00BBGGRR.
static constexpr std::uint32_t PaleCream = 0x00DCF8FF; // circle disk
static constexpr std::uint32_t PaleBlue = 0x00FFE6C8;  // inside the scale polygon
static constexpr std::uint32_t Salmon = 0x008CA0FF;    // root cells and marker
static constexpr std::uint32_t PaleGreen = 0x00AAE6AA; // chord elements
static constexpr std::uint32_t Yellow = 0x0000E6FF;    // the note being played
static constexpr std::uint32_t SkyBlue = 0x00FFC896;   // marked keys
static constexpr std::uint32_t Orange = 0x00008CFF;    // the key being played

orbel::Settings FactorySettings() {
    orbel::Settings s;
    orbel::StoreUserFilePath(s); // no user file: a blank field
    s.Tempo = 120;
    s.RootKey = 0;
    s.StudyType = 0;
    s.MelodyVolume = 100;
    s.ChordVolume = 80;
    s.BassVolume = 100;
    s.ClickVolume = 90;
    s.MelodyProgram = 1; // piano
    s.ChordProgram = 1;
    s.BassSound = 0;
    s.ClickSound = 0;
    s.PitchBaseC = 36; // pitch 24 (3C) sounds as MIDI 60, middle C
    s.RepeatCount = 4;
    s.RepeatOn = 1;
    s.ShowScore = -1;
    s.ShowDiagram = -1;
    s.ShowKeyboard = -1;
    s.CountInOn = 1;
    s.ClickOn = 1;
    s.SwingLevel = 1;
    s.AccompanimentOn = 1;
    s.MelodyOn = 1;
    s.RangeHigh = 60;
    s.RangeLow = 12;
    s.HideDemoOffer = 0;
    s.ViewColour = {PaleCream, PaleBlue, Salmon, PaleGreen, Yellow, SkyBlue, Orange};
    s.Reserved27 = 1;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <cfg_org.infdat>\n", argv[0]);
        return 2;
    }
    const orbel::Settings factory = FactorySettings();
    orbel::Settings checked = factory;
    orbel::ApplyLoadRules(checked);
    if (!(checked == factory)) {
        std::fprintf(stderr, "factory settings break a load rule\n");
        return 1;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!orbel::WriteFileAtomic(path, orbel::EncodeSettingsRecord(factory))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
