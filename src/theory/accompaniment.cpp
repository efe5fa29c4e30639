// Bass line and chord comping of the accompaniment.
#include "theory/accompaniment.h"

#include "theory/kihon.h"
#include "theory/prepare_build.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <random>
#include <string_view>
#include <utility>

namespace orbel {

namespace {

using namespace timeline_limits;
using namespace accompaniment_limits;

static constexpr int BeatColumns = 4; // the bass plays on the first four beats of a bar

// Which voicing entry the bass plays on beats 1..4 of a bar, one row per bass pattern b = 1..5. Entry 0 is
// mostly the root, 1 the third, 2 the fifth, 3 the seventh.
static constexpr std::array<std::array<int, BeatColumns>, BassPatterns> BassEntries = {{
    {0, 1, 2, 1},
    {0, 1, 0, 2},
    {0, 2, 1, 0},
    {3, 2, 1, 0},
    {0, 2, 0, 2},
}};

// Positions in the bar where the chord is struck.
static constexpr int Downbeat = 0;
static constexpr int FirstOffbeat = 12; // the "and" of beat one
static constexpr int ThirdBeat = 48;
static constexpr int SecondOffbeat = 60; // the "and" of beat three

bool IsBlank(std::string_view text) {
    return CleanFixedText(text).empty();
}

int PitchClassDistance(int a, int b) {
    return ((a - b) % 12 + 12) % 12;
}

// True when cell holds a note of the same pitch class as tone.
bool Doubles(int tone, int cell) {
    return cell >= 0 && PitchClassDistance(tone, cell) == 0;
}

// The bass tone at pos, or NoEvent off the beats. A C♭ root lies at −1, which the player would take for an
// event without a note: it is played an octave up instead.
std::int16_t BassAt(const Voicing& voicing, int pattern, int pos) {
    if (pos % TicksPerBeat != 0 || pos / TicksPerBeat >= BeatColumns) return NoEvent;
    const int entry =
        BassEntries[static_cast<std::size_t>(pattern - 1)][static_cast<std::size_t>(pos / TicksPerBeat)];
    const int tone = voicing[static_cast<std::size_t>(entry)];
    return static_cast<std::int16_t>(tone < 0 ? tone + 12 : tone);
}

// Swing in 4/4 plays the chosen rhythm; anything else strikes on beats one and three.
bool StrikesAt(int pos, int rhythm, bool playsRhythm) {
    if (!playsRhythm) return pos == Downbeat || pos == ThirdBeat;
    switch (rhythm) {
    case 1:
        return pos == Downbeat || pos == FirstOffbeat || pos == SecondOffbeat;
    case 2:
        return pos == FirstOffbeat || pos == SecondOffbeat;
    case 3:
        return pos == Downbeat || pos == SecondOffbeat;
    default: // 4 and the opening rhythm
        return pos == Downbeat || pos == ThirdBeat;
    }
}

} // namespace

Accompaniment::Accompaniment(RandomSource random)
    : Random(random ? std::move(random) : ClockSeededRandom()) {}

int Accompaniment::Draw(int count) {
    const double drawn = std::floor(Random() * count + 1);
    if (!(drawn >= 1)) return 1; // also catches NaN
    return drawn > count ? count : static_cast<int>(drawn);
}

void Accompaniment::BuildAccompaniment(Timeline& timeline, int variant, const Settings& settings,
                                       int beatsPerBar, int studyType, const std::function<void()>& yield) {
    if (!settings.AccompanimentOn || studyType == study_type::Scale) return;
    if (variant < 0 || variant >= Variants || beatsPerBar < 1) return;

    const int barTicks = beatsPerBar * TicksPerBeat;
    const bool playsRhythm = settings.SwingOn && beatsPerBar == 4;
    const int end = std::min(timeline.TimelineLength, timeline.capacity());
    int bassPattern = 1;
    int rhythm = OpeningRhythm;
    CurrentChord.clear();
    for (int t = 0; t < end; t += StepTicks) {
        const int pos = t % barTicks;
        if (pos == 0) {
            bassPattern = Draw(BassPatterns);
            rhythm = Draw(Rhythms);
            if (t == 0 && (rhythm == 1 || rhythm == 2)) rhythm = OpeningRhythm;
        }
        const std::string& chord = timeline.EventChord[static_cast<std::size_t>(t)];
        const bool chordChanges = !IsBlank(chord);
        if (chordChanges) CurrentChord = chord;
        if (!CurrentChord.empty()) {
            if (chordChanges) ChordVoicing(chord, Voicing);
            std::int16_t& bass = timeline.cell(variant, VoiceBass, t);
            bass = BassAt(Voicing, bassPattern, pos);
            if (StrikesAt(pos, rhythm, playsRhythm)) PlaceChordVoicing(timeline, variant, t, bass);
        }
        if (yield) yield();
    }
}

void Accompaniment::PlaceChordVoicing(Timeline& timeline, int variant, int tick, int bass) {
    if (variant < 0 || variant >= Variants || !timeline.holds(tick)) return;
    const bool chordChanges = !IsBlank(timeline.EventChord[static_cast<std::size_t>(tick)]);
    if (tick == 0 && !chordChanges) return;

    // A new chord is voiced around what already sounds at this tick: no tone doubles the bass note struck
    // with it, nor the first chord tone of variant 0 there. Only a real note (0 or above) counts: comparing
    // with NoEvent itself would drop every A flat.
    const int firstOfVariant0 = timeline.cell(0, FirstChordVoice, tick);
    for (int m = 0; m < ChordVoices; ++m) {
        const int tone = Voicing[static_cast<std::size_t>(m)] + ChordOctave;
        const bool leftOut = chordChanges && (Doubles(tone, bass) || Doubles(tone, firstOfVariant0));
        timeline.cell(variant, FirstChordVoice + m, tick) =
            leftOut ? NoEvent : static_cast<std::int16_t>(tone);
    }
}

Accompaniment::RandomSource SeededRandom(std::uint32_t seed) {
    return [engine = std::mt19937(seed)]() mutable {
        // Some library versions can round a draw up to 1; Draw keeps such a value in range anyway.
        return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
    };
}

Accompaniment::RandomSource ClockSeededRandom() {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return SeededRandom(static_cast<std::uint32_t>(now ^ (now >> 32)));
}

} // namespace orbel
