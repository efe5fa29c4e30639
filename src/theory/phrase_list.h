#pragma once
// The phrase list of ric.txt or of the user-defined file: one entry per item,
// each with its name, favourite mark, metre, explanation and data lines.

#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

namespace phrase_limits {
static constexpr int MaxItems = 301;     // items 0..300
static constexpr int MaxDataLines = 300; // reading stops when an item reaches this many
static constexpr int ParseLines = 401;   // lines 0..400 looked at by the phrase parser
} // namespace phrase_limits

struct PhraseList {
    std::vector<std::string> PhraseNames;      // header text after "$", "★" included (UTF-8)
    std::vector<std::int16_t> PhraseFavourite; // 1 = favourite
    std::vector<std::int16_t> PhraseBeats;     // 4, or 3
    std::vector<std::string> PhraseComment;
    std::vector<std::vector<std::string>> PhraseLines; // data lines in file order; no blank entries

    int count() const { return static_cast<int>(PhraseNames.size()); }
};

} // namespace orbel
