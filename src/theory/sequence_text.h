#pragma once
// Text helpers of the sequence builder. The data files are UTF-8 in memory, but their step strings and chord
// symbols are measured in characters, as the user typed them: a full-width letter is one step, and a cut
// chord symbol never ends in half a character.

#include "theory/play_sequence.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orbel {

// The characters of text, each as the bytes of one UTF-8 sequence. A byte that does not start a well-formed
// sequence counts as a character of its own, so every byte belongs to exactly one character.
std::vector<std::string_view> SplitCharacters(std::string_view text);

// The first maxChars characters of text (all of it when it is shorter).
std::string CutToCharacters(std::string_view text, std::size_t maxChars);

// text without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

// A chord symbol or title as the sequence stores it: cut at sequence_limits::ChordChars characters.
std::string SequenceChordText(std::string_view symbol);

} // namespace orbel
