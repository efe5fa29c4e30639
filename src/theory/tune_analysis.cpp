#include "theory/tune_analysis.h"

#include "theory/chord_family.h"
#include "theory/note_names.h"

#include <numeric>
#include <string>

namespace orbel {

namespace {

// Root motions, in semitones up from the V's root.
static constexpr int FifthDown = 5;     // G7 → C
static constexpr int SemitoneDown = 11; // Db7 → C
static constexpr int WholeToneUp = 2;   // Bb7 → C (the back door)
static constexpr int FourthBelow = 7;   // the II of G7 is D
static constexpr int SemitoneAbove = 1; // Abm7 Db7: the II of a substitute V may stand a semitone above it

// A chord as the harmony moves: the same root and family held on is one chord, standing where it starts.
struct Event {
    int root = -1;
    ChordFamily family = ChordFamily::None;
    ChordPlace place;
};

struct Harmony {
    std::vector<Event> events;
    std::vector<int> eventOf; // per analysed chord
};

bool IsTwo(const Event& e) {
    return e.family == ChordFamily::MinorSeventh || e.family == ChordFamily::HalfDiminished;
}
bool IsTonic(const Event& e) {
    return IsMajorTonic(e.family) || IsMinorTonic(e.family);
}
bool Above(const Event& e, const Event& from, int semitones) {
    return e.root == PitchClass(from.root + semitones);
}

// The written chord index of each chord PlayedForm kept in a bar: it leaves out those the beats do not reach.
std::vector<int> WrittenIndices(const TuneBar& bar, const PlayedBar& played) {
    std::vector<int> indices(bar.chords.size());
    std::iota(indices.begin(), indices.end(), 0);
    if (played.chords.size() == bar.chords.size()) return indices;
    std::vector<TuneChord> shared = bar.chords;
    ShareBeats(shared, played.beats);
    std::erase_if(indices, [&](int i) { return shared[static_cast<std::size_t>(i)].beats <= 0; });
    return indices;
}

class HarmonyReader {
public:
    explicit HarmonyReader(std::vector<AnalysedChord>& chords) : chords(chords) {}

    Harmony Read(const Tune& tune, const std::vector<PlayedBar>& form) {
        for (std::size_t p = 0; p < form.size(); ++p) {
            const PlayedBar& played = form[p];
            const TuneBar& bar = tune.bars[static_cast<std::size_t>(played.writtenBar)];
            const int playedBar = static_cast<int>(p);
            if (bar.noChord) {
                Add(-1, ChordFamily::None, {played.writtenBar, -1, playedBar, -1}, false);
                continue;
            }
            const std::vector<int> indices = WrittenIndices(bar, played);
            for (std::size_t k = 0; k < indices.size(); ++k) {
                const ChordSymbol& chord = bar.chords[static_cast<std::size_t>(indices[k])].chord;
                Add(chord.root, FamilyOf(chord),
                    {played.writtenBar, indices[k], playedBar, static_cast<int>(k)}, true);
            }
        }
        return std::move(harmony);
    }

private:
    void Add(int root, ChordFamily family, const ChordPlace& place, bool written) {
        std::vector<Event>& events = harmony.events;
        if (events.empty() || events.back().root != root || events.back().family != family) {
            events.push_back({root, family, place});
        }
        if (!written) return;
        chords.push_back({place, {}});
        harmony.eventOf.push_back(static_cast<int>(events.size()) - 1);
    }

    std::vector<AnalysedChord>& chords;
    Harmony harmony;
};

// When the form loops and ends on the chord it starts with, that chord is held over the end: one chord,
// standing where it starts sounding, at the end.
void JoinEnds(Harmony& harmony) {
    std::vector<Event>& events = harmony.events;
    if (events.size() < 2 || events.front().root != events.back().root ||
        events.front().family != events.back().family) {
        return;
    }
    const int last = static_cast<int>(events.size()) - 1;
    events.front().place = events.back().place;
    for (int& event : harmony.eventOf) {
        if (event == last) event = 0;
    }
    events.pop_back();
}

struct Found {
    Cadence cadence;
    int two = -1; // event indices
    int one = -1;
};

// The cadence of the dominant at events[five], with the chords on either side (−1: none).
std::optional<Found> CadenceAt(const std::vector<Event>& events, int before, int five, int after) {
    const Event& v = events[static_cast<std::size_t>(five)];
    const Event* prev = before >= 0 ? &events[static_cast<std::size_t>(before)] : nullptr;
    const Event* next = after >= 0 ? &events[static_cast<std::size_t>(after)] : nullptr;
    const bool two = prev && IsTwo(*prev) && Above(*prev, v, FourthBelow);
    const bool halfDiminished = two && prev->family == ChordFamily::HalfDiminished;

    Found found;
    Cadence& c = found.cadence;
    c.five = v.place;
    const bool tonic = next && IsTonic(*next);
    if (tonic && (Above(*next, v, FifthDown) || Above(*next, v, SemitoneDown))) {
        c.resolved = true;
        c.minorKey = IsMinorTonic(next->family);
        if (Above(*next, v, FifthDown)) {
            c.kind = c.minorKey || halfDiminished ? CadenceKind::Minor : CadenceKind::Major;
            found.two = two ? before : -1;
        } else {
            c.kind = CadenceKind::Tritone;
            const bool substituteTwo = prev && IsTwo(*prev) && Above(*prev, v, SemitoneAbove);
            found.two = two || substituteTwo ? before : -1;
        }
    } else if (tonic && IsMajorTonic(next->family) && Above(*next, v, WholeToneUp) && !halfDiminished) {
        c.resolved = true;
        c.kind = CadenceKind::Backdoor;
        found.two = two ? before : -1;
    } else if (two) {
        // A II–V going elsewhere: its key is where it would have gone.
        c.kind = halfDiminished ? CadenceKind::Minor : CadenceKind::Major;
        c.minorKey = halfDiminished;
        c.tonic = PitchClass(v.root + FifthDown);
        found.two = before;
        return found;
    } else {
        return std::nullopt;
    }
    c.tonic = next->root;
    found.one = after;
    return found;
}

bool SameWritten(const std::optional<ChordPlace>& a, const std::optional<ChordPlace>& b) {
    if (!a || !b) return !a && !b;
    return a->bar == b->bar && a->chord == b->chord;
}

bool SameCadence(const Cadence& a, const Cadence& b) {
    return a.kind == b.kind && SameWritten(a.two, b.two) && SameWritten(a.five, b.five) &&
           SameWritten(a.one, b.one);
}

void AddOnce(std::vector<Cadence>& list, const Cadence& cadence) {
    for (const Cadence& known : list) {
        if (SameCadence(known, cadence)) return;
    }
    list.push_back(cadence);
}

void FindCadences(const Harmony& harmony, FormEnd end, TuneAnalysis& analysis) {
    const std::vector<Event>& events = harmony.events;
    const int count = static_cast<int>(events.size());
    const bool loops = end == FormEnd::Loops && count > 1;
    const auto neighbour = [&](int i, int step) {
        const int j = i + step;
        if (j >= 0 && j < count) return j;
        return loops ? (j + count) % count : -1;
    };
    std::vector<ChordRole> roles(events.size());
    for (int i = 0; i < count; ++i) {
        if (events[static_cast<std::size_t>(i)].family != ChordFamily::Dominant) continue;
        const std::optional<Found> found = CadenceAt(events, neighbour(i, -1), i, neighbour(i, 1));
        if (!found) continue;
        Cadence cadence = found->cadence;
        const ChordRole role{false, true, false, cadence.kind, cadence.resolved, cadence.minorKey};
        roles[static_cast<std::size_t>(i)] = role;
        if (found->one >= 0) {
            cadence.one = events[static_cast<std::size_t>(found->one)].place;
            ChordRole& one = roles[static_cast<std::size_t>(found->one)];
            const bool alsoTwo = one.two;
            one = role;
            one.five = false;
            one.one = true;
            one.two = alsoTwo;
        }
        if (found->two >= 0) {
            cadence.two = events[static_cast<std::size_t>(found->two)].place;
            roles[static_cast<std::size_t>(found->two)].two = true;
            AddOnce(analysis.twoFives, cadence);
        } else {
            AddOnce(analysis.fiveOnes, cadence);
        }
    }
    for (std::size_t c = 0; c < analysis.chords.size(); ++c) {
        analysis.chords[c].role = roles[static_cast<std::size_t>(harmony.eventOf[c])];
    }
}

} // namespace

TuneAnalysis AnalyseTune(const Tune& tune, FormEnd end) {
    TuneAnalysis analysis;
    std::string error;
    std::vector<int> order = PlayOrder(tune, &error);
    if (!error.empty()) {
        analysis.writtenOrder = true;
        order.resize(tune.bars.size());
        std::iota(order.begin(), order.end(), 0);
    }
    Harmony harmony = HarmonyReader(analysis.chords).Read(tune, PlayedForm(tune, order));
    if (end == FormEnd::Loops) JoinEnds(harmony);
    FindCadences(harmony, end, analysis);
    return analysis;
}

const ChordSymbol& ChordAt(const Tune& tune, const ChordPlace& place) {
    static const ChordSymbol none;
    if (place.bar < 0 || static_cast<std::size_t>(place.bar) >= tune.bars.size()) return none;
    const std::vector<TuneChord>& chords = tune.bars[static_cast<std::size_t>(place.bar)].chords;
    if (place.chord < 0 || static_cast<std::size_t>(place.chord) >= chords.size()) return none;
    return chords[static_cast<std::size_t>(place.chord)].chord;
}

} // namespace orbel
