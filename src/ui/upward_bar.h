#pragma once
// A vertical scroll bar whose largest value sits at the top, as a tempo or a pitch does, with its arrows,
// page clicks, wheel and keys all moving the way the thumb shows.

class QScrollBar;

namespace orbel {

void MakeUpward(QScrollBar& bar);

} // namespace orbel
