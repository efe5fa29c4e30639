#include "theory/sequence_builder.h"

namespace orbel {

void ClearSequence(PlaySequence& seq) {
    seq.SeqChord.fill({});
    seq.SeqPitch.fill(0);
    seq.SeqDur.fill(0);
    seq.SeqRest.fill(0);
    seq.SeqTie.fill(0);
    seq.SeqBeam.fill(0);
    seq.SeqBarStart.fill(0);
    seq.SeqCount = 0;
}

} // namespace orbel
