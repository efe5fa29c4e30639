// How closely the deadline timer keeps time on the real clock, and what it costs in processor time,
// next to a wait that only sleeps and a wait that only spins.
//
//     bench_hi_delay [waits] [milliseconds per wait] [spin margin in µs]
//
// By default 3000 waits of 5 ms with the timer's own spin margin.
#include "sound/hi_delay.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace orbel {
namespace {

using Steady = std::chrono::steady_clock;

// The real clock with sleeps that return at once: the timer then watches the clock all the time.
class SpinningClock : public SteadyDeadlineClock {
public:
    void sleepUntil(TimePoint) override {}
};

struct Run {
    const char* name;
    DeadlineClock& clock;
    HiDelayTuning tuning;
};

bool ProcessCpuTime(std::chrono::nanoseconds& result) {
    timespec now{};
    if (::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) != 0) return false;
    result = std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    return true;
}

double Micro(Steady::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

bool Measure(const Run& run, int waits, int ms) {
    std::vector<Steady::duration> lateness;
    lateness.reserve(static_cast<std::size_t>(waits));
    Steady::time_point start;
    HiDelayTimer timer(run.clock, {}, run.tuning);

    std::chrono::nanoseconds cpuBefore{};
    std::chrono::nanoseconds cpuAfter{};
    if (!ProcessCpuTime(cpuBefore)) return false;
    timer.HiDelay(hidelay::Restart);
    start = Steady::now();
    for (int i = 0; i < waits; ++i) {
        timer.HiDelay(ms);
        // The wait is over when it returns: what the caller sends next goes out then.
        lateness.push_back(Steady::now() - (start + std::chrono::milliseconds(ms) * (i + 1)));
    }
    const Steady::duration wall = Steady::now() - start;
    if (!ProcessCpuTime(cpuAfter)) return false;

    std::sort(lateness.begin(), lateness.end());
    const auto at = [&](double share) {
        return Micro(
            lateness[std::min(lateness.size() - 1, static_cast<std::size_t>(share * lateness.size()))]);
    };
    const double cpuShare = 100.0 * std::chrono::duration<double>(cpuAfter - cpuBefore).count() /
                            std::chrono::duration<double>(wall).count();
    std::printf("%-34s %10.1f %10.1f %10.1f %9.1f %%\n", run.name, at(0.5), at(0.99), Micro(lateness.back()),
                cpuShare);
    return true;
}

int Main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int waits = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int ms = argc > 2 ? std::atoi(argv[2]) : 5;
    HiDelayTuning tuning;
    if (argc > 3) tuning.spinMargin = std::chrono::microseconds(std::atoi(argv[3]));
    if (waits <= 0 || ms <= 0 || tuning.spinMargin < Steady::duration::zero()) {
        std::fprintf(
            stderr,
            "usage: bench_hi_delay [waits > 0] [milliseconds per wait > 0] [spin margin in us >= 0]\n");
        return 2;
    }

    SteadyDeadlineClock steady;
    SpinningClock spinning;
    std::printf("precise wake-ups: %s, spin margin %.0f us, sleep slices of %.0f us\n",
                steady.preciseWakeups() ? "yes" : "no", Micro(tuning.spinMargin), Micro(tuning.longestSleep));
    std::printf("%d waits of %d ms; lateness against the ideal deadline in us\n\n", waits, ms);
    std::printf("%-34s %10s %10s %10s %11s\n", "", "median", "p99", "max", "cpu/wall");

    const std::vector<Run> runs = {
        {"sleep, then spin (the timer)", steady, tuning},
        {"sleep to the deadline only", steady, {Steady::duration::zero(), tuning.longestSleep}},
        {"spin only (busy wait)", spinning, tuning},
    };
    for (const Run& run : runs) {
        if (!Measure(run, waits, ms)) {
            std::fprintf(stderr, "cannot read the process's processor time\n");
            return 1;
        }
    }
    return 0;
}

} // namespace
} // namespace orbel

int main(int argc, char** argv) {
    return orbel::Main(argc, argv);
}
