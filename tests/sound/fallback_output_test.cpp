#include "sound/fallback_output.h"

#include "sound/alsa_port_output.h"
#include "sound/recording_output.h"
#include "sound/soundfont_locator.h"
#include "sound/synth_output.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace orbel {
namespace {

std::unique_ptr<SynthOutput> OfflineSynth() {
    SynthOptions options;
    options.soundFont = std::filesystem::path(soundfonts::SystemFolder) / soundfonts::Fallback;
    options.liveAudio = false;
    return std::make_unique<SynthOutput>(options);
}

// These machines have no ALSA sequencer, so the port cannot open; elsewhere no port has this name.
TEST(FallbackOutputTest, PortThatCannotOpenPlaysThroughTheSynthesizerAndSaysWhy) {
    auto synth = OfflineSynth();
    SynthOutput* played = synth.get();
    FallbackOutput output(std::make_unique<AlsaPortOutput>("no such port"), "ALSA ポート「no such port」",
                          std::move(synth), "内蔵シンセサイザー");
    std::string error;
    ASSERT_TRUE(output.open(error)) << error;
    EXPECT_EQ(output.active(), played);
    const std::string notice = output.openNotice();
    EXPECT_EQ(notice.rfind("ALSA ポート「no such port」を開けないため（ALSA シーケンサーを使えません（", 0),
              0U)
        << notice;
    EXPECT_NE(notice.find("）、内蔵シンセサイザーで演奏します。"), std::string::npos) << notice;

    output.send(PackShortMessage(0x99, 56, 127));
    std::vector<float> left(4800), right(4800);
    ASSERT_TRUE(played->render(left, right));
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 0.01F);
}

TEST(FallbackOutputTest, PreferredOutputThatOpensIsUsedWithoutANotice) {
    auto recorder = std::make_unique<RecordingOutput>([] { return std::int64_t{0}; });
    RecordingOutput* preferred = recorder.get();
    FallbackOutput output(std::move(recorder), "The recorder", OfflineSynth(), "内蔵シンセサイザー");
    std::string error;
    ASSERT_TRUE(output.open(error));
    EXPECT_EQ(output.active(), preferred);
    EXPECT_TRUE(output.openNotice().empty());
    output.sendAt(0x90, MidiClock::now());
    EXPECT_EQ(preferred->records().size(), 1U);
}

TEST(FallbackOutputTest, NeitherOpeningGivesBothReasons) {
    SynthOptions options;
    options.soundFont = "/nonexistent/absent.sf2";
    options.liveAudio = false;
    FallbackOutput output(std::make_unique<AlsaPortOutput>("no such port"), "ALSA ポート「no such port」",
                          std::make_unique<SynthOutput>(options), "内蔵シンセサイザー");
    std::string error;
    EXPECT_FALSE(output.open(error));
    EXPECT_FALSE(output.isOpen());
    EXPECT_NE(error.find("absent.sf2"), std::string::npos) << error;
    EXPECT_NE(error.find("ALSA"), std::string::npos) << error;
    output.send(0x90); // closed: quietly lost
}

} // namespace
} // namespace orbel
