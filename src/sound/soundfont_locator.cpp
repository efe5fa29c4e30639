#include "sound/soundfont_locator.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>
#include <vector>

namespace orbel {

namespace {

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false; // follows symbolic links
    return std::ifstream(path, std::ios::binary).good();
}

bool HasSoundFontExtension(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".sf2";
}

} // namespace

std::optional<std::filesystem::path> FindGeneralMidiSoundFont(const std::filesystem::path& folder) {
    for (const char* name : {soundfonts::Preferred, soundfonts::Fallback}) {
        const std::filesystem::path candidate = folder / name;
        if (IsReadableFile(candidate)) return candidate;
    }

    std::vector<std::filesystem::path> others;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (HasSoundFontExtension(it->path()) && IsReadableFile(it->path())) others.push_back(it->path());
    }
    if (others.empty()) return std::nullopt;
    // Name order, so that the same folder always gives the same choice.
    return *std::min_element(others.begin(), others.end());
}

} // namespace orbel
