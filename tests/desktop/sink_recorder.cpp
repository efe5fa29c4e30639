#include "desktop/sink_recorder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace orbel::desktop {

namespace {
constexpr int FullScale = 32768;
constexpr int ReadTimeoutMs = 100;
} // namespace

SinkRecorder::SinkRecorder(const Desktop& desktop) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    // parec writes to its standard output, here descriptor 3 of a small shell. It keeps the server's
    // default latency: a small one would make the null sink run in small steps and hide a late stream. It
    // runs in real time where the system allows: a recorder kept waiting by busy programs loses samples,
    // and the clicks after the loss seem early.
    parec_ =
        ChildProcess({"sh", "-c",
                      "exec $(chrt -f 10 true 2>/dev/null && echo chrt -f 10) parec -d rec.monitor --raw "
                      "--format=s16le --rate=48000 --channels=1 >&3"},
                     {desktop.environment(), "/dev/null", fds[1]});
    ::close(fds[1]);
    reader_ = std::thread([this, fd = fds[0]] {
        read(fd);
        ::close(fd);
    });
}

SinkRecorder::~SinkRecorder() {
    stopping_ = true;
    parec_.stop();
    if (reader_.joinable()) reader_.join();
}

void SinkRecorder::read(int fd) {
    std::vector<std::int16_t> block(4096);
    std::size_t odd = 0; // a byte of a sample cut between two reads
    std::uint8_t carry = 0;
    while (!stopping_) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, ReadTimeoutMs) <= 0) continue;
        std::vector<std::uint8_t> bytes(8192);
        const ssize_t n = ::read(fd, bytes.data(), bytes.size());
        const auto arrived = Clock::now();
        if (n <= 0) break;
        std::vector<std::uint8_t> all;
        if (odd != 0) all.push_back(carry);
        all.insert(all.end(), bytes.begin(), bytes.begin() + n);
        odd = all.size() % 2;
        if (odd != 0) carry = all.back();
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i + 1 < all.size(); i += 2)
            samples_.push_back(static_cast<std::int16_t>(all[i] | (all[i + 1] << 8)));
        const auto candidate = arrived - std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(double(samples_.size()) / Rate));
        origin_ = std::min(origin_, candidate);
    }
}

SinkRecorder::Clock::time_point SinkRecorder::timeOf(std::size_t sample) const {
    return origin_ +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(sample) / Rate));
}

std::optional<SinkRecorder::Clock::time_point> SinkRecorder::firstSoundAfter(Clock::time_point from,
                                                                             double threshold) const {
    std::lock_guard lock(mutex_);
    const int level = static_cast<int>(threshold * FullScale);
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        if (std::abs(samples_[i]) < level) continue;
        const auto at = timeOf(i);
        if (at >= from) return at;
    }
    return std::nullopt;
}

double SinkRecorder::peakBetween(Clock::time_point from, Clock::time_point to) const {
    std::lock_guard lock(mutex_);
    int peak = 0;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const auto at = timeOf(i);
        if (at >= from && at < to) peak = std::max(peak, std::abs(int{samples_[i]}));
    }
    return double(peak) / FullScale;
}

std::vector<SinkRecorder::Clock::time_point> SinkRecorder::onsets(double threshold,
                                                                  std::chrono::milliseconds gap) const {
    std::lock_guard lock(mutex_);
    const int level = static_cast<int>(threshold * FullScale);
    const auto quiet = static_cast<std::size_t>(gap.count() * Rate / 1000);
    std::vector<Clock::time_point> out;
    std::size_t lastLoud = 0;
    bool any = false;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        if (std::abs(samples_[i]) < level) continue;
        if (!any || i - lastLoud > quiet) out.push_back(timeOf(i));
        lastLoud = i;
        any = true;
    }
    return out;
}

} // namespace orbel::desktop
