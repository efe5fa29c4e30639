#pragma once
// A repetition's score in words a musician reads at a glance.

#include "theory/performance_score.h"

#include <QString>

namespace orbel {

// "7/8 正解　ミス 1　余分 0　違う音 0　平均 12 ms 遅れ".
QString ScoreLine(const RepetitionScore& score);

} // namespace orbel
