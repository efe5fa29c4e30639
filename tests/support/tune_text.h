#pragma once
// The tune model as short text for the readers' tests: each bar's chords with their beats, and what a bar
// asks of the play order.

#include "theory/note_names.h"
#include "theory/tune.h"

#include <string>
#include <vector>

namespace orbel::testing {

inline std::string Name(const ChordSymbol& c) {
    if (c.isNoChord()) return "NC";
    std::string name(NoteNameCell(c.root, c.flatRoot ? NameColumn::Flat : NameColumn::Sharp));
    name += c.quality;
    if (c.bass >= 0)
        name.append("/").append(NoteNameCell(c.bass, c.flatBass ? NameColumn::Flat : NameColumn::Sharp));
    return name;
}

// "F7:2 Cm7:2 | Bb7:4": each bar's chords with their beats.
inline std::string Summary(const Tune& tune) {
    std::string text;
    for (const TuneBar& bar : tune.bars) {
        if (!text.empty()) text += " |";
        for (const TuneChord& c : bar.chords)
            text.append(" ").append(Name(c.chord)).append(":").append(std::to_string(c.beats));
    }
    return text.empty() ? text : text.substr(1);
}

// "A ‖: 1 :‖2 segno coda →coda fine D.C. D.S. 3/4 N.C.": what a bar asks of the play order.
inline std::string Marks(const TuneBar& bar) {
    std::string text = bar.section;
    const auto add = [&](bool on, const std::string& mark) {
        if (on) text += (text.empty() ? "" : " ") + mark;
    };
    add(bar.repeatStart, "‖:");
    add(bar.ending > 0, std::to_string(bar.ending));
    add(bar.repeatTimes > 0, ":‖" + std::to_string(bar.repeatTimes));
    add(bar.segno, "segno");
    add(bar.codaMark, "coda");
    add(bar.toCoda, "→coda");
    add(bar.fine, "fine");
    add(bar.jump == TuneBar::Jump::DaCapo, "D.C.");
    add(bar.jump == TuneBar::Jump::DalSegno, "D.S.");
    add(bar.timeTop > 0, std::to_string(bar.timeTop) + "/4");
    add(bar.noChord, "N.C.");
    return text;
}

inline std::vector<std::string> AllMarks(const Tune& tune) {
    std::vector<std::string> marks;
    for (const TuneBar& bar : tune.bars)
        marks.push_back(Marks(bar));
    return marks;
}

} // namespace orbel::testing
