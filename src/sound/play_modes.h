#pragma once
// The play menu's actions over the item list: the current item once, all items or only the favourites, in
// list order or at random. The catalogue modes count in once at the start and then play item after item,
// each once per visit, until stopped; the random ones play every item once per cycle.
// Thread: the player's thread.

#include "sound/play_sled.h"

#include <functional>
#include <vector>

namespace orbel {

// A pick among n candidates from r uniform in [0, 1): nearest(r × (n − 1)), halves to even, so the first
// and the last candidate come up half as often as the others. Always inside 0..n − 1 (0 when n < 1).
int RandomPick(double r, int n);

// The used marks of one random cycle over n candidates.
class RandomCycle {
public:
    explicit RandomCycle(int n);
    // pick, or the lowest candidate not yet used in this cycle when pick is; pick when all are used.
    int redirect(int pick) const;
    // Marks pick as used; when every candidate has come, the next cycle begins (a pick may then repeat the
    // last one of the cycle before).
    void mark(int pick);
    int usedCount() const { return usedCount_; }

private:
    std::vector<bool> used_;
    int usedCount_ = 0;
};

class PlayModes {
public:
    // Gives a number uniform in [0, 1) at each call.
    using RandomSource = std::function<double()>;

    // Without a source the picks come from a generator seeded from the clock.
    explicit PlayModes(PlaySled& sled, RandomSource random = {});

    // "現パターン演奏": the current item once, without count-in; only quit and the reference tone are
    // disabled.
    void PlayThis();
    // "全パターン連続演奏": every item in list order, again and again.
    void PlayAllInOrder();
    // "全パターンランダム演奏": every item once per cycle, in random order.
    void PlayAllAtRandom();
    // "お気に入り連続演奏": the favourite items in list order, again and again.
    void PlayFavouritesInOrder();
    // "お気に入りランダム演奏": every favourite once per cycle, in random order.
    void PlayFavouritesAtRandom();
    // "演奏停止": as the stop button.
    void Stop();

    // True when item is marked as a favourite. Only phrases carry favourite marks; the phrase list of an
    // earlier study type says nothing about the items of a catalogue.
    bool IsFavourite(int item) const;

private:
    void playThis();
    void playAllInOrder();
    void playAllAtRandom();
    void playFavouritesInOrder();
    void playFavouritesAtRandom();

    // Chooses item in the item list, as the user would, and builds its timeline with variant 0.
    void select(int item);
    // Every catalogue mode starts the same way: no stop pending, a continuous play, the controls playing.
    void beginContinuousPlay();
    // One play-through of the selected item; false when the mode is to end. A stop that came before the
    // play-through (while an item was chosen, or between two items) ends the mode too.
    bool playItem();
    // The opening every catalogue mode shares: tempo and instruments, then the count-in on a fresh
    // deadline chain. False when the mode is to end (the controls are then idle).
    bool startCatalogueMode();
    std::vector<int> favourites() const;
    int itemCount() const;
    bool stopRequested() const;
    int pick(int n);

    PlaySled& sled_;
    RandomSource random_;
};

} // namespace orbel
