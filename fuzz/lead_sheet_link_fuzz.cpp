// Lead-sheet links in any text: tunes or a reason (or both, when some tunes were broken); every tune has
// 1..MaxBars bars, each with one to four chords whose beats fill the bar at the time signature then in force.

#include "datafiles/lead_sheet_link.h"
#include "fuzz_support.h"

#include <numeric>

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes = fuzz::Bytes(data, size);
    const LeadSheetLinks links = ParseLeadSheetLinks(QString::fromUtf8(bytes));
    fuzz::Require(!links.tunes.empty() || !links.error.isEmpty(), "tunes, or a reason why none");
    for (const Tune& tune : links.tunes) {
        fuzz::Require(!tune.bars.empty() &&
                          tune.bars.size() <= static_cast<std::size_t>(tune_limits::MaxBars),
                      "1..MaxBars bars");
        fuzz::Require(tune.timeTop >= 3 && tune.timeTop <= 6, "the first time signature is one of ours");
        fuzz::Require(tune.key >= 0 && tune.key < 12, "the key is a pitch class");
        int beats = tune.timeTop;
        for (const TuneBar& bar : tune.bars) {
            if (bar.timeTop != 0) beats = bar.timeTop;
            fuzz::Require(beats >= 3 && beats <= 6, "every time signature is one of ours");
            fuzz::Require(!bar.chords.empty() &&
                              bar.chords.size() <= static_cast<std::size_t>(tune_limits::MaxChordsPerBar),
                          "one to four chords a bar");
            const int sum = std::accumulate(bar.chords.begin(), bar.chords.end(), 0,
                                            [](int total, const TuneChord& c) { return total + c.beats; });
            fuzz::Require(sum == beats, "the chords' beats fill the bar");
            for (const TuneChord& c : bar.chords) {
                fuzz::Require(c.beats >= 1, "every chord sounds");
                fuzz::Require(c.chord.root >= -1 && c.chord.root < 12 && c.chord.bass >= -1 &&
                                  c.chord.bass < 12,
                              "roots and basses are pitch classes");
            }
        }
        std::string error;
        PlayOrder(tune,
                  &error); // any chart read must be safe to follow, or refused by the play order in words
    }
    return 0;
}
