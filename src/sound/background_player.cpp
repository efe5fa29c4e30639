#include "sound/background_player.h"

#include "sound/live_settings.h"
#include "sound/realtime_priority.h"

#include <QtGlobal>
#include <sys/prctl.h>
#include <utility>

namespace orbel {

namespace {

// Sleeps of the player's thread wake on time rather than grouped with other timers (one nanosecond is
// the finest slack the kernel takes; zero would mean its default).
constexpr unsigned long PreciseTimerSlackNs = 1;

} // namespace

BackgroundPlayer::BackgroundPlayer(MidiPort& port, DeadlineClock& clock, const LiveSettings& live,
                                   PlayerEvents& events, PlayerViews& views, bool realtime,
                                   Accompaniment::RandomSource random, PlayModes::RandomSource picks)
    : midi_(study_.settings, port), sled_(study_, midi_, clock, {}, std::move(random)),
      modes_(sled_, std::move(picks)), realtime_(realtime) {
    sled_.setEvents(&events);
    sled_.setViews(&views);
    sled_.setLiveSettings(&live);
}

BackgroundPlayer::~BackgroundPlayer() {
    stopAndWait();
}

void BackgroundPlayer::start(const StudyState& study, Action action) {
    stopAndWait();
    study_ = study;
    // Made here, before the thread runs: a stop asked for from now on ends this action.
    std::stop_source stop;
    {
        const std::lock_guard lock(mutex_);
        stop_ = stop;
    }
    sled_.beginAction(std::move(stop));
    busy_ = true;
    thread_ = std::thread([this, action = std::move(action)] {
        if (::prctl(PR_SET_TIMERSLACK, PreciseTimerSlackNs, 0UL, 0UL, 0UL) != 0)
            qWarning("The player's timer could not be made precise; notes may come up to 50 µs late.");
        // Without it the player keeps its normal priority, which serves an unloaded machine as well.
        if (realtime_) (void)RequestRealtimePriority(realtime::PlayerPriority);
        action(sled_, modes_);
        busy_ = false;
    });
}

void BackgroundPlayer::requestStop() {
    const std::lock_guard lock(mutex_);
    stop_.request_stop();
}

void BackgroundPlayer::stopAndWait() {
    if (!thread_.joinable()) return;
    requestStop();
    join();
}

void BackgroundPlayer::join() {
    if (thread_.joinable()) thread_.join();
}

} // namespace orbel
