#include "click_onsets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

namespace orbel::bench {

namespace {

constexpr std::size_t RiffHeaderBytes = 12;
constexpr std::size_t ChunkHeaderBytes = 8;
constexpr std::size_t FormatBytes = 16;
constexpr int PcmFormat = 1;
constexpr int SampleBits = 16;
constexpr float FullScale = 32768.0F;

// Little-endian fields of a byte buffer, read only where the buffer holds them.
class Bytes {
public:
    explicit Bytes(std::vector<unsigned char> data) : data_(std::move(data)) {}

    std::size_t size() const { return data_.size(); }
    bool holds(std::size_t at, std::size_t count) const { return at <= size() && count <= size() - at; }
    bool tagAt(std::size_t at, std::string_view tag) const {
        return holds(at, tag.size()) && std::equal(tag.begin(), tag.end(), data_.begin() + at,
                                                   [](char c, unsigned char b) { return c == char(b); });
    }
    std::uint32_t u16(std::size_t at) const { return data_[at] | (std::uint32_t{data_[at + 1]} << 8U); }
    std::uint32_t u32(std::size_t at) const { return u16(at) | (u16(at + 2) << 16U); }
    float sample(std::size_t at) const {
        return static_cast<float>(static_cast<std::int16_t>(static_cast<std::uint16_t>(u16(at)))) / FullScale;
    }

private:
    std::vector<unsigned char> data_;
};

} // namespace

std::optional<AudioLevels> ReadWavLevels(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    const Bytes bytes(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
    if (!bytes.tagAt(0, "RIFF") || !bytes.tagAt(8, "WAVE")) {
        error = file.string() + " is not a WAV file";
        return std::nullopt;
    }

    int channels = 0;
    AudioLevels audio;
    for (std::size_t at = RiffHeaderBytes; bytes.holds(at, ChunkHeaderBytes);) {
        const std::size_t body = at + ChunkHeaderBytes;
        // A recording cut off before its header was finished claims more than the file holds.
        const std::size_t length = std::min<std::size_t>(bytes.u32(at + 4), bytes.size() - body);
        if (bytes.tagAt(at, "fmt ")) {
            if (length < FormatBytes || bytes.u16(body) != PcmFormat || bytes.u16(body + 14) != SampleBits) {
                error = file.string() + " is not 16-bit PCM";
                return std::nullopt;
            }
            channels = static_cast<int>(bytes.u16(body + 2));
            audio.sampleRate = bytes.u32(body + 4);
        } else if (bytes.tagAt(at, "data")) {
            if (channels <= 0 || audio.sampleRate <= 0) {
                error = file.string() + " has its samples before their format";
                return std::nullopt;
            }
            const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels);
            audio.level.reserve(length / frameBytes);
            for (std::size_t frame = body; frame + frameBytes <= body + length; frame += frameBytes) {
                float loudest = 0.0F;
                for (std::size_t c = 0; c < frameBytes; c += 2)
                    loudest = std::max(loudest, std::abs(bytes.sample(frame + c)));
                audio.level.push_back(loudest);
            }
            return audio;
        }
        // Chunks are padded to an even length.
        at = body + length + (length % 2);
    }
    error = file.string() + " holds no samples";
    return std::nullopt;
}

std::vector<double> FindOnsets(const AudioLevels& audio, const OnsetRule& rule) {
    std::vector<double> onsets;
    if (audio.level.empty() || audio.sampleRate <= 0) return onsets;
    std::vector<float> sorted = audio.level;
    const auto rank = static_cast<std::size_t>(std::clamp(rule.referenceQuantile, 0.0, 1.0) *
                                               static_cast<double>(sorted.size() - 1));
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(rank), sorted.end());
    const float loudest = sorted[rank];
    if (loudest <= 0.0F) return onsets; // silence throughout
    const auto threshold = static_cast<float>(rule.threshold * loudest);
    const auto quietFrames = static_cast<std::size_t>(rule.quietSeconds * audio.sampleRate);
    // The recording starts in silence.
    std::size_t quiet = quietFrames;
    for (std::size_t i = 0; i < audio.level.size(); ++i) {
        if (audio.level[i] < threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= quietFrames) onsets.push_back(static_cast<double>(i) / audio.sampleRate);
        quiet = 0;
    }
    return onsets;
}

} // namespace orbel::bench
