#pragma once
// The settings that act while a performance runs (tempo, swing, the sound switches, volumes, instruments),
// handed from the window's thread to the player's. The window publishes its whole settings after every
// change; the player takes the live fields into its own copy before every tick. The selection (study type,
// item, root) is not among them: the player moves it itself and tells the window.
// Thread: the window's thread publishes, the player's thread takes; each member says which.

#include "theory/settings.h"

#include <mutex>
#include <optional>

namespace orbel {

// Copies the fields that act while playing from `from` into `to`.
void CopyLiveFields(const Settings& from, Settings& to);

class LiveSettings {
public:
    // Window's thread: the live fields but the tempo, which has an owner of its own (below). The first
    // publication sets the tempo too, as the user's.
    void publish(const Settings& settings);
    // Player's thread: takes the live fields of the last published settings, and the tempo, into settings.
    void refresh(Settings& settings) const;

    // The tempo belongs to whoever set it last: the user (window's thread: the tempo bar or box moved by
    // the user, a tempo typed in a dialog) or the practice ramp (player's thread). The window showing the
    // ramp's tempo takes nothing from the ramp.
    enum class TempoOwner { User, Ramp };
    void chooseTempo(int tempo);
    void rampTempo(int tempo) const;
    TempoOwner tempoOwner() const;

    // A root the user chose on the views while playing (window's thread); the player's repeat loop takes it
    // at the end of a pass, and the root progression goes on from it. A new play forgets an old request.
    void requestRoot(int root);
    std::optional<int> takeRootRequest() const;
    void forgetRootRequest() const;

private:
    mutable std::mutex mutex_;
    Settings published_;
    bool any_ = false;
    mutable std::int16_t tempo_ = 0;
    mutable TempoOwner owner_ = TempoOwner::User;
    mutable std::optional<int> rootRequest_;
};

} // namespace orbel
