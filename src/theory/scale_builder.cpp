// Scales and chords: a run of eighth notes up the step string, and down again when asked.
#include "theory/note_names.h"
#include "theory/sequence_builder.h"
#include "theory/sequence_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

namespace {

static constexpr std::int16_t EighthTicks = 12;
static constexpr int FirstOctave = 24; // built notes start in the octave of digit 3
// The longest step strings whose notes fit the sequence: n + 1 notes up, or 2n + 2 up and down.
static constexpr std::size_t MaxSteps = sequence_limits::Notes - 1;
static constexpr std::size_t MaxStepsUpDown = sequence_limits::Notes / 2 - 1;

// Half-width katakana "minor" and the digit 2 name the melodic minor.
static constexpr std::string_view MinorMark = "ﾏｲﾅ";
static constexpr std::string_view MelodicMark = "2";

bool DescendsAsMelodicMinor(std::string_view name) {
    return name.find(MinorMark) != std::string_view::npos && name.find(MelodicMark) != std::string_view::npos;
}

void PutEighth(PlaySequence& seq, int index, int pitch) {
    seq.SeqPitch[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(pitch);
    seq.SeqDur[static_cast<std::size_t>(index)] = EighthTicks;
}

} // namespace

BuildMessage BuildScaleOrChord(PlaySequence& seq, const Settings& settings, const Catalogue& catalogue,
                               bool isScale, int item, int root) {
    const int count = isScale ? catalogue.ScaleCount : catalogue.ChordCount;
    if (item < 0 || item >= count || item >= catalogue_limits::Slots) {
        ClearSequence(seq);
        return {};
    }
    const auto slot = static_cast<std::size_t>(item);
    const std::string& name = isScale ? catalogue.ScaleNames[slot] : catalogue.ChordNames[slot];
    const std::vector<std::string_view> steps =
        SplitCharacters(isScale ? catalogue.ScaleSteps[slot] : catalogue.ChordSteps[slot]);

    const bool upDown = settings.UpDown;
    if (steps.size() > (upDown ? MaxStepsUpDown : MaxSteps)) {
        ClearSequence(seq);
        return FaultyDataMessage();
    }
    const int n = static_cast<int>(steps.size());

    seq.BeatsPerBar = 4;
    const std::string keyName = KeyRootName(root, seq.MajorSpelling);
    seq.SeqChord[0] = SequenceChordText(isScale ? keyName + " " + name : keyName + name);

    int pitch = root + FirstOctave;
    PutEighth(seq, 0, pitch);
    int interval = 0;
    for (int i = 1; i <= n; ++i) {
        interval = StepInterval(steps[static_cast<std::size_t>(i - 1)], interval);
        pitch += interval;
        PutEighth(seq, i, pitch);
    }
    seq.SeqCount = static_cast<std::int16_t>(n + 1);

    if (upDown) {
        // The top note is played again, and the descent ends on the root.
        for (int i = 1; i <= n + 1; ++i) {
            PutEighth(seq, n + i, seq.SeqPitch[static_cast<std::size_t>(n - i + 1)]);
        }
        if (DescendsAsMelodicMinor(name)) {
            for (int lowered = n + 2; lowered <= n + 3 && lowered <= 2 * n + 1; ++lowered) {
                --seq.SeqPitch[static_cast<std::size_t>(lowered)];
            }
        }
        seq.SeqCount = static_cast<std::int16_t>(2 * n + 2);
    }

    seq.MajorSpelling = 1;
    return {};
}

} // namespace orbel
