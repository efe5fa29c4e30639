// orbel-export: writes one study item, built exactly as the trainer builds it.

#include "export_options.h"

#include "export/export_build.h"
#include "export/json_writer.h"
#include "export/midi_render.h"
#include "export/musicxml_writer.h"
#include "export/performance_check.h"
#include "export/staff_picture.h"

#include "app/command_line.h"
#include "app/program_folder.h"
#include "datafiles/named_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

namespace exit_code {
static constexpr int Ok = 0;
static constexpr int CannotWrite = 1;
static constexpr int Refused = 2;
} // namespace exit_code

void PrintError(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}

} // namespace

// Pictures need fonts, so a picture is drawn in a GUI application; it never needs a display.
bool WantsPicture(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray option(argv[i]);
        const QByteArray value(argv[i + 1]);
        if ((option == "--format" || option == "-format") &&
            (value == "png" || value == "svg" || value == "pdf"))
            return true;
    }
    return false;
}

// The staff's fonts: the music font beside the program, and IPA Mincho for the program's Mincho face.
bool InstallStaffFonts(const QString& folder) {
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    return QFontDatabase::addApplicationFont(
               QDir(orbel::ResourceFolderFor(folder)).filePath(QStringLiteral("ZEPHMUSIC.ttf"))) >= 0;
}

orbel::command_line::Program ExportProgram() {
    return {
        QStringLiteral("orbel-export"),
        QStringLiteral(
            "writes a study item of the trainer as JSON, MIDI, a picture, or scores a performance"),
        orbel::exporter::UsageLine(),
        QStringLiteral(
            "  --home DIR            the program folder to read (default: the trainer's own)\n"
            "  --study N             0 scale, 1 chord, 2 II-V-I pattern, 3 II-V-I phrase, 4 the user's file\n"
            "  --item K              the item of the study (default: the one in the settings)\n"
            "  --root R              the root 0..11 (0 = C)\n"
            "  --octave-shift S      octaves up or down, as far as the notes stay playable\n"
            "  --transpose-to R2     moves a phrase to the root R2\n"
            "  --set Field=Value     overrides one settings field, in order\n"
            "  --format F            json (default), mid, png, svg, pdf or musicxml\n"
            "  --repeats N           repetitions the play button plays (mid, --score)\n"
            "  --seed N              the accompaniment's draws (mid, --score)\n"
            "  --ramp S,E,C[,restart] the tempo ramp: S BPM every E repetitions up to C (mid, --score)\n"
            "  --all-keys            the item in all twelve keys (pictures, musicxml)\n"
            "  --score FILE.mid      scores a performance of the item, printed as JSON\n"
            "  --window MS           how far off a right note may be (--score; default 60)\n"
            "  --any-octave          a note in another octave counts as right (--score)\n"
            "  -o FILE               where to write (default: standard output)\n\n"
            "Exit status: 0 done, 1 the output cannot be written, 2 the item or file was refused, "
            "64 a bad command line.")};
}

int main(int argc, char** argv) {
    if (const auto answered = orbel::command_line::AnswerHelpOrVersion(
            orbel::command_line::Arguments(argc, argv), ExportProgram()))
        return *answered;
    std::unique_ptr<QCoreApplication> app;
    if (WantsPicture(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    using namespace orbel::exporter;

    const ParsedOptions parsed = ParseExportOptions(QCoreApplication::arguments());
    if (!parsed.options) return orbel::command_line::RefuseUsage(parsed.error, ExportProgram());
    if (parsed.options->home.isEmpty()) {
        // The program folder of an installed copy is prepared first; what stands in its way is said here.
        const orbel::ProgramFolders folders = orbel::LocateProgramFolders();
        if (!folders.error.isEmpty()) {
            PrintError(QStringLiteral("orbel-export: ") + folders.error);
            return exit_code::Refused;
        }
    }
    ExportBuild build = BuildForExport(*parsed.options);
    if (build.badSet) return orbel::command_line::RefuseUsage(*build.badSet, ExportProgram());
    for (const QString& notice : build.notices)
        PrintError(notice);
    if (build.refusal) {
        PrintError(QString::fromStdString(*build.refusal));
        return exit_code::Refused;
    }
    QByteArray bytes;
    if (!parsed.options->scoreFile.isEmpty()) {
        const ScoreReport report = ScoreFile(build, parsed.options->midi, parsed.options->repeatsGiven,
                                             parsed.options->scoreFile, parsed.options->scoring);
        for (const QString& notice : report.notices)
            PrintError(notice);
        if (!report.json) {
            PrintError(report.error);
            return exit_code::Refused;
        }
        bytes = *report.json;
    } else if (IsPicture(parsed.options->format)) {
        const QString folder = parsed.options->home.isEmpty() ? orbel::ProgramFolder() : parsed.options->home;
        if (!InstallStaffFonts(folder))
            PrintError(QStringLiteral("the music font ZEPHMUSIC.ttf is missing from %1").arg(folder));
        const StaffPicture picture =
            RenderStaffPicture(build, parsed.options->format, parsed.options->allKeys);
        for (const QString& notice : picture.notices)
            PrintError(notice);
        if (picture.bytes.isEmpty()) {
            PrintError(QStringLiteral("the item has no staff to draw"));
            return exit_code::Refused;
        }
        bytes = picture.bytes;
    } else if (parsed.options->format == Format::MusicXml) {
        const MusicXml score = WriteMusicXml(build, parsed.options->allKeys);
        for (const QString& notice : score.notices)
            PrintError(notice);
        bytes = score.bytes;
    } else if (parsed.options->format == Format::Midi) {
        const RenderedMidi midi = RenderPlay(build, parsed.options->midi);
        for (const QString& notice : midi.notices)
            PrintError(notice);
        bytes = MidiFileBytes(midi);
    } else {
        bytes = SequenceJson(build);
    }
    const QString output = parsed.options->output.isEmpty()
                               ? QString::fromLatin1(orbel::named_output::StandardOutput)
                               : parsed.options->output;
    if (const std::optional<QString> problem = orbel::WriteNamedOutput(output, bytes)) {
        PrintError(QStringLiteral("orbel-export: cannot write %1").arg(*problem));
        return exit_code::CannotWrite;
    }
    return exit_code::Ok;
}
