#pragma once
// What the player walks: the tick timeline of the play sequence with its accompaniment. The sequence is
// built again (by the study session, or the builder the owner gave) when the player moves to another root
// or item, and the window is told what the study now holds.
// Thread: the player's thread.

#include "theory/accompaniment.h"
#include "theory/build_result.h"
#include "theory/timeline.h"

#include <functional>
#include <utility>

namespace orbel {

class PlaySled;

class PlayerTimeline {
public:
    using Builder = std::function<BuildMessage(bool isChangeOnly)>;

    // sled: whose study, output and listeners; yield: the player's own, called while the accompaniment is
    // built; random: the accompaniment's draws. Both the player and its yield must outlive this.
    PlayerTimeline(PlaySled& sled, const std::function<void()>& yield, Accompaniment::RandomSource random);
    PlayerTimeline(const PlayerTimeline&) = delete;
    PlayerTimeline& operator=(const PlayerTimeline&) = delete;

    void setBuilder(Builder builder) { builder_ = std::move(builder); }
    const Timeline& timeline() const { return timeline_; }
    Timeline& timeline() { return timeline_; }

    // See PlaySled::RebuildForPlay, PlaySled::selectItem and PlaySled::PrepareTimeline.
    void rebuild(int mode);
    void selectItem(int item);
    void prepare(int mode);

private:
    // Builds through builder_, or the session; tells the user when the item cannot be built.
    void build(bool isChangeOnly);
    // The study moved: the window is told what to show.
    void tellStudyChanged();

    PlaySled& sled_;
    const std::function<void()>& yield_;
    Timeline timeline_;
    Accompaniment accompaniment_;
    Builder builder_;
};

} // namespace orbel
