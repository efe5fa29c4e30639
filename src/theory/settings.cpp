#include "theory/settings.h"

#include "theory/kihon.h"

#include <cmath>

namespace orbel {

void ApplyLoadRules(Settings& s) {
    ClampValue(0, 11, s.RootKey);
    ClampValue(-20, 20, s.TransposeSemitones);
    // The melody instrument is kept as its entry in the instrument list (41 entries), not as a program.
    ClampValue(1, 41, s.MelodyProgram);
    ClampValue(0, 120, s.PitchBaseC);
    ClampValue(1, 100, s.RepeatCount);
    // A NaN passes every comparison and would stay out of range for good.
    if (std::isnan(s.Reserved57)) s.Reserved57 = 0.0F;
    ClampValue(-50, 50, s.Reserved57);
    ClampValue(1, 71, s.RangeHigh);
    ClampValue(1, 71, s.RangeLow);
    ClampValue(0, 4, s.StudyType);
    s.Reserved27 = 1;
    s.Reserved31 = 0;
    s.Reserved52 = 0;
}

} // namespace orbel
