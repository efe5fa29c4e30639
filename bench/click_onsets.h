#pragma once
// What a listener hears, read back from the synthesizer's recording: the level of a 16-bit PCM WAV file
// and the moments where clicks start in it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orbel::bench {

struct AudioLevels {
    double sampleRate = 0;
    // Per frame, the loudest channel's magnitude, full scale = 1.
    std::vector<float> level;
};

// Reads a 16-bit PCM WAV file. On failure gives nothing and says why in error.
std::optional<AudioLevels> ReadWavLevels(const std::filesystem::path& file, std::string& error);

struct OnsetRule {
    // A fraction of the reference level: a crossing of it is a click starting ...
    double threshold = 0.1;
    // The reference level is the level this fraction of the recording stays at or below: 1 is the loudest
    // moment; a little less keeps one stray pop from hiding every click.
    double referenceQuantile = 1.0;
    // ... when the level stayed below it this long before, so that a click's own ringing counts once.
    double quietSeconds = 0.05;
};

// The moments (seconds from the start of the recording) where the level crosses the threshold after
// quiet, in order.
std::vector<double> FindOnsets(const AudioLevels& audio, const OnsetRule& rule = {});

} // namespace orbel::bench
