#pragma once
// The settings that act while a performance runs (tempo, swing, the sound switches, volumes, instruments),
// handed from the window's thread to the player's. The window publishes its whole settings after every
// change; the player takes the live fields into its own copy before every tick. The selection (study type,
// item, root) is not among them: the player moves it itself and tells the window.

#include "theory/settings.h"

#include <mutex>
#include <optional>

namespace orbel {

// Copies the fields that act while playing from `from` into `to`.
void CopyLiveFields(const Settings& from, Settings& to);

class LiveSettings {
public:
    // Window's thread.
    void publish(const Settings& settings);
    // Player's thread: takes the live fields of the last published settings into settings.
    void refresh(Settings& settings) const;
    // Player's thread: the tempo ramp moved the tempo. It holds until the window publishes a tempo of its
    // own: the one it shows until it hears of the ramp is not taken for the user's choice.
    void rampTempo(int tempo) const;
    // Window's thread: the window heard of the ramp's tempo and shows it; publishing it is no choice of the
    // user's either, even when the ramp has moved on meanwhile.
    void acknowledgeRamp(int tempo);

    // A root the user chose on the views while playing (window's thread); the player's repeat loop takes it
    // at the end of a pass, and the root progression goes on from it. A new play forgets an old request.
    void requestRoot(int root);
    std::optional<int> takeRootRequest() const;
    void forgetRootRequest() const;

private:
    mutable std::mutex mutex_;
    mutable Settings published_;
    bool any_ = false;
    int windowTempo_ = -1; // the tempo the window published last
    mutable std::optional<int> rootRequest_;
};

} // namespace orbel
