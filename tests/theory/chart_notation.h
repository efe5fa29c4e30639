#pragma once
// Charts for the analysis tests, one line each: bars apart by "|", chords apart by blanks as ParseChordSymbol
// reads them, "%" the bar before again, "/" alone an empty bar (the chord goes on), "NC" no chord. Marks in a
// bar: "{" ‖:, "}" :‖, "1." "2." endings, "$" segno, "@" the coda, "@>" To Coda, "fine", "dc", "ds".

#include "theory/tune.h"

#include <sstream>
#include <string>
#include <string_view>

namespace orbel::test {

inline TuneBar ChartBar(const std::string& text, const Tune& tune) {
    TuneBar bar;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (word == "%" && !tune.bars.empty()) bar.chords = tune.bars.back().chords;
        bar.repeatStart |= word == "{";
        bar.repeatTimes = word == "}" ? 2 : bar.repeatTimes;
        bar.ending = word.size() == 2 && word[1] == '.' ? word[0] - '0' : bar.ending;
        bar.segno |= word == "$";
        bar.codaMark |= word == "@";
        bar.toCoda |= word == "@>";
        bar.fine |= word == "fine";
        bar.noChord |= word == "NC";
        if (word == "dc" || word == "ds")
            bar.jump = word == "dc" ? TuneBar::Jump::DaCapo : TuneBar::Jump::DalSegno;
        if (const std::optional<ChordSymbol> chord = ParseChordSymbol(word); chord && !chord->isNoChord()) {
            bar.chords.push_back({*chord, {}, 0});
        }
    }
    return bar;
}

inline Tune ChartOf(std::string_view text, int key = 0, bool minorKey = false) {
    Tune tune;
    tune.key = key;
    tune.minorKey = minorKey;
    std::istringstream bars{std::string(text)};
    for (std::string bar; std::getline(bars, bar, '|');) {
        if (bar.find_first_not_of(' ') == std::string::npos) continue;
        tune.bars.push_back(ChartBar(bar, tune));
    }
    return tune;
}

} // namespace orbel::test
