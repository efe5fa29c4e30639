#include "sound/player_channel.h"

#include "sound/live_settings.h"

namespace orbel {

PlayerChannel::PlayerChannel(BackgroundPlayer& player, LiveSettings& live) : player_(player), live_(live) {}

void PlayerChannel::play(const StudyState& study, BackgroundPlayer::Action action) {
    // The action starts from the settings as the window has them now.
    live_.publish(study.settings);
    player_.start(study, std::move(action));
}

void PlayerChannel::stop() {
    player_.requestStop();
}

void PlayerChannel::stopAndWait() {
    player_.stopAndWait();
}

bool PlayerChannel::busy() const {
    return player_.busy();
}

void PlayerChannel::settings(const Settings& settings) {
    live_.publish(settings);
}

void PlayerChannel::tempo(int tempo) {
    live_.chooseTempo(tempo);
}

void PlayerChannel::root(int pitchClass) {
    live_.requestRoot(pitchClass);
}

} // namespace orbel
