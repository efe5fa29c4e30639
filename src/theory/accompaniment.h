#pragma once
// The accompaniment: a bass line on the beats and chord stabs on a rhythm chosen at random per bar, written
// into voices 1–5 of the timeline under the melody. Two variants are built so that the player can alternate
// them from one repetition to the next.

#include "theory/settings.h"
#include "theory/timeline.h"
#include "theory/vocabulary.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orbel {

namespace accompaniment_limits {
static constexpr int StepTicks = 4;     // the timeline is walked in sixths of a quarter note
static constexpr int BassPatterns = 5;  // b = 1..5
static constexpr int Rhythms = 4;       // r = 1..4
static constexpr int OpeningRhythm = 9; // replaces rhythms 1 and 2 in the first bar
static constexpr int ChordOctave = 12;  // the comping lies an octave above the bass
} // namespace accompaniment_limits

class Accompaniment {
public:
    // Gives a number uniform in [0, 1) at each call.
    using RandomSource = std::function<double()>;

    // Without a source the accompaniment draws from ClockSeededRandom().
    explicit Accompaniment(RandomSource random = {});

    // Writes the bass (voice 5) and the comping (voices 1–4) of variant 0 or 1 over ticks
    // 0..TimelineLength − 1 of a timeline whose melody and chord symbols are in place. Nothing is written
    // unless settings.AccompanimentOn is on and the study is not a scale, nor for a bar of less than one
    // beat. Until the first chord symbol nothing sounds; from then on each bar draws a bass pattern and a
    // rhythm (the first bar never starts off the beat), and every chord symbol met changes the voicing at
    // once. yield runs after every step of 4 ticks, so a caller can act between the steps (tests stop there).
    void BuildAccompaniment(Timeline& timeline, int variant, const Settings& settings, int beatsPerBar,
                            int studyType, const std::function<void()>& yield = {});

    // Writes the four chord voices of variant at tick from the current voicing, an octave above it. Where a
    // chord symbol starts at tick the chord is new: a tone is left out when it doubles the pitch class of
    // bass, the bass note struck at that tick, or of variant 0's first chord voice there; a cell that holds
    // no note (below 0) takes no part. A chord that goes on is struck whole. Nothing is written at tick 0
    // without a chord symbol there, nor at a tick or variant the timeline does not hold.
    void PlaceChordVoicing(Timeline& timeline, int variant, int tick, int bass);

    const orbel::Voicing& voicing() const { return Voicing; }
    const std::string& currentChord() const { return CurrentChord; }

private:
    // A draw turned into 1..count as Int(random × count + 1), kept inside 1..count whatever the source gives.
    int Draw(int count);

    RandomSource Random;
    orbel::Voicing Voicing{}; // entries 0..3: the current chord's tones, −1..23
    std::string CurrentChord; // the last chord symbol met in the current build
};

// A source uniform in [0, 1) from a Mersenne twister with the given seed.
Accompaniment::RandomSource SeededRandom(std::uint32_t seed);

// SeededRandom seeded from the clock, so that every run of the program draws other patterns.
Accompaniment::RandomSource ClockSeededRandom();

} // namespace orbel
