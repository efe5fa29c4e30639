#pragma once
// A line of the user's text as the program draws or shows it. A name in the data files may be megabytes
// long; laying that out holds the window for seconds, and no one reads past a screen's width. So what is
// shown is cut here, once, and the data keep the name as it was read.

#include <cstddef>
#include <string>
#include <string_view>

namespace orbel {

namespace display_limits {
static constexpr std::size_t LineChars = 256;          // characters of a shown line, the ellipsis included
static constexpr std::string_view Ellipsis = "\u2026"; // "…", standing for what was cut
} // namespace display_limits

// text when it has at most LineChars characters, else its first LineChars − 1 characters and the ellipsis.
// A character is one UTF-8 sequence, so a cut never splits one (nor, in UTF-16, a surrogate pair).
std::string DisplayLine(std::string_view text);

} // namespace orbel
