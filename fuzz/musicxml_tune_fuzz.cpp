// A MusicXML lead sheet: a reason or a tune, never both; a tune has 1..MaxBars bars, each with at most four
// chords whose beats fill the bar at the time signature then in force.

#include "datafiles/musicxml_tune.h"
#include "fuzz_support.h"

#include <numeric>

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MusicXmlTuneResult result = ParseMusicXmlTune(fuzz::Bytes(data, size));
    fuzz::Require(result.tune.has_value() == result.error.isEmpty(), "a reason exactly when nothing is read");
    if (!result.tune) return 0;
    const Tune& tune = *result.tune;
    fuzz::Require(!tune.bars.empty() && tune.bars.size() <= static_cast<std::size_t>(tune_limits::MaxBars),
                  "1..MaxBars bars");
    fuzz::Require(tune.timeTop >= 3 && tune.timeTop <= 6, "the first time signature is one of ours");
    fuzz::Require(tune.key >= 0 && tune.key < 12, "the key is a pitch class");
    int beats = tune.timeTop;
    bool chords = false;
    for (const TuneBar& bar : tune.bars) {
        if (bar.timeTop != 0) beats = bar.timeTop;
        fuzz::Require(beats >= 3 && beats <= 6, "every time signature is one of ours");
        fuzz::Require(bar.chords.size() <= static_cast<std::size_t>(tune_limits::MaxChordsPerBar),
                      "at most four chords a bar");
        chords = chords || !bar.chords.empty();
        if (bar.chords.empty()) continue;
        const int sum = std::accumulate(bar.chords.begin(), bar.chords.end(), 0,
                                        [](int total, const TuneChord& c) { return total + c.beats; });
        fuzz::Require(sum == beats, "the chords' beats fill the bar");
        for (const TuneChord& c : bar.chords) {
            fuzz::Require(c.beats >= 1, "every chord sounds");
            fuzz::Require(c.chord.root >= -1 && c.chord.root < 12 && c.chord.bass >= -1 && c.chord.bass < 12,
                          "roots and basses are pitch classes");
        }
        fuzz::Require(bar.section.size() <= 4 * static_cast<std::size_t>(tune_limits::MaxTextChars),
                      "a section mark is cut");
    }
    fuzz::Require(chords, "a tune read has chords");
    return 0;
}
