#pragma once
// Grouping the short notes of the sequence under beams and triplet brackets for the staff.

#include "theory/play_sequence.h"

namespace orbel {

// SeqBeam codes. The units digit places a note in its group; the rest of the code names the kind of group.
namespace beam_code {
static constexpr int None = 0;
static constexpr int First = 1;
static constexpr int Inner = 2;
static constexpr int Last = 3;
static constexpr int Eighth = 0;                  // 1..3
static constexpr int Sixteenth = 10;              // 11..13; an inner or last code of 2 or 3 is an eighth
static constexpr int ThirtySecond = 20;           // 21..23
static constexpr int QuarterTriplet = 300;        // 301..303
static constexpr int EighthTriplet = 310;         // 311..313
static constexpr int SixteenthTriplet = 320;      // 321..323
static constexpr int ThirtySecondTriplet = 330;   // 331..333
static constexpr int EighthTripletWithRest = 400; // 401..403
static constexpr int PlaceDigits = 10;

// The place of a code's note in its group (First, Inner, Last; None for no group) and its kind of group.
constexpr int PlaceOf(int code) {
    return code % PlaceDigits;
}
constexpr int GroupOf(int code) {
    return code - PlaceOf(code);
}
} // namespace beam_code

// Fills SeqBeam for the notes 0..SeqCount − 1 from their durations, rest flags and place in the bar: runs of
// eighths, sixteenths and thirty-seconds that start on a beat (or half beat) are beamed, and triplets get
// their brackets. A note in no group gets code 0.
void ComputeBeams(PlaySequence& seq);

} // namespace orbel
