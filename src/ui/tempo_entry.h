#pragma once
// What a tempo typed into the tempo box means: the number clamped into the bar's range, or no change at all
// when the box holds no number. A Japanese input method types full-width digits, so those count as digits.

#include <QString>

namespace orbel {

// The tempo to play after the box's text is accepted: a whole number (ASCII or full-width digits, an
// optional sign, blanks around it) clamped into 50..300; anything else leaves the tempo playing now.
int TypedTempo(const QString& text, int playing);

} // namespace orbel
