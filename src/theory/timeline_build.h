#pragma once
// Turning the play sequence into the player's tick timeline: the melody voice and the per-tick copies of
// what the views show for each note.

#include "theory/play_sequence.h"
#include "theory/timeline.h"

#include <span>

namespace orbel {

// Empties the timeline for a build of up to ticks ticks: every voice of both variants NoEvent, TieAt 0, the
// per-tick copies blank, TimelineLength 0. The tables then hold max(MinimumTicks, ticks + 1) ticks (no more
// than MaximumLength + 1).
void ClearTimeline(Timeline& timeline, int ticks = 0);

// Makes the tables hold ticks 0..ticks (no more than MaximumLength) without touching what they hold; the
// new cells are empty as ClearTimeline leaves them. Never shrinks them.
void GrowTimeline(Timeline& timeline, int ticks);

// The sum of the note durations of the sequence; a negative duration counts as 0.
long long SequenceTicks(const PlaySequence& seq);

// Writes the melody of seq into a cleared timeline, growing the tables when the sequence is longer than
// they are. Each note starts at the sum of the durations before it: a rest writes MelodyStop, a tied note
// MelodyStop with TieAt 1, any other note its pitch raised by OctaveShift octaves. The note's chord symbol
// (trimmed, only when not blank), circle point, degree and staff position (noteX, rowBase by note; missing
// entries count as 0) are copied to its starting tick. MelodyStop also ends the line, at TimelineLength.
// Returns false when the sequence is longer than MaximumLength: it is then cut before the first note that
// would end past it.
bool BuildTimeline(Timeline& timeline, const PlaySequence& seq, std::span<const float> noteX = {},
                   std::span<const float> rowBase = {});

} // namespace orbel
