// orbel-export: writes one study item, built exactly as the trainer builds it.

#include "export_build.h"
#include "export_options.h"
#include "json_writer.h"
#include "midi_render.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace {

namespace exit_code {
static constexpr int Ok = 0;
static constexpr int CannotWrite = 1;
static constexpr int Refused = 2;
static constexpr int Usage = 64;
} // namespace exit_code

void PrintError(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}

bool WriteOutput(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty() || path == QLatin1String("-")) {
        return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) ==
                   static_cast<std::size_t>(bytes.size()) &&
               std::fflush(stdout) == 0;
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    using namespace orbel::exporter;

    const ParsedOptions parsed = ParseExportOptions(QCoreApplication::arguments());
    if (!parsed.options) {
        PrintError(parsed.error);
        PrintError(UsageLine());
        return exit_code::Usage;
    }
    ExportBuild build = BuildForExport(*parsed.options);
    if (build.badSet) {
        PrintError(*build.badSet);
        PrintError(UsageLine());
        return exit_code::Usage;
    }
    for (const QString& notice : build.notices)
        PrintError(notice);
    if (build.refusal) {
        PrintError(QString::fromStdString(*build.refusal));
        return exit_code::Refused;
    }
    QByteArray bytes;
    if (parsed.options->format == Format::Midi) {
        const RenderedMidi midi = RenderPlay(build, parsed.options->midi);
        for (const QString& notice : midi.notices)
            PrintError(notice);
        bytes = MidiFileBytes(midi);
    } else {
        bytes = SequenceJson(build);
    }
    if (!WriteOutput(parsed.options->output, bytes)) {
        PrintError(QStringLiteral("cannot write %1").arg(parsed.options->output));
        return exit_code::CannotWrite;
    }
    return exit_code::Ok;
}
