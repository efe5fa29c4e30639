#include "sound/audio/pulse_stream.h"
#include "sound_test_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace orbel {
namespace {

using namespace std::chrono_literals;

// Generous bounds for a loaded machine: what is checked is the order of things, not their timing.
constexpr auto Patience = 10s;
constexpr auto Poll = 5ms;
constexpr double PatienceMs = std::chrono::duration<double, std::milli>(Patience).count();

template <typename Condition> bool Eventually(Condition condition) {
    const auto deadline = MidiClock::now() + Patience;
    while (!condition()) {
        if (MidiClock::now() > deadline) return false;
        std::this_thread::sleep_for(Poll);
    }
    return true;
}

// A sound server of its own with a null sink, in a folder of its own, for as long as the test runs.
class PulseStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (server.isEmpty()) GTEST_SKIP() << "pulseaudio is not installed";
        ASSERT_TRUE(folder.isValid());
        const QString socket = folder.filePath(QStringLiteral("native"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
        environment.insert(QStringLiteral("HOME"), folder.path());
        daemon.setProcessEnvironment(environment);
        daemon.start(server,
                     {QStringLiteral("--daemonize=no"), QStringLiteral("-n"),
                      QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm"),
                      QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                      QStringLiteral("--load=module-null-sink")});
        ASSERT_TRUE(daemon.waitForStarted());
        ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(socket.toStdString()); }))
            << "the sound server did not come up";
        serverAddress.emplace("PULSE_SERVER", "unix:" + socket.toStdString());
    }

    void TearDown() override {
        stream.reset();
        if (daemon.state() != QProcess::NotRunning) {
            daemon.kill();
            daemon.waitForFinished();
        }
    }

    void open(std::chrono::milliseconds shrinkAfter = std::chrono::minutes(1)) {
        std::string error;
        stream = std::make_unique<PulseStream>(
            PulseStreamOptions{
                .periodFrames = 256, .periods = 4, .mostPeriods = 8, .shrinkAfter = shrinkAfter},
            [this](MidiClock::time_point firstFramePlays, std::span<float> left, std::span<float> right) {
                std::fill(left.begin(), left.end(), 0.0F);
                std::fill(right.begin(), right.end(), 0.0F);
                lastPlays.store(firstFramePlays.time_since_epoch().count());
                renders.fetch_add(1);
                // The renderer held up once, as a busy machine holds it.
                if (stall.exchange(0) > 0) std::this_thread::sleep_for(100ms);
            },
            [this](std::chrono::microseconds d) { delay.store(d.count()); }, &error);
        ASSERT_TRUE(stream->isRunning()) << error;
        ASSERT_TRUE(Eventually([&] { return renders.load() > 0; })) << "the stream never asked for sound";
    }

    QTemporaryDir folder;
    QProcess daemon;
    std::optional<testing::ScopedEnv> serverAddress;
    std::unique_ptr<PulseStream> stream;
    std::atomic<int> renders{0};
    std::atomic<MidiClock::rep> lastPlays{0};
    std::atomic<int> stall{0};
    std::atomic<std::int64_t> delay{0};
};

// A stream that ran dry keeps more queued from the next performance on, up to its bound, and says the
// longer delay; once the machine has been quiet, the queue is a period shorter again.
TEST_F(PulseStreamTest, AQueueThatRanDryGrowsAndShrinksBackWhenQuiet) {
    open(std::chrono::milliseconds(0));
    const PulseStreamOptions options{.periodFrames = 256, .periods = 4, .mostPeriods = 8};
    ASSERT_TRUE(Eventually([&] { return renders.load() > 50; }));
    for (int i = 0; i < 4 && stream->periods() < 8; ++i) {
        // A stream resized while it plays starts again, and runs dry only once it plays.
        std::this_thread::sleep_for(300ms);
        stall.store(1);
        ASSERT_TRUE(Eventually([&] { return stall.load() == 0; }));
        std::this_thread::sleep_for(300ms);
        stream->sizeQueue();
    }
    EXPECT_GE(stream->underflows(), 1);
    EXPECT_EQ(stream->periods(), 8);
    EXPECT_EQ(delay.load(), PulseOutputDelay(options, 8).count());
    // After a quiet stretch, the next performance has a period less queued.
    std::string error;
    ASSERT_TRUE(stream->pause(&error)) << error;
    ASSERT_TRUE(stream->resume(&error)) << error;
    std::this_thread::sleep_for(500ms);
    stream->sizeQueue();
    EXPECT_EQ(stream->periods(), 7);
    EXPECT_EQ(delay.load(), PulseOutputDelay(options, 7).count());
}

// A paused stream asks for nothing, and after a long pause its first frames are placed by when they will
// really be heard, not where the time line stood before the pause (notes would come late or pile up).
TEST_F(PulseStreamTest, ResumedAfterAPauseRendersOnAFreshTimeLine) {
    open();
    std::string error;
    ASSERT_TRUE(stream->pause(&error)) << error;
    const int beforePause = renders.load();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(renders.load(), beforePause);

    const auto resumed = MidiClock::now();
    ASSERT_TRUE(stream->resume(&error)) << error;
    ASSERT_TRUE(Eventually([&] { return renders.load() > beforePause; }));
    const MidiClock::time_point plays{MidiClock::duration(lastPlays.load())};
    const double heardAfterResumeMs = std::chrono::duration<double, std::milli>(plays - resumed).count();
    EXPECT_GE(heardAfterResumeMs, 0);
    EXPECT_LT(heardAfterResumeMs, PatienceMs);
}

// The server going away ends the stream with a message, not a crash; a new stream can then be tried.
TEST_F(PulseStreamTest, ServerGoingAwayFailsTheStream) {
    open();
    daemon.kill();
    daemon.waitForFinished();
    ASSERT_TRUE(Eventually([&] { return stream->failed(); }));
    EXPECT_FALSE(stream->isRunning());
    std::string error;
    EXPECT_FALSE(stream->resume(&error));
    stream.reset();
    PulseStream again(
        {}, [](MidiClock::time_point, std::span<float>, std::span<float>) {}, {}, &error);
    EXPECT_FALSE(again.isRunning());
    EXPECT_NE(error.find("sound server"), std::string::npos) << error;
}

} // namespace
} // namespace orbel
