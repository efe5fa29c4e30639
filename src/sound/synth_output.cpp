// The built-in synthesizer's MIDI output: the SoundFont found and checked, the parts put together.
// Thread: any thread, under the MIDI port's lock.
#include "sound/synth_output.h"

#include "sound/audio/scheduled_renderer.h"
#include "sound/fluid_synth_set.h"
#include "sound/soundfont_check.h"
#include "sound/synth_idle_worker.h"
#include "sound/synth_stream.h"

#include <fstream>
#include <system_error>
#include <utility>

namespace orbel {

namespace {

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path, std::ios::binary).good();
}

} // namespace

SynthOutput::SynthOutput(SynthOptions options) : options_(std::move(options)) {}

SynthOutput::~SynthOutput() = default;

bool SynthOutput::open(std::string& error) {
    close();

    std::filesystem::path font = options_.soundFont;
    if (font.empty()) {
        const auto found = FindGeneralMidiSoundFont(options_.soundFontFolder);
        if (!found) {
            error = options_.soundFontFolder.string() +
                    " に General MIDI の SoundFont（.sf2）がありません。パッケージ fluid-soundfont-gm "
                    "に含まれています。";
            return false;
        }
        font = *found;
    } else if (!IsReadableFile(font)) {
        error = "SoundFont「" + font.string() + "」がないか、読み込めません。";
        return false;
    }
    // Read from its headers alone, so that open() need not wait for the whole file: a damaged font is
    // named now rather than loaded into silence.
    if (const std::optional<std::string> problem = SoundFontProblem(font)) {
        error = *problem;
        return false;
    }

    std::unique_ptr<FluidSynthSet> fluid = FluidSynthSet::Create(options_.sampleRate, error);
    if (!fluid) return false;

    if (!options_.liveAudio) {
        if (!fluid->loadSoundFont(font)) {
            error = "SoundFont「" + font.string() +
                    "」を読み込めません。壊れているか、SoundFont ではありません。";
            return false;
        }
        renderer_ = std::make_unique<ScheduledRenderer>(fluid->block(), options_.sampleRate,
                                                        std::chrono::microseconds{});
        fluid_ = std::move(fluid);
        soundFontPath_ = std::move(font);
        return true;
    }

    // The stream sets the output delay for the driver it starts.
    auto renderer =
        std::make_unique<ScheduledRenderer>(fluid->block(), options_.sampleRate, std::chrono::microseconds{});
    std::unique_ptr<SynthStream> stream = SynthStream::Open(*fluid, *renderer, options_, error);
    if (!stream) return false;
    std::unique_ptr<SynthIdleWorker> worker;
    try {
        worker = std::make_unique<SynthIdleWorker>(*fluid, *renderer, *stream, font, options_.sampleRate);
    } catch (const std::system_error& e) {
        error = std::string("シンセサイザーの読み込みスレッドを始められません（") + e.what() + "）。";
        return false;
    }
    fluid_ = std::move(fluid);
    renderer_ = std::move(renderer);
    stream_ = std::move(stream);
    worker_ = std::move(worker);
    soundFontPath_ = std::move(font);
    audioDriverName_ = stream_->driverName();
    return true;
}

void SynthOutput::send(ShortMessage message) {
    if (!renderer_) return;
    (void)renderer_->post(message, std::nullopt); // a full queue loses the note, as a device would
    if (worker_) worker_->nudge();
}

void SynthOutput::sendAt(ShortMessage message, MidiClock::time_point due) {
    if (!renderer_) return;
    (void)renderer_->post(message, due);
    if (worker_) worker_->nudge();
}

void SynthOutput::cancelScheduled() {
    if (renderer_) renderer_->cancelScheduled();
}

std::chrono::microseconds SynthOutput::outputDelay() const {
    return renderer_ ? renderer_->delay() : std::chrono::microseconds{};
}

void SynthOutput::wake() {
    if (worker_) worker_->wake();
}

void SynthOutput::reset() {
    if (!renderer_) return;
    (void)renderer_->postAllSoundsOff();
    if (worker_) worker_->nudge();
}

void SynthOutput::close() {
    worker_.reset();
    stream_.reset();
    renderer_.reset();
    fluid_.reset();
    soundFontPath_.clear();
    audioDriverName_.clear();
}

bool SynthOutput::isOpen() const {
    return renderer_ != nullptr;
}

bool SynthOutput::streamRunning() const {
    return stream_ && stream_->running();
}

bool SynthOutput::render(std::span<float> left, std::span<float> right) {
    if (!renderer_ || options_.liveAudio || left.size() != right.size()) return false;
    renderer_->render(MidiClock::now(), left, right);
    return true;
}

} // namespace orbel
