#pragma once
// The play button pressed in a program without a window: the trainer's own player performs the item on a
// clock that moves only while it waits, into a recorder that keeps every MIDI message with its time. What
// the window would have been told on the way (where a play-through starts and ends, the rebuild for a new
// root) is kept beside the messages.

#include "export/export_build.h"
#include "export/export_request.h"
#include "sound/recording_output.h"

#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace orbel::exporter {

// A moment of the performance: its time, and how many messages had been sent by then.
struct PlayMoment {
    std::int64_t micros = 0;
    std::size_t sent = 0;
};

// The start of a pass of the root progression, with the item's title on its root.
struct PassStart {
    PlayMoment at;
    std::string title;
};

struct Performance {
    // Microseconds from the press of the play button.
    std::vector<RecordingOutput::Record> records;
    // The start and the end of every play-through, in order, and the tempo of each.
    std::vector<PlayMoment> playThroughEdges;
    std::vector<int> playThroughTempi;
    std::vector<PassStart> passes;
    // When the first play-through began, so where the count-in ended; when the last one ended.
    std::int64_t playStart = 0;
    std::int64_t end = 0;
    int beatsPerBar = 0; // of the sequence as the player first built it
    QStringList notices; // the messages the trainer would have shown
};

// Plays build's item with settings as the play button does, for options.repeats play-throughs in all, the
// accompaniment drawn from options.seed. With RepeatOn ≠ 1 the play button would stop after one; here the
// repetitions then run on the item's root, as with repeat and no root progression. The first pass is
// called build.title; later ones get the title of their root.
Performance RecordPerformance(const ExportBuild& build, const Settings& settings, const MidiOptions& options);

} // namespace orbel::exporter
