#pragma once
// Our own chord chart, a text file written by hand (UTF-8, or Shift-JIS as every data file may be):
//
//   # A comment line. Blank lines are ignored.
//   Title: Blues in F            fields, before the bars: Title, Composer, Style,
//   Key: F                       Key (F, Bb, F#m, Eb minor), Time (n/4, 4/4 when not given)
//   Time: 4/4
//   [A] | F7 | Bb7 | F7 | Cm7 F7 |
//       |: Gm7 . . C7 | F7 (Am7) D7 :|x3
//
// - Bars stand between "|" (also "||"); a line without "|" is one bar; a bar never runs on to the next line.
//   "|:" starts a repeat, ":|" ends it (played twice), ":|x3" plays it three times, ":|:" does both.
// - A bar holds up to four chords. Without dots they share the bar evenly; with them every chord lasts
//   one beat and one more for each "." after it, and the beats must fill the bar ("C7 . . F7" in 4/4 is
//   3 + 1).
//   A chord in brackets after another is its alternate: "Dm7 (Ab7)".
// - "%" plays the previous bar's chords again, "/" lets the last chord go on, "N.C." alone: no chord.
// - Marks, anywhere in their bar: "[B]" a section, "1." "2." "3." endings, "Segno", "Coda" (the coda starts
//   here), "3/4" a new metre; "Fine", "To Coda", "D.S. al Coda", "D.S. al Fine", "D.C. al Fine",
//   "D.C. al Coda" (or "D.S.", "D.C." alone) at its end. Marks standing alone between bar lines join the bar
//   they belong to: "[B] | …" the next one, "… | D.C. al Fine" the one before.

#include "theory/tune.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace orbel {

namespace tune_text_limits {
// A chart of the longest form is some tens of kilobytes.
static constexpr qint64 MaxFileBytes = 1024 * 1024;
static constexpr int MaxRepeatTimes = 99;
static constexpr int MaxEnding = 9;
static constexpr int MaxMetre = 12;
} // namespace tune_text_limits

struct TuneTextResult {
    std::optional<Tune> tune;
    QString error; // "line 7: unknown chord "Xq7"", empty on success
};

// The chart in text (UTF-8). A chart whose play order cannot be followed is refused with PlayOrder's reason.
TuneTextResult ParseTuneText(std::string_view text);

// The chart file at path; the error names the file. Nothing is written.
TuneTextResult ReadTuneText(const QString& path);

// The tune as a chart that ParseTuneText reads back as the same tune, "\n" at each line's end: four bars a
// line, a new line at each section.
std::string TuneToText(const Tune& tune);

} // namespace orbel
