#include "ui/practice/score_text.h"

#include "ui/practice/practice_texts.h"

#include <cmath>

namespace orbel {

QString ScoreLine(const RepetitionScore& score) {
    namespace t = practice_texts;
    QString timing;
    const long offset = std::lround(score.meanOffsetMs);
    if (score.right == 0) {
        timing = QString::fromUtf8(t::NoTiming);
    } else if (offset > 0) {
        timing = QString::fromUtf8(t::Late).arg(offset);
    } else if (offset < 0) {
        timing = QString::fromUtf8(t::Early).arg(-offset);
    } else {
        timing = QString::fromUtf8(t::OnTime);
    }
    return QString::fromUtf8(t::ScoreLine)
        .arg(score.right)
        .arg(score.total)
        .arg(score.missed)
        .arg(score.extra)
        .arg(score.wrong)
        .arg(timing);
}

} // namespace orbel
