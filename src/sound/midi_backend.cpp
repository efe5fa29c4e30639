#include "sound/midi_backend.h"

#include "datafiles/bounded_read.h"
#include "datafiles/text_encoding.h"
#include "sound/alsa_port_output.h"
#include "sound/fallback_output.h"
#include "sound/recording_output.h"
#include "sound/synth_output.h"

#include <QFile>
#include <QtGlobal>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace orbel {

namespace {

constexpr std::string_view Blanks = " \t\r\n";

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(Blanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(Blanks);
    return s.substr(first, last - first + 1);
}

std::string Lower(std::string_view s) {
    std::string result(s);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The same comment marks as the other text files of the program folder.
bool IsComment(std::string_view line) {
    return !line.empty() && (line.front() == ';' || line.front() == '#' || line.front() == '\'');
}

std::optional<MidiBackendChoice> ParseLine(std::string_view line) {
    const auto blank = line.find_first_of(Blanks);
    const std::string keyword = Lower(line.substr(0, blank));
    const std::string argument(blank == std::string_view::npos ? std::string_view{}
                                                               : Trim(line.substr(blank)));
    if (keyword == "synth") return MidiBackendChoice{MidiBackend::Synthesizer, argument};
    if (keyword == "alsa") return MidiBackendChoice{MidiBackend::AlsaPort, argument};
    if (keyword == "recorder") return MidiBackendChoice{MidiBackend::Recorder, {}};
    return std::nullopt;
}

// The part of a line a message quotes: a line of a damaged file can be megabytes of anything.
constexpr std::size_t ShownLineBytes = 256;
constexpr qsizetype ShownLineCharacters = 40;

// The line, decoded as the program's text files are, with what cannot be shown replaced and the rest cut.
QString PrintableLine(std::string_view line) {
    QString text = DecodeText(QByteArrayView(line.data(), static_cast<qsizetype>(line.size()))).text;
    for (QChar& c : text) {
        if (!c.isPrint() || c == QChar::ReplacementCharacter) c = QChar(u'?');
    }
    if (text.size() > ShownLineCharacters) text = text.left(ShownLineCharacters) + QStringLiteral("…");
    return text;
}

QString UnknownChoiceText(QLatin1String source, std::string_view line) {
    return QStringLiteral("%1 の「%2」は MIDI 出力の指定（synth、alsa、recorder）ではありません。"
                          "内蔵シンセサイザーで演奏します。")
        .arg(source, PrintableLine(line));
}

} // namespace

MidiBackendChoice ParseMidiBackendChoice(std::string_view text, std::string* problem) {
    if (text.substr(0, text_bytes::Utf8Bom.size()) == text_bytes::Utf8Bom)
        text.remove_prefix(text_bytes::Utf8Bom.size());
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || IsComment(line)) continue;
        if (auto choice = ParseLine(line)) return *choice;
        if (problem != nullptr) *problem = std::string(line.substr(0, ShownLineBytes));
        break;
    }
    return {};
}

std::string FormatMidiBackendChoice(const MidiBackendChoice& choice) {
    switch (choice.backend) {
    case MidiBackend::AlsaPort:
        return choice.argument.empty() ? "alsa" : "alsa " + choice.argument;
    case MidiBackend::Recorder:
        return "recorder";
    case MidiBackend::Synthesizer:
        break;
    }
    return choice.argument.empty() ? "synth" : "synth " + choice.argument;
}

MidiBackendChoice ReadMidiBackendChoice(const QString& programFolder, QString* problemText) {
    std::string problem;
    MidiBackendChoice choice;
    const QByteArray fromEnvironment = qgetenv(midi_backend::OverrideVariable);
    const bool overridden = !fromEnvironment.isEmpty();
    if (overridden) {
        choice = ParseMidiBackendChoice(fromEnvironment.toStdString(), &problem);
    } else {
        // A missing or unreadable file means the default output, without a word: that is the usual case.
        static constexpr qint64 ChoiceFileLimit = 64 * 1024;
        const BoundedRead file = ReadRegularFile(
            programFolder + QLatin1Char('/') + QLatin1String(midi_backend::ChoiceFileName), ChoiceFileLimit);
        if (file.bytes) choice = ParseMidiBackendChoice(file.bytes->toStdString(), &problem);
        // A choice is one short line: a file this large is something else put in its place.
        if (!file.bytes && file.failure == ReadFailure::TooLarge) problem = "…";
    }
    if (!problem.empty()) {
        const QString text = UnknownChoiceText(overridden ? QLatin1String(midi_backend::OverrideVariable)
                                                          : QLatin1String(midi_backend::ChoiceFileName),
                                               problem);
        qWarning("%s", qUtf8Printable(text));
        if (problemText != nullptr) *problemText = text;
    }

    if (choice.backend == MidiBackend::Synthesizer && !choice.argument.empty()) {
        const std::filesystem::path font(choice.argument);
        if (font.is_relative()) {
            choice.argument = (std::filesystem::path(programFolder.toStdString()) / font).string();
        }
    }
    return choice;
}

std::unique_ptr<MidiOutput> MakeMidiOutput(const MidiBackendChoice& choice) {
    switch (choice.backend) {
    case MidiBackend::AlsaPort: {
        // A port that is gone (the device unplugged, the sequencer missing) still leaves the trainer
        // its sound.
        std::string name =
            choice.argument.empty() ? "最初の ALSA ポート" : "ALSA ポート「" + choice.argument + "」";
        return std::make_unique<FallbackOutput>(std::make_unique<AlsaPortOutput>(choice.argument),
                                                std::move(name), std::make_unique<SynthOutput>(),
                                                "内蔵シンセサイザー");
    }
    case MidiBackend::Recorder:
        return std::make_unique<RecordingOutput>();
    case MidiBackend::Synthesizer:
        break;
    }
    SynthOptions options;
    options.soundFont = choice.argument;
    return std::make_unique<SynthOutput>(std::move(options));
}

} // namespace orbel
