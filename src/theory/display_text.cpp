#include "theory/display_text.h"

#include "theory/sequence_text.h"

namespace orbel {

std::string DisplayLine(std::string_view text) {
    // Only the first LineChars characters are looked at, however long the text.
    std::string line = CutToCharacters(text, display_limits::LineChars);
    if (line.size() == text.size()) return line;
    line = CutToCharacters(line, display_limits::LineChars - 1);
    line.append(display_limits::Ellipsis);
    return line;
}

} // namespace orbel
