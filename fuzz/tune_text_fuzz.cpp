// A chord chart: whatever the text, the reader never fails but with a message; a chart it reads plays an
// order of bars that exist, fills every played bar's beats, and writes back as a chart that reads as the
// same tune, also once moved to another key.

#include "datafiles/tune_text.h"
#include "fuzz_support.h"

#include <numeric>

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TuneTextResult read = ParseTuneText(text);
    fuzz::Require(read.tune.has_value() == read.error.isEmpty(), "a chart or a message, never both");
    if (!read.tune) return 0;
    const Tune& tune = *read.tune;

    std::string error;
    const std::vector<int> order = PlayOrder(tune, &error);
    fuzz::Require(!order.empty() && error.empty(), "a chart the reader takes has a play order");
    fuzz::Require(order.size() <= static_cast<std::size_t>(tune_limits::MaxPlayedBars),
                  "the form is bounded");
    for (const int bar : order)
        fuzz::Require(bar >= 0 && static_cast<std::size_t>(bar) < tune.bars.size(),
                      "the order names written bars");
    const std::vector<PlayedBar> form = PlayedForm(tune, order);
    fuzz::Require(form.size() == order.size(), "one played bar for each bar of the order");
    for (const PlayedBar& bar : form) {
        const int beats = std::accumulate(bar.chords.begin(), bar.chords.end(), 0,
                                          [](int sum, const TuneChord& chord) { return sum + chord.beats; });
        fuzz::Require(bar.chords.empty() || beats == bar.beats, "the chords fill their bar");
    }

    const TuneTextResult again = ParseTuneText(TuneToText(tune));
    fuzz::Require(again.tune == read.tune, "the chart written back reads as the same tune");
    const Tune moved = TransposedTune(tune, static_cast<int>(size % 11) + 1);
    fuzz::Require(ParseTuneText(TuneToText(moved)).tune == moved, "a moved tune writes back as itself");
    return 0;
}
