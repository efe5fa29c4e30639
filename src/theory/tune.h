#pragma once
// A tune as a chord chart: its bars in the order they are written, with section marks, repeats, endings and
// the jumps of a lead sheet (D.C., D.S., Fine, coda), each bar holding one to four chords with their beats.
// Every reader (our text chart, lead-sheet links, MusicXML) fills this one model; the play order, the
// analysis and the views work from it alone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbel {

namespace tune_limits {
// A chart longer than this is refused (a standard is 32 to 64 bars, a long form a few hundred).
static constexpr int MaxBars = 1000;
// The expanded form is refused beyond this many bars: repeats and jumps that would play on and on.
static constexpr int MaxPlayedBars = 4000;
static constexpr int MaxChordsPerBar = 4;
static constexpr int MaxTextChars = 200; // title, composer, style, a section mark
} // namespace tune_limits

// A chord symbol, parsed. The spelling is our own, whatever the source wrote: root letter and sign, then the
// quality in the catalogue's notation ("M7", "m7", "7", "m7b5", "dim7", "7b9", "7alt", "m6", "6", "sus4", …),
// then "/" and the bass when it differs from the root.
struct ChordSymbol {
    int root = -1;         // pitch class 0..11 (C = 0); −1: no chord (N.C.)
    bool flatRoot = false; // the root was written with a flat (Bb, not A#)
    std::string quality;   // as above, "" for a major triad
    int bass = -1;         // pitch class of a slash bass, −1 without one
    bool flatBass = false;

    bool isNoChord() const { return root < 0; }
    // Root, quality and bass as the catalogue and the views write them: "Bb7", "F#m7b5", "C/E", "N.C.".
    std::string text() const;
    // The same chord moved by semitones; a moved root keeps the flat or sharp spelling the key asks for
    // (flatKey), as the rest of the program spells note names. A move by whole octaves changes nothing.
    ChordSymbol transposed(int semitones, bool flatKey) const;
    // The symbol as ChordVoicing reads it: the root and the nearest quality its rules know ("dim7" would be
    // found as "m7", "9" and "13" as no seventh at all), without the slash bass (it would be taken for the
    // root); "" for N.C.
    std::string voicingText() const;
    friend bool operator==(const ChordSymbol&, const ChordSymbol&) = default;
};

// Parses a chord symbol in our own spelling or the common lead-sheet spellings ("C^7", "C-7", "Ch7", "Co7",
// "C7alt", "Cmaj7", "Cmin7", "CΔ7", "Cø", "C7(b9)", "C6/9", "C/E", …). Tensions the table of spellings does
// not name are kept in the order written ("C7b9#11"); a text that is not a chord gives nothing. A root
// written with a flat keeps that spelling only where it is a black key ("Cb" reads as B), and a bass equal to
// the root is dropped, so that text() reads back as the same symbol.
std::optional<ChordSymbol> ParseChordSymbol(std::string_view text);

struct TuneChord {
    ChordSymbol chord;
    std::optional<ChordSymbol> alternate; // a second choice written small above the first
    int beats = 0;                        // how long it sounds within its bar
    friend bool operator==(const TuneChord&, const TuneChord&) = default;
};

// What a bar asks of the play order. Marks apply at the start of the bar, jumps at its end.
struct TuneBar {
    std::vector<TuneChord> chords; // empty: the chord before it goes on
    std::string section;           // a rehearsal mark starting here ("A", "B", "Intro", "Verse"), or ""
    int timeTop = 0;               // a time signature starting here (3, 4, 5, 6 over 4), 0 when unchanged
    bool repeatStart = false;      // ‖:
    int repeatTimes = 0;           // :‖ here, played this many times in all (2 for a plain repeat), 0 none
    int ending = 0;                // the volta starting here (1, 2, 3), 0 none; it lasts to the next ending
                                   // or to the bar with :‖ (first ending) or one bar (the last ending)
    bool segno = false;            // 𝄋
    bool codaMark = false;         // 𝄌 where the coda starts
    bool toCoda = false;           // "To Coda": at the end of this bar, after a D.S./D.C., go to the coda
    bool fine = false;             // "Fine": after a D.S./D.C., the tune ends with this bar
    enum class Jump : std::uint8_t { None, DaCapo, DalSegno };
    Jump jump = Jump::None; // D.C./D.S. at the end of this bar (al Fine or al Coda, by the marks)
    bool noChord = false;   // N.C.: nothing sounds in this bar but the melody
    friend bool operator==(const TuneBar&, const TuneBar&) = default;
};

struct Tune {
    std::string title;
    std::string composer;
    std::string style; // as the source names it ("Medium Swing", "Bossa Nova", "Waltz")
    int key = 0;       // the key's tonic, pitch class
    bool minorKey = false;
    bool flatKey = false; // the key is written with flats
    int timeTop = 4;      // the time signature of the first bar, over 4
    std::vector<TuneBar> bars;
    friend bool operator==(const Tune&, const Tune&) = default;
};

// The bars in the order they are played once through the form: each entry is an index into tune.bars.
// Repeats are taken as written (with their endings), then D.C./D.S. jumps once, with Fine and the coda
// (repeats are not taken again after a jump, as lead sheets mean: an ending group plays its last ending). The
// k-th ending is played on pass k; a :‖ closing an ending goes back while a later ending follows, any other
// :‖ goes back until it has been played repeatTimes times, to the last ‖: or else to the bar after the last
// repeat. An empty order and the reason in *error ("bar 12: …", bars counted from 1) for a chart whose order
// cannot be followed (a jump to a segno that is not there, an ending without its repeat, a form longer than
// tune_limits::MaxPlayedBars).
std::vector<int> PlayOrder(const Tune& tune, std::string* error);

// Gives each chord of a bar without its beats (0) an even share of the beats the others leave, the first
// chords taking the odd beat; a chord left with nothing keeps 0.
void ShareBeats(std::vector<TuneChord>& chords, int barBeats);

// The chord sounding at each beat of the played form: one entry per bar of the order, each chord with its
// beats filled in (a bar without chords carries the last chord on; a bar whose chords do not give their beats
// shares the bar's beats evenly, the first chords taking the odd beat).
struct PlayedBar {
    int writtenBar = 0; // index into tune.bars
    int beats = 4;      // the bar's length in beats
    std::vector<TuneChord> chords;
};
std::vector<PlayedBar> PlayedForm(const Tune& tune, const std::vector<int>& order);

// The tune moved by semitones: key, chords and alternates, spelled for the new key.
Tune TransposedTune(const Tune& tune, int semitones);

} // namespace orbel
