// orbel-manual: writes the user manual help.pdf from the Markdown chapters and the staff pictures.
//
//   orbel-manual --pictures DIR -o help.pdf chapter.md ...

#include "manual_book.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

namespace {

namespace exit_code {
static constexpr int Ok = 0;
static constexpr int Failed = 1;
static constexpr int Usage = 64;
} // namespace exit_code

void PrintError(const QString& text) {
    const QByteArray bytes = QStringLiteral("orbel-manual: %1\n").arg(text).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}

QString UsageLine() {
    return QStringLiteral("usage: orbel-manual --pictures DIR -o FILE.pdf CHAPTER.md ...");
}

} // namespace

int main(int argc, char** argv) {
    // The manual is set without a display, and its lengths are counted at 96 dots to the inch whatever
    // screen the build machine has.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    const QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption pictures(QStringLiteral("pictures"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("FILE"));
    parser.addOptions({pictures, output});
    if (!parser.parse(QCoreApplication::arguments())) {
        PrintError(parser.errorText());
        PrintError(UsageLine());
        return exit_code::Usage;
    }
    if (!parser.isSet(output) || !parser.isSet(pictures) || parser.positionalArguments().isEmpty()) {
        PrintError(QStringLiteral("the output file, the picture folder and at least one chapter are needed"));
        PrintError(UsageLine());
        return exit_code::Usage;
    }

    const orbel::manual::BookResult book = orbel::manual::WriteBook(
        {parser.positionalArguments(), parser.value(pictures), parser.value(output)});
    if (!book.error.isEmpty()) {
        PrintError(book.error);
        return exit_code::Failed;
    }
    return exit_code::Ok;
}
