#include "app/command_line.h"

#include "app/version.h"

#include <cstdio>

namespace orbel::command_line {

namespace {

void Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QStringList Arguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString Version() {
    return QString::fromLatin1(build_version::Version);
}

std::optional<int> AnswerHelpOrVersion(const QStringList& arguments, const Program& program) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) break;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            QString text = program.name + QStringLiteral(" — ") + program.summary + QLatin1String("\n\n") +
                           program.usage + QLatin1Char('\n');
            if (!program.details.isEmpty()) text += QLatin1Char('\n') + program.details + QLatin1Char('\n');
            Write(stdout, text);
            return Ok;
        }
        if (argument == QLatin1String("--version")) {
            Write(stdout, program.name + QLatin1Char(' ') + Version() + QLatin1Char('\n'));
            return Ok;
        }
    }
    return std::nullopt;
}

int RefuseUsage(const QString& problem, const Program& program) {
    Write(stderr, program.name + QLatin1String(": ") + problem + QLatin1Char('\n') + program.usage +
                      QLatin1String("\nTry '") + program.name + QLatin1String(" --help' for more.\n"));
    return UsageError;
}

} // namespace orbel::command_line
