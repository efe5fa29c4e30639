#include "app/wait_ms.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <thread>

namespace orbel {

namespace {

// Short enough that a click or a key press is handled without noticeable delay.
constexpr std::chrono::milliseconds LongestSleep{1};

void HandlePendingEvents() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

} // namespace

void WaitMs(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    HandlePendingEvents();
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, LongestSleep));
        HandlePendingEvents();
    }
}

} // namespace orbel
