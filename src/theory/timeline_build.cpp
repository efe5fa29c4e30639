// The melody voice of the timeline and the per-tick copies for the views.
#include "theory/timeline_build.h"

#include "theory/kihon.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

namespace orbel {

namespace {

using namespace timeline_limits;

template <typename T>
void GrowTo(std::vector<T>& table, std::size_t size, const std::type_identity_t<T>& empty) {
    if (table.size() < size) table.resize(size, empty);
}

// Grows every table on its own, so that afterwards each holds at least size ticks and Timeline::holds
// speaks for all of them.
void GrowAll(Timeline& timeline, std::size_t size) {
    for (auto& variant : timeline.Cells) {
        for (auto& voice : variant) {
            GrowTo(voice, size, NoEvent);
        }
    }
    GrowTo(timeline.TieAt, size, 0);
    GrowTo(timeline.EventChord, size, {});
    GrowTo(timeline.EventNoteX, size, 0.0F);
    GrowTo(timeline.EventRowBase, size, 0.0F);
    GrowTo(timeline.EventDegree, size, {});
}

std::size_t TableSize(int ticks) {
    return static_cast<std::size_t>(std::max(MinimumTicks, std::clamp(ticks, 0, MaximumLength) + 1));
}

float EntryOrZero(std::span<const float> values, std::size_t index) {
    return index < values.size() ? values[index] : 0.0F;
}

std::int16_t MelodyPitch(int pitch, int octaveShift) {
    const int shifted = pitch + 12 * octaveShift;
    return static_cast<std::int16_t>(std::clamp<int>(shifted, std::numeric_limits<std::int16_t>::min(),
                                                     std::numeric_limits<std::int16_t>::max()));
}

std::size_t NoteCount(const PlaySequence& seq) {
    return static_cast<std::size_t>(std::clamp<int>(seq.SeqCount, 0, sequence_limits::Notes));
}

} // namespace

void ClearTimeline(Timeline& timeline, int ticks) {
    const std::size_t size = TableSize(ticks);
    for (auto& variant : timeline.Cells) {
        for (auto& voice : variant) {
            voice.assign(size, NoEvent);
        }
    }
    timeline.TieAt.assign(size, 0);
    timeline.EventChord.assign(size, {});
    timeline.EventNoteX.assign(size, 0.0F);
    timeline.EventRowBase.assign(size, 0.0F);
    timeline.EventDegree.assign(size, {});
    timeline.TimelineLength = 0;
}

void GrowTimeline(Timeline& timeline, int ticks) {
    GrowAll(timeline, TableSize(ticks));
}

long long SequenceTicks(const PlaySequence& seq) {
    long long total = 0;
    for (std::size_t n = 0; n < NoteCount(seq); ++n) {
        total += std::max<int>(seq.SeqDur[n], 0);
    }
    return total;
}

bool BuildTimeline(Timeline& timeline, const PlaySequence& seq, std::span<const float> noteX,
                   std::span<const float> rowBase) {
    const long long total = SequenceTicks(seq);
    const bool fits = total <= MaximumLength;
    GrowTimeline(timeline, static_cast<int>(std::min<long long>(total, MaximumLength)));

    int t = 0;
    for (std::size_t n = 0; n < NoteCount(seq); ++n) {
        const int duration = std::max<int>(seq.SeqDur[n], 0);
        if (t + duration > MaximumLength) break;
        const auto at = static_cast<std::size_t>(t);
        if (seq.SeqRest[n] == 1) {
            timeline.cell(0, VoiceMelody, t) = MelodyStop;
        } else if (seq.SeqTie[n] == 1) {
            timeline.TieAt[at] = 1;
            timeline.cell(0, VoiceMelody, t) = MelodyStop;
        } else {
            timeline.cell(0, VoiceMelody, t) = MelodyPitch(seq.SeqPitch[n], seq.OctaveShift);
        }
        std::string chord = CleanFixedText(seq.SeqChord[n]);
        if (!chord.empty()) timeline.EventChord[at] = std::move(chord);
        timeline.EventNoteX[at] = EntryOrZero(noteX, n);
        timeline.EventRowBase[at] = EntryOrZero(rowBase, n);
        timeline.EventDegree[at] = seq.SeqDegree[n];
        t += duration;
    }
    timeline.cell(0, VoiceMelody, t) = MelodyStop;
    timeline.TimelineLength = t;
    return fits;
}

} // namespace orbel
