// The player's timeline and accompaniment, and the builds behind them.
// Thread: the player's thread.
#include "sound/player_timeline.h"

#include "app/program_state.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "theory/prepare_build.h"
#include "theory/timeline_build.h"

#include <algorithm>
#include <memory>

namespace orbel {

PlayerTimeline::PlayerTimeline(PlaySled& sled, const std::function<void()>& yield,
                               Accompaniment::RandomSource random)
    : sled_(sled), yield_(yield), accompaniment_(std::move(random)) {
    ClearTimeline(timeline_);
}

void PlayerTimeline::tellStudyChanged() {
    const StudyState& study = sled_.study();
    StudyChange change;
    change.RootKey = study.settings.RootKey;
    change.OctaveShift = study.sequence.OctaveShift;
    change.item = sled_.session().currentItem();
    change.sequence = std::make_shared<const PlaySequence>(study.sequence);
    sled_.events().studyChanged(change);
}

void PlayerTimeline::build(bool isChangeOnly) {
    const BuildMessage refused = builder_ ? builder_(isChangeOnly) : sled_.session().build(isChangeOnly);
    if (refused) sled_.events().tellUser(QString::fromStdString(*refused));
}

void PlayerTimeline::rebuild(int mode) {
    build(true);
    tellStudyChanged();
    prepare(mode);
}

void PlayerTimeline::selectItem(int item) {
    if (item < 0 || item >= sled_.study().itemCount) return;
    Midi1& midi = sled_.midi();
    midi.setDueTime(std::nullopt);
    midi.SendProgramChanges();
    sled_.session().choose(item);
    build(false);
    tellStudyChanged();
}

void PlayerTimeline::prepare(int mode) {
    const StudyState& study = sled_.study();
    const PlaySequence& seq = study.sequence;
    ClearTimeline(timeline_,
                  static_cast<int>(std::min<long long>(SequenceTicks(seq), timeline_limits::MaximumLength)));
    // The staff's note positions come with the views; until then the cursor has none to follow.
    BuildTimeline(timeline_, seq, {}, {});
    // Built whatever the switch says: switched on while playing, the accompaniment comes in on the next
    // beat.
    Settings s = study.settings;
    s.AccompanimentOn = 1;
    const auto build = [&](int variant) {
        accompaniment_.BuildAccompaniment(timeline_, variant, s, seq.BeatsPerBar, s.StudyType, yield_);
    };
    if (mode == rebuild_mode::Variant0 || mode == rebuild_mode::BothVariants) build(0);
    if (mode == rebuild_mode::Variant1 || mode == rebuild_mode::BothVariants) build(1);
}

} // namespace orbel
