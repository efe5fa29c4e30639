// Every executable answers --help and --version on standard output and refuses what it cannot take with
// the usage on standard error and exit 64, as Unix tools do.

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished Start(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORBEL_PROGRAM_DIR "/") + program, arguments);
    if (!process.waitForFinished(20000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(CommandLine, EveryExecutableHelpsSaysItsVersionAndRefusesWhatItCannotTake) {
    for (const QString program : {"orbel", "orbel-export", "midiselector"}) {
        SCOPED_TRACE(program.toStdString());
        const Finished help = Start(program, {"--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith(program + " — ")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("usage: " + program));

        const Finished version = Start(program, {"--version"});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out.trimmed(), program + " 1.9.9");

        const Finished bogus = Start(program, {"--no-such-option"});
        EXPECT_EQ(bogus.exitCode, 64);
        EXPECT_TRUE(bogus.out.isEmpty());
        EXPECT_TRUE(bogus.err.contains("usage: " + program)) << bogus.err.toStdString();
    }
}

} // namespace
