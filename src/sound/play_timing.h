#pragma once
// The lengths the player waits, all whole milliseconds: a beat at the tempo, a tick (a 24th of a beat), the
// long and short ticks of the swing feel, and the small texts and places that go with a repetition.
// Thread: any thread (pure functions).

#include <QString>

namespace orbel {

namespace play_timing {
static constexpr int TicksPerBeat = 24;
static constexpr int HalfBeatTicks = 12; // where the swing's short half of a beat begins
static constexpr int SlowestTempo = 1;   // a tempo below it plays at it, rather than dividing by zero
static constexpr int ShortestWaitMs = 1; // a wait of 0 would restart the deadline chain instead of waiting
static constexpr int SwingLevels = 3;    // "軽め", "標準", "重め"
static constexpr float LabelYBesideKeyboard = 750.0F; // the label's height when the keyboard is hidden
} // namespace play_timing

struct TickLengths {
    int beat = 0;       // nearest(60000 / tempo)
    int tick = 0;       // nearest(beat / 24): the real tempo is 60000 / (24 × tick)
    int swingLong = 0;  // ticks 0–11 of a beat when swinging
    int swingShort = 0; // ticks 12–23 of a beat when swinging
};

// A beat in milliseconds, halves rounded to even.
int BeatMs(int tempo);

// The lengths for a play-through; swingLevel 0..2 (a value outside counts as the nearest level).
TickLengths TickLengthsFor(int tempo, int swingLevel);

// The number of a repetition and the count joined by "/" when repeating (repeatOn = 1), else empty.
QString RepeatLabelText(int number, int count, int repeatOn);

struct LabelPosition {
    float x = 0;
    float y = 0;
};

// Where the repetition label and the tempo mark go, beside the circle diagram of centre (cx, cy) and
// radius r: above its right side when the keyboard is shown, else at a fixed height.
LabelPosition RepeatLabelPosition(float cx, float cy, float r, bool keyboardShown);

// How far the root moves between passes of the repeat loop for each RootProgression choice: a semitone
// up, a semitone down, a fourth up, or not at all (also for a value outside the choices).
int ProgressionStep(int rootProgression);

} // namespace orbel
