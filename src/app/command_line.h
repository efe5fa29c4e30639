#pragma once
// What every executable of the program answers on its command line, as Unix tools do: --help (or -h) prints
// how to use it on standard output, --version its name and version, both exiting with 0 before any window
// or sound is set up; a command line it cannot take is said on standard error with the usage, exit 64.

#include <QString>
#include <QStringList>
#include <optional>

namespace orbel::command_line {

static constexpr int Ok = 0;
static constexpr int UsageError = 64; // EX_USAGE

struct Program {
    QString name;    // as typed: "orbel-export"
    QString summary; // one line
    QString usage;   // the synopsis, "usage: …"
    QString details; // what follows the usage in --help; may be empty
};

// The arguments as given, before any application object takes its own out of them.
QStringList Arguments(int argc, char** argv);

// The program's version, as the build knows it.
QString Version();

// The exit code when arguments ask for --help or --version (answered on standard output), else nothing.
std::optional<int> AnswerHelpOrVersion(const QStringList& arguments, const Program& program);
// Says what is wrong and how to use the program on standard error; returns UsageError.
int RefuseUsage(const QString& problem, const Program& program);

} // namespace orbel::command_line
