// The performance-file reader: a reason or notes, never both; the notes in order of time, within MIDI's
// ranges and the reader's limits.

#include "export/smf_reader.h"
#include "fuzz_support.h"

#include <cmath>

using namespace orbel;
using namespace orbel::exporter;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SmfReadResult result = ReadSmfNotes({data, size});
    fuzz::Require(result.file.has_value() == result.error.empty(), "a reason exactly when nothing is read");
    if (!result.file) return 0;
    const SmfNotes& file = *result.file;
    fuzz::Require(file.notes.size() <= smf_limits::MaxNotes, "no more notes than the limit");
    fuzz::Require(file.trackNames.size() <= static_cast<std::size_t>(smf_limits::MaxTracks),
                  "tracks bounded");
    double last = 0.0;
    for (const SmfNote& note : file.notes) {
        fuzz::Require(std::isfinite(note.ms) && note.ms >= last, "times finite and in order");
        fuzz::Require(note.key >= 0 && note.key < 128 && note.velocity > 0 && note.velocity < 128,
                      "keys and velocities within MIDI's range");
        fuzz::Require(note.channel >= 0 && note.channel < 16, "channels 0..15");
        fuzz::Require(note.track >= 0 && static_cast<std::size_t>(note.track) < file.trackNames.size(),
                      "every note on a track that was read");
        last = note.ms;
    }
    return 0;
}
