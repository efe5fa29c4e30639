#include "sound/audio/scheduled_renderer.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace orbel {
namespace {

using std::chrono::microseconds;

constexpr double Rate = 48000.0;
constexpr int Block = synth_block::Frames;
const MidiClock::time_point Start{std::chrono::seconds(1000)};

// Notes where in its output each message arrived.
class FakeSynth final : public BlockSynth {
public:
    struct Applied {
        std::int64_t frame;
        ShortMessage message;
        bool operator==(const Applied&) const = default;
    };
    bool ready() const override { return ready_; }
    void apply(ShortMessage message) override {
        applied.push_back({rendered, message});
        ++voices;
    }
    void allSoundsOff() override {
        applied.push_back({rendered, 0});
        voices = 0;
    }
    void render(std::span<float> left, std::span<float> right) override {
        // Pieces never cross the synthesizer's own blocks.
        EXPECT_LE(rendered % Block + static_cast<std::int64_t>(left.size()), Block);
        EXPECT_EQ(left.size(), right.size());
        rendered += static_cast<std::int64_t>(left.size());
    }
    int activeVoices() override { return voices; }

    bool ready_ = true;
    int voices = 0;
    std::int64_t rendered = 0;
    std::vector<Applied> applied;
};

MidiClock::time_point AtFrame(double frame) {
    return Start + microseconds(static_cast<std::int64_t>(std::llround(frame * 1e6 / Rate)));
}

// A stream whose callbacks come exactly when their frames are due, in callbacks of `frames`.
class RendererRig {
public:
    explicit RendererRig(microseconds delay = microseconds{2000}) : renderer(synth, Rate, delay) {}
    void callback(int frames) {
        left.assign(static_cast<std::size_t>(frames), 1.0F);
        right.assign(static_cast<std::size_t>(frames), 1.0F);
        renderer.render(AtFrame(static_cast<double>(stream)), left, right);
        stream += frames;
    }
    void run(int callbacks, int frames = 256) {
        for (int i = 0; i < callbacks; ++i)
            callback(frames);
    }
    FakeSynth synth;
    ScheduledRenderer renderer;
    std::int64_t stream = 0;
    std::vector<float> left, right;
};

struct DueCase {
    const char* name;
    double dueFrame; // of the message's due time, on the stream's frames
    std::int64_t appliedAt;
};

class RendererDueTest : public ::testing::TestWithParam<DueCase> {};

// A message due at frame f goes before the block whose start is nearest to f + delay (96 frames), and one
// whose moment has passed goes at once.
TEST_P(RendererDueTest, MessageGoesToTheNearestBlockStart) {
    const DueCase c = GetParam();
    RendererRig rig;
    rig.run(8); // 2048 frames: the clock is found
    ASSERT_TRUE(rig.renderer.post(0x90, AtFrame(c.dueFrame)));
    rig.run(8);
    ASSERT_EQ(rig.synth.applied.size(), 1U);
    EXPECT_EQ(rig.synth.applied[0].frame, c.appliedAt);
}

INSTANTIATE_TEST_SUITE_P(Moments, RendererDueTest,
                         ::testing::Values(DueCase{"OnABlockStart", 2400, 2496},     // 2400 + 96 = 39 blocks
                                           DueCase{"JustBeforeHalfway", 2431, 2496}, // 2527 rounds down
                                           DueCase{"JustAfterHalfway", 2433, 2560},  // 2529 rounds up
                                           DueCase{"InThePast", 1000, 2048}),
                         [](const ::testing::TestParamInfo<DueCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ScheduledRendererTest, BeatsAWholeNumberOfBlocksApartStayExactlyThatFarApart) {
    // Callbacks of 256 frames render up to 256 frames ahead of the clock: the delay covers that and a block.
    RendererRig rig(microseconds{8000});
    rig.run(8);
    // Beats of 200 ms are 9600 frames: 150 blocks. The messages are handed over at their due times.
    std::vector<std::int64_t> frames;
    for (int beat = 0; beat < 10; ++beat) {
        const double due = 3000.0 + 9600.0 * beat + 17.0;
        while (static_cast<double>(rig.stream) < due)
            rig.callback(256);
        ASSERT_TRUE(rig.renderer.post(0x99, AtFrame(due)));
    }
    rig.run(64);
    ASSERT_EQ(rig.synth.applied.size(), 10U);
    for (std::size_t i = 1; i < rig.synth.applied.size(); ++i)
        EXPECT_EQ(rig.synth.applied[i].frame - rig.synth.applied[i - 1].frame, 9600);
}

TEST(ScheduledRendererTest, ImmediateMessagesKeepTheirOrderAndGoAtTheNextBlock) {
    RendererRig rig;
    rig.run(2);
    ASSERT_TRUE(rig.renderer.post(0x90, AtFrame(1e6))); // far ahead
    ASSERT_TRUE(rig.renderer.post(1, std::nullopt));
    ASSERT_TRUE(rig.renderer.postAllSoundsOff());
    ASSERT_TRUE(rig.renderer.post(2, std::nullopt));
    rig.callback(100);
    EXPECT_EQ(rig.synth.applied, (std::vector<FakeSynth::Applied>{{512, 1}, {512, 0}, {512, 2}}));
}

TEST(ScheduledRendererTest, CancelDropsEverythingHandedOverBefore) {
    RendererRig rig;
    rig.run(2);
    ASSERT_TRUE(rig.renderer.post(1, AtFrame(5000)));
    rig.run(1); // taken into the waiting list
    ASSERT_TRUE(rig.renderer.post(2, AtFrame(5000)));
    ASSERT_TRUE(rig.renderer.post(3, std::nullopt));
    rig.renderer.cancelScheduled();
    ASSERT_TRUE(rig.renderer.post(4, AtFrame(5000)));
    rig.run(40);
    ASSERT_EQ(rig.synth.applied.size(), 1U);
    EXPECT_EQ(rig.synth.applied[0].message, 4U);
}

TEST(ScheduledRendererTest, MessagesWaitForTheInstrumentsAndTheStreamIsSilentMeanwhile) {
    RendererRig rig;
    rig.synth.ready_ = false;
    ASSERT_TRUE(rig.renderer.post(1, std::nullopt));
    ASSERT_TRUE(rig.renderer.post(2, AtFrame(300)));
    rig.run(4);
    EXPECT_TRUE(rig.synth.applied.empty());
    EXPECT_EQ(rig.left, std::vector<float>(256, 0.0F));
    rig.synth.ready_ = true;
    rig.run(1);
    EXPECT_EQ(rig.synth.applied, (std::vector<FakeSynth::Applied>{{0, 1}, {0, 2}}));
}

TEST(ScheduledRendererTest, QuietCountsOnlyWithoutVoicesOrWaitingMessages) {
    RendererRig rig;
    rig.run(4);
    EXPECT_EQ(rig.renderer.quietFrames(), 1024);
    ASSERT_TRUE(rig.renderer.post(1, AtFrame(1e6)));
    rig.run(1);
    EXPECT_EQ(rig.renderer.quietFrames(), 0);
    EXPECT_TRUE(rig.renderer.hasWork());
    rig.renderer.discardAll();
    EXPECT_FALSE(rig.renderer.hasWork());
    ASSERT_TRUE(rig.renderer.post(1, std::nullopt));
    rig.run(2);
    EXPECT_EQ(rig.renderer.quietFrames(), 0); // a voice sounds
    rig.synth.voices = 0;
    rig.run(2);
    EXPECT_EQ(rig.renderer.quietFrames(), 512);
}

TEST(ScheduledRendererTest, AFullQueueRefusesInsteadOfOverwriting) {
    RendererRig rig;
    int accepted = 0;
    while (rig.renderer.post(static_cast<ShortMessage>(accepted), std::nullopt) && accepted < 100000)
        ++accepted;
    EXPECT_GT(accepted, 1000);
    EXPECT_LT(accepted, 100000);
    rig.run(1);
    ASSERT_EQ(rig.synth.applied.size(), static_cast<std::size_t>(accepted));
    EXPECT_EQ(rig.synth.applied.back().message, static_cast<ShortMessage>(accepted - 1));
}

} // namespace
} // namespace orbel
