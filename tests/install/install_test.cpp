// The program installed as a distribution would install it: into a temporary DESTDIR, checked file by file
// and by the desktop's own validators; then each user's program folder, seeded from the factory files.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished Start(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORBEL_HOME"));
    for (const QString& key : environment.keys())
        env.insert(key, environment.value(key));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QProcessEnvironment With(const QString& key, const QString& value) {
    QProcessEnvironment env;
    env.insert(key, value);
    return env;
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        destination_ = new QTemporaryDir;
        const Finished install =
            Start(QStringLiteral(ORBEL_CMAKE_COMMAND), {"--install", ORBEL_BUILD_DIR, "--prefix", "/usr"},
                  With("DESTDIR", destination_->path()));
        ASSERT_EQ(install.exitCode, 0) << install.err.toStdString();
    }
    static void TearDownTestSuite() {
        delete destination_;
        destination_ = nullptr;
    }
    static QString root(const QString& path) { return destination_->path() + QStringLiteral("/usr/") + path; }
    // The installed companion, run by a user whose data live in dataHome.
    static Finished exportAs(const QString& dataHome, const QStringList& arguments,
                             const QString& executable = root("bin/orbel-export")) {
        return Start(executable, arguments, With("XDG_DATA_HOME", dataHome));
    }

    static QTemporaryDir* destination_;
};

QTemporaryDir* Installed::destination_ = nullptr;

TEST_F(Installed, TheTreeHasEverythingAndTheDesktopsValidatorsPassIt) {
    for (const char* path : {"bin/orbel",
                             "bin/orbel-export",
                             "bin/midiselector",
                             "share/orbel/scale.txt",
                             "share/orbel/code.txt",
                             "share/orbel/ptn.txt",
                             "share/orbel/ric.txt",
                             "share/orbel/cfg.infdat",
                             "share/orbel/ZEPHMUSIC.ttf",
                             "share/orbel/ZEPHMUSIC-OFL.txt",
                             "share/orbel/help.pdf",
                             "share/applications/org.orbel.Orbel.desktop",
                             "share/metainfo/org.orbel.Orbel.metainfo.xml",
                             "share/icons/hicolor/scalable/apps/org.orbel.Orbel.svg",
                             "share/icons/hicolor/48x48/apps/org.orbel.Orbel.png",
                             "share/icons/hicolor/128x128/apps/org.orbel.Orbel.png",
                             "share/icons/hicolor/256x256/apps/org.orbel.Orbel.png",
                             "share/man/man1/orbel.1",
                             "share/man/man1/orbel-export.1",
                             "share/man/man1/midiselector.1"})
        EXPECT_TRUE(QFile::exists(root(QString::fromLatin1(path)))) << path;
    EXPECT_TRUE(QFileInfo(root("bin/orbel")).isExecutable());

    const Finished desktop =
        Start(QStringLiteral("desktop-file-validate"), {root("share/applications/org.orbel.Orbel.desktop")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out.toStdString() << desktop.err.toStdString();
    EXPECT_FALSE(desktop.out.contains("error")) << desktop.out.toStdString();
    const Finished metainfo =
        Start(QStringLiteral("appstreamcli"),
              {"validate", "--no-net", root("share/metainfo/org.orbel.Orbel.metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out.toStdString() << metainfo.err.toStdString();
}

TEST_F(Installed, EachUserGetsAProgramFolderOfTheirOwnThatKeepsTheirFiles) {
    QTemporaryDir home;
    const Finished first = exportAs(home.path(), {"--study", "3"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QDir folder(home.filePath("orbel"));
    for (const char* name : {"scale.txt", "code.txt", "ptn.txt", "ric.txt", "cfg.infdat"})
        EXPECT_TRUE(folder.exists(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(folder.exists("ZEPHMUSIC.ttf")) << "read where installed, not copied";

    // The user's own phrases stay; a factory file the user lacks (as from a newer release) comes.
    QFile phrases(folder.filePath("ric.txt"));
    ASSERT_TRUE(phrases.open(QIODevice::WriteOnly | QIODevice::Truncate));
    phrases.write("$My line\r\n3C4 3D4 3E4 3F4\r\n");
    phrases.close();
    ASSERT_TRUE(QFile::remove(folder.filePath("code.txt")));
    const Finished second = exportAs(home.path(), {"--study", "3", "--item", "0"});
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.contains("My line")) << second.out.toStdString();
    EXPECT_TRUE(folder.exists("code.txt"));
}

TEST_F(Installed, AFolderThatCannotBeThereIsSaidInOneLine) {
    QTemporaryDir scratch;
    QFile blocker(scratch.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QDir(scratch.path()).mkpath("home");
    QFile asFile(scratch.filePath("home/orbel"));
    ASSERT_TRUE(asFile.open(QIODevice::WriteOnly));
    asFile.close();
    QDir(scratch.path()).mkpath("elsewhere/bin");
    const QString moved = scratch.filePath("elsewhere/bin/orbel-export");
    ASSERT_TRUE(QFile::copy(root("bin/orbel-export"), moved));
    QFile::setPermissions(moved, QFile::permissions(moved) | QFile::ExeOwner);

    const struct {
        const char* name;
        QString dataHome;
        QString executable;
        const char* words;
    } cases[] = {
        {"a data home that cannot be made", scratch.filePath("file/below"), root("bin/orbel-export"),
         "cannot be created"},
        {"a program folder that is a file", scratch.filePath("home"), root("bin/orbel-export"), "is a file"},
        {"no factory files", scratch.filePath("fresh"), moved, "factory files are missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Finished run = exportAs(c.dataHome, {"--study", "0"}, c.executable);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.words))) << run.err.toStdString();
        EXPECT_EQ(run.err.trimmed().count('\n'), 0) << run.err.toStdString();
    }
}

} // namespace
