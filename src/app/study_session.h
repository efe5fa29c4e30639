#pragma once
// The study on show, without a window: the item list of the study type, the build of the play sequence for
// the selection, the item's texts, the root moving with its octave carry and the favourite marks. The main
// window works on its own study through it; the player works on a copy, so that it can prepare the next
// repetition on its own thread; orbel-export and the benchmarks build items through it too.

#include "app/study_items.h"
#include "theory/build_result.h"
#include "theory/play_sequence.h"
#include "theory/settings.h"
#include "theory/title_text.h"
#include "theory/vocabulary.h"

#include <QString>
#include <vector>

namespace orbel {

// Everything a build reads and writes.
struct StudyState {
    Settings settings;
    StudyData study;
    IIVITables iiviTables;
    PlaySequence sequence;
    // How many entries the item list has.
    int itemCount = 0;
};

// The tempo bar's range; a tempo from elsewhere (the settings file, a typed number) is kept inside it.
namespace tempo_range {
static constexpr int Slowest = 50;
static constexpr int Fastest = 300;
static constexpr int Fallback = 100; // a stored tempo below the slowest starts here
static constexpr int PageStep = 10;  // a click on the bar's track
} // namespace tempo_range

namespace pitch_classes {
static constexpr int Count = 12;
} // namespace pitch_classes

// The root after moving by step semitones, and how the octave shift carries when it leaves 0..11.
struct MovedRoot {
    int root = 0;
    int octaveCarry = 0;
};
MovedRoot MoveRoot(int root, int step);

// The tempo a stored value starts at: one below the slowest starts at the fallback, one above the fastest
// at the fastest.
int StartingTempo(int stored);

class StudySession {
public:
    explicit StudySession(StudyState& state) : state_(state) {}

    // Reads the file of the current study type from programFolder and lists its items.
    StudyItems loadItems(const QString& programFolder);

    // The selected item of the current study type, −1 when the type has no slot.
    int currentItem() const;

    // Builds the selection on the current root. isChangeOnly: only the root or octave changed, so a phrase
    // is moved to the new root rather than parsed again in the key it is written in.
    BuildMessage build(bool isChangeOnly);
    // Chooses item as the item list does: a fresh octave and the item remembered for its study type.
    void choose(int item);
    // choose, then build.
    BuildMessage selectItem(int item);
    // Moves the root by step semitones, carrying into the octave shift.
    void moveRoot(int step);

    // The title and comment of item on root, before it is built (see MakeItemTexts).
    ItemTexts texts(int item, int root) const;

    bool isFavourite(int item) const;
    // The favourite items in list order.
    std::vector<int> favourites() const;
    bool isPhrase() const;

    StudyState& state() { return state_; }
    const StudyState& state() const { return state_; }

private:
    StudyState& state_;
};

} // namespace orbel
