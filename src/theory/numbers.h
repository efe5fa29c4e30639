#pragma once
// Numbers read from text the way the data files and the settings write them: the number at the start of a
// text (blanks before it skipped, anything after it ignored), and conversion to whole numbers with halves
// going to the even neighbour.

#include <string_view>

namespace orbel {

// The number at the start of text: leading blanks and tabs are skipped, then an optional sign, digits and at
// most one decimal point are read up to the first character that cannot continue the number. A text that does
// not start with a number gives 0.
double LeadingNumber(std::string_view text);

// Nearest whole number, halves to the even neighbour (2.5 → 2, 3.5 → 4, −0.5 → 0). Values beyond the range
// of int give its nearest end; NaN gives 0.
int RoundHalfEven(double value);

// LeadingNumber, then RoundHalfEven: how a number typed into a data file becomes a whole number.
int LeadingWholeNumber(std::string_view text);

} // namespace orbel
