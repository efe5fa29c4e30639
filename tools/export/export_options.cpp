#include "export_options.h"

#include "app/study_session.h"

#include <QCommandLineParser>
#include <limits>

namespace orbel::exporter {

namespace {

std::optional<int> ReadInt(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

// "STEP,EVERY,CEILING" or "STEP,EVERY,CEILING,restart".
std::optional<TempoRamp> ReadRamp(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3 && !(parts.size() == 4 && parts[3] == QLatin1String("restart")))
        return std::nullopt;
    const auto step = ReadInt(parts[0], ramp_limits::LowestStep, ramp_limits::HighestStep);
    const auto every = ReadInt(parts[1], ramp_limits::LowestEvery, ramp_limits::HighestEvery);
    const auto ceiling = ReadInt(parts[2], tempo_range::Slowest, tempo_range::Fastest);
    if (!step || !every || !ceiling) return std::nullopt;
    return TempoRamp{*step, *every, *ceiling, parts.size() == 4};
}

} // namespace

QString UsageLine() {
    return QStringLiteral(
        "usage: orbel-export [--home DIR] --study N [--item K] [--root R] [--octave-shift S] "
        "[--transpose-to R2] [--set Field=Value ...] --format json|mid|png|svg|pdf|musicxml [--repeats N] "
        "[--seed N] "
        "[--ramp STEP,EVERY,CEILING[,restart]] [--all-keys] [--score PERFORMANCE.mid [--window MS] "
        "[--any-octave]] [-o FILE]");
}

ParsedOptions ParseExportOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption home(QStringLiteral("home"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption study(QStringLiteral("study"), QString(), QStringLiteral("N"));
    const QCommandLineOption item(QStringLiteral("item"), QString(), QStringLiteral("K"));
    const QCommandLineOption root(QStringLiteral("root"), QString(), QStringLiteral("R"));
    const QCommandLineOption octave(QStringLiteral("octave-shift"), QString(), QStringLiteral("S"));
    const QCommandLineOption transpose(QStringLiteral("transpose-to"), QString(), QStringLiteral("R2"));
    const QCommandLineOption set(QStringLiteral("set"), QString(), QStringLiteral("Field=Value"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("FILE"));
    const QCommandLineOption repeats(QStringLiteral("repeats"), QString(), QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("N"));
    const QCommandLineOption allKeys(QStringLiteral("all-keys"));
    const QCommandLineOption ramp(QStringLiteral("ramp"), QString(), QStringLiteral("STEP,EVERY,CEILING"));
    const QCommandLineOption score(QStringLiteral("score"), QString(), QStringLiteral("PERFORMANCE.mid"));
    const QCommandLineOption window(QStringLiteral("window"), QString(), QStringLiteral("MS"));
    const QCommandLineOption anyOctave(QStringLiteral("any-octave"));
    parser.addOptions({home, study, item, root, octave, transpose, set, format, output, repeats, seed,
                       allKeys, ramp, score, window, anyOctave});

    ParsedOptions result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return result;
    }

    ExportOptions o;
    auto single = [&](const QCommandLineOption& option) {
        const QStringList values = parser.values(option);
        return values.isEmpty() ? QString() : values.last();
    };
    if (!parser.isSet(study)) {
        result.error = QStringLiteral("--study is required");
        return result;
    }
    const auto studyValue = ReadInt(single(study), 0, 4);
    if (!studyValue) {
        result.error = QStringLiteral("--study must be 0..4");
        return result;
    }
    o.study = *studyValue;
    if (parser.isSet(item)) {
        o.item = ReadInt(single(item), 0, 32767);
        if (!o.item) {
            result.error = QStringLiteral("--item must be a whole number from 0");
            return result;
        }
    }
    for (auto [option, target] : {std::pair{&root, &o.root}, std::pair{&transpose, &o.transposeTo}}) {
        if (!parser.isSet(*option)) continue;
        *target = ReadInt(single(*option), 0, 11);
        if (!*target) {
            result.error = QStringLiteral("--%1 must be a root 0..11").arg(option->names().first());
            return result;
        }
    }
    if (parser.isSet(octave)) {
        // How far the item can go depends on its notes: the build says.
        o.octaveShift =
            ReadInt(single(octave), std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        if (!o.octaveShift) {
            result.error = QStringLiteral("--octave-shift must be a whole number");
            return result;
        }
    }
    const QString formatName = parser.isSet(format) ? single(format) : QStringLiteral("json");
    if (formatName == QLatin1String("json")) {
        o.format = Format::Json;
    } else if (formatName == QLatin1String("mid")) {
        o.format = Format::Midi;
    } else if (formatName == QLatin1String("png")) {
        o.format = Format::Png;
    } else if (formatName == QLatin1String("svg")) {
        o.format = Format::Svg;
    } else if (formatName == QLatin1String("pdf")) {
        o.format = Format::Pdf;
    } else if (formatName == QLatin1String("musicxml")) {
        o.format = Format::MusicXml;
    } else {
        result.error = QStringLiteral("unknown format: %1").arg(formatName);
        return result;
    }
    const bool scoring = parser.isSet(score);
    if (scoring && parser.isSet(format) && o.format != Format::Json) {
        result.error = QStringLiteral("--score writes its result as JSON: leave out --format");
        return result;
    }
    if ((parser.isSet(repeats) || parser.isSet(seed) || parser.isSet(ramp)) && o.format != Format::Midi &&
        !scoring) {
        result.error = QStringLiteral("--repeats, --seed and --ramp belong to --format mid and --score");
        return result;
    }
    if ((parser.isSet(window) || parser.isSet(anyOctave)) && !scoring) {
        result.error = QStringLiteral("--window and --any-octave belong to --score");
        return result;
    }
    if (scoring) {
        o.scoreFile = single(score);
        o.scoring.anyOctave = parser.isSet(anyOctave);
        if (parser.isSet(window)) {
            const auto ms = ReadInt(single(window), static_cast<int>(score_defaults::ShortestWindowMs),
                                    static_cast<int>(score_defaults::LongestWindowMs));
            if (!ms) {
                result.error = QStringLiteral("--window must be %1..%2 ms")
                                   .arg(score_defaults::ShortestWindowMs)
                                   .arg(score_defaults::LongestWindowMs);
                return result;
            }
            o.scoring.windowMs = *ms;
        }
    }
    o.repeatsGiven = parser.isSet(repeats);
    if (parser.isSet(repeats)) {
        const auto count = ReadInt(single(repeats), 1, midi_defaults::MaxRepeats);
        if (!count) {
            result.error = QStringLiteral("--repeats must be 1..%1").arg(midi_defaults::MaxRepeats);
            return result;
        }
        o.midi.repeats = *count;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        const uint value = single(seed).toUInt(&ok);
        if (!ok) {
            result.error = QStringLiteral("--seed must be a whole number 0..4294967295");
            return result;
        }
        o.midi.seed = value;
    }
    if (parser.isSet(ramp)) {
        o.midi.ramp = ReadRamp(single(ramp));
        if (!o.midi.ramp) {
            result.error = QStringLiteral("--ramp must be STEP,EVERY,CEILING with STEP 1..20, EVERY 1..20, "
                                          "CEILING 50..300, and then restart if the ramp starts again");
            return result;
        }
    }
    o.allKeys = parser.isSet(allKeys);
    if (o.allKeys && !IsPicture(o.format) && o.format != Format::MusicXml) {
        result.error = QStringLiteral("--all-keys belongs to --format png, svg, pdf or musicxml");
        return result;
    }
    o.home = single(home);
    o.assignments = parser.values(set);
    o.output = single(output);
    result.options = o;
    return result;
}

} // namespace orbel::exporter
