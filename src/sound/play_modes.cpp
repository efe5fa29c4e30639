#include "sound/play_modes.h"

#include "app/program_state.h"
#include "sound/midi1.h"
#include "sound/play_texts.h"
#include "theory/numbers.h"
#include "theory/prepare_build.h"

#include <algorithm>
#include <utility>

namespace orbel {

int RandomPick(double r, int n) {
    if (n < 1) return 0;
    return std::clamp(RoundHalfEven(r * (n - 1)), 0, n - 1);
}

RandomCycle::RandomCycle(int n) : used_(static_cast<std::size_t>(std::max(n, 0)), false) {}

int RandomCycle::redirect(int pick) const {
    if (pick < 0 || pick >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(pick)])
        return pick;
    const auto unused = std::find(used_.begin(), used_.end(), false);
    return unused == used_.end() ? pick : static_cast<int>(unused - used_.begin());
}

void RandomCycle::mark(int pick) {
    if (pick >= 0 && pick < static_cast<int>(used_.size())) used_[static_cast<std::size_t>(pick)] = true;
    if (++usedCount_ >= static_cast<int>(used_.size())) {
        std::fill(used_.begin(), used_.end(), false);
        usedCount_ = 0;
    }
}

PlayModes::PlayModes(PlaySled& sled, RandomSource random)
    : sled_(sled), random_(random ? std::move(random) : ClockSeededRandom()) {}

bool PlayModes::stopRequested() const {
    return sled_.stopRequested();
}

int PlayModes::pick(int n) {
    return RandomPick(random_(), n);
}

bool PlayModes::IsFavourite(int item) const {
    return sled_.session().isFavourite(item);
}

std::vector<int> PlayModes::favourites() const {
    return sled_.session().favourites();
}

int PlayModes::itemCount() const {
    return sled_.study().itemCount;
}

void PlayModes::select(int item) {
    sled_.selectItem(item);
    sled_.RebuildForPlay(rebuild_mode::Variant0);
}

bool PlayModes::playItem() {
    if (stopRequested()) return false;
    sled_.PlaySound(0);
    return !stopRequested();
}

bool PlayModes::startCatalogueMode() {
    // A stop while the first item was chosen: the stop has set the controls idle, which they stay.
    if (stopRequested()) {
        sled_.ReturnToIdle();
        return false;
    }
    sled_.HiDelay(hidelay::Restart);
    if (!sled_.CountIn()) {
        sled_.ReturnToIdle();
        return false;
    }
    return true;
}

// --- The current item once

void PlayModes::PlayThis() {
    sled_.RunPlayAction([this] { playThis(); });
}

void PlayModes::playThis() {
    StudyState& state = sled_.study();
    PlayerEvents& host = sled_.events();
    sled_.setContinuousPlay(false);
    host.setQuitAndReferenceEnabled(false);
    sled_.PlayTempo = state.settings.Tempo;
    sled_.midi().SendProgramChanges();
    sled_.PrepareTimeline(rebuild_mode::Variant0);
    // The chain starts after the build, so the first notes are not hurried to catch up with it.
    sled_.HiDelay(hidelay::Restart);
    if (!stopRequested()) sled_.PlaySound(0);
    sled_.views().redrawViews();
    host.setQuitAndReferenceEnabled(true);
}

// --- All items in list order

void PlayModes::PlayAllInOrder() {
    sled_.RunPlayAction([this] { playAllInOrder(); });
}

void PlayModes::playAllInOrder() {
    StudyState& state = sled_.study();
    PlayerEvents& host = sled_.events();
    // An empty list has nothing to play, and a mode over it would never wait.
    if (itemCount() < 1) return;
    sled_.setContinuousPlay(true);
    select(0);
    host.MakeSound_Bot_show(true);
    sled_.PlayTempo = state.settings.Tempo;
    sled_.midi().SendProgramChanges();
    if (!startCatalogueMode()) return;

    for (;;) {
        // The list is counted anew for every round.
        const int count = itemCount();
        if (count < 1) {
            sled_.ReturnToIdle();
            return;
        }
        for (int k = 0; k < count; ++k) {
            select(k);
            if (!playItem()) return;
            sled_.yieldOnce();
        }
    }
}

// --- All items at random

void PlayModes::PlayAllAtRandom() {
    sled_.RunPlayAction([this] { playAllAtRandom(); });
}

void PlayModes::playAllAtRandom() {
    StudyState& state = sled_.study();
    const int n = itemCount();
    if (n < 1) return;
    bool first = true;
    beginContinuousPlay();
    RandomCycle cycle(n);

    sled_.PlayTempo = state.settings.Tempo;
    sled_.midi().SendProgramChanges();
    int item = pick(n);
    select(item);
    if (!startCatalogueMode()) return;

    for (;;) {
        if (!first) item = cycle.redirect(pick(n));
        cycle.mark(item);
        if (!first) select(item);
        // Every item starts on a fresh deadline chain.
        sled_.HiDelay(hidelay::Restart);
        if (!playItem()) return;
        first = false;
        // Items that play nothing would otherwise never let the stop in.
        sled_.yieldOnce();
    }
}

// --- Favourites in list order

void PlayModes::PlayFavouritesInOrder() {
    sled_.RunPlayAction([this] { playFavouritesInOrder(); });
}

void PlayModes::playFavouritesInOrder() {
    StudyState& state = sled_.study();
    bool first = true;
    beginContinuousPlay();

    sled_.PlayTempo = state.settings.Tempo;
    const std::vector<int> favs = favourites();
    if (favs.empty()) {
        sled_.events().tellUser(play_texts::NoFavourites);
        sled_.ReturnToIdle();
        return;
    }
    sled_.midi().SendProgramChanges();
    select(favs.front());
    if (!startCatalogueMode()) return;

    for (;;) {
        const int count = itemCount();
        for (int k = 0; k < count; ++k) {
            if (IsFavourite(k)) {
                if (!first) select(k);
                if (!playItem()) return;
                first = false;
            }
            if (stopRequested()) return;
        }
        sled_.yieldOnce();
        if (stopRequested()) return;
    }
}

// --- Favourites at random

void PlayModes::PlayFavouritesAtRandom() {
    sled_.RunPlayAction([this] { playFavouritesAtRandom(); });
}

void PlayModes::playFavouritesAtRandom() {
    StudyState& state = sled_.study();
    bool first = true;
    beginContinuousPlay();

    const std::vector<int> favs = favourites();
    const int m = static_cast<int>(favs.size());
    if (m == 0) {
        sled_.events().tellUser(play_texts::NoFavourites);
        sled_.ReturnToIdle();
        return;
    }
    RandomCycle cycle(m);

    sled_.PlayTempo = state.settings.Tempo;
    sled_.midi().SendProgramChanges();
    int chosen = pick(m);
    select(favs[static_cast<std::size_t>(chosen)]);
    cycle.mark(chosen);
    if (!startCatalogueMode()) return;

    // Unlike the mode over all items, the favourites play on one deadline chain.
    for (;;) {
        if (!first) {
            chosen = cycle.redirect(pick(m));
            cycle.mark(chosen);
            select(favs[static_cast<std::size_t>(chosen)]);
        }
        if (!playItem()) return;
        first = false;
        sled_.yieldOnce();
    }
}

void PlayModes::beginContinuousPlay() {
    sled_.setContinuousPlay(true);
    sled_.events().MakeSound_Bot_show(true);
}

void PlayModes::Stop() {
    sled_.Stop();
}

} // namespace orbel
