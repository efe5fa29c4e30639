#include "output_list.h"

#include "selector_texts.h"
#include "sound/alsa_port_output.h"
#include "sound/soundfont_check.h"
#include "sound/soundfont_locator.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

namespace orbel {

namespace {

bool IsSoundFontName(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".sf2" || ext == ".sf3";
}

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false; // follows symbolic links
    return std::ifstream(path, std::ios::binary).good();
}

// The SoundFont entry that plays the file: the same path first, then the same file reached another way (a
// link such as default-GM.sf2 is listed as the font it points to).
std::optional<std::size_t> SoundFontInUse(const std::vector<std::filesystem::path>& fonts,
                                          const std::filesystem::path& font) {
    const std::filesystem::path wanted = font.lexically_normal();
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i].lexically_normal() == wanted) return i;
    }
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        std::error_code ec;
        if (std::filesystem::equivalent(fonts[i], font, ec) && !ec) return i;
    }
    return std::nullopt;
}

} // namespace

std::vector<std::filesystem::path> ListSoundFonts(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (IsSoundFontName(it->path()) && IsReadableFile(it->path())) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    // Names that lead to one file are one synthesizer: the file keeps its own name when the folder holds
    // it, else the first link to it is listed.
    std::vector<std::filesystem::path> fonts;
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& font : found) {
        std::error_code linkError;
        std::filesystem::path file = std::filesystem::canonical(font, linkError);
        if (linkError) file = font;
        const auto same = std::find(files.begin(), files.end(), file);
        if (same == files.end()) {
            fonts.push_back(font);
            files.push_back(file);
            continue;
        }
        std::filesystem::path& listed = fonts[static_cast<std::size_t>(same - files.begin())];
        if (std::filesystem::is_symlink(listed, linkError) && !std::filesystem::is_symlink(font, linkError))
            listed = font;
    }
    std::sort(fonts.begin(), fonts.end());
    return fonts;
}

OutputList BuildOutputList(const std::filesystem::path& soundFontFolder,
                           const std::vector<std::string>& portNames, const MidiBackendChoice& inUse) {
    OutputList list;
    list.inUse = inUse;
    list.soundFontFolder = soundFontFolder;
    const std::vector<std::filesystem::path> fonts = ListSoundFonts(soundFontFolder);
    for (const std::filesystem::path& font : fonts) {
        // A damaged font stays in the list, marked, so that the user sees why it plays nothing.
        QString label = selector_texts::SynthEntry.arg(QString::fromStdString(font.filename().string()));
        if (SoundFontProblem(font)) label += selector_texts::DamagedMark;
        list.entries.push_back({label, {MidiBackend::Synthesizer, font.string()}});
    }
    for (const std::string& name : portNames) {
        list.entries.push_back(
            {selector_texts::PortEntry.arg(QString::fromStdString(name)), {MidiBackend::AlsaPort, name}});
    }

    switch (inUse.backend) {
    case MidiBackend::Synthesizer: {
        std::optional<std::filesystem::path> font;
        if (inUse.argument.empty()) {
            font = FindGeneralMidiSoundFont(soundFontFolder);
        } else {
            font = std::filesystem::path(inUse.argument);
        }
        if (font) list.current = SoundFontInUse(fonts, *font);
        break;
    }
    case MidiBackend::AlsaPort:
        if (const auto port = FindAlsaPort(portNames, inUse.argument)) list.current = fonts.size() + *port;
        break;
    case MidiBackend::Recorder:
        break;
    }
    return list;
}

OutputList LoadOutputList(const QString& programFolder) {
    std::string portProblem;
    const std::vector<std::string> ports = AlsaPortOutput::PortNames(portProblem);
    OutputList list = BuildOutputList(soundfonts::SystemFolder, ports, ReadMidiBackendChoice(programFolder));
    list.portProblem = std::move(portProblem);
    return list;
}

} // namespace orbel
