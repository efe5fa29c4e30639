#include "app/location_file.h"

#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace orbel {
namespace {

class LocationFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        before.StudyType = 1;
        before.UserFilePath = "/old/file.txt";
        StoreUserFilePath(before);
        s = before;
    }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    void writeLocation(const QByteArray& bytes) const { write(QStringLiteral("location.txt"), bytes); }
    bool locationExists() const { return QFileInfo::exists(dir.filePath(QStringLiteral("location.txt"))); }
    bool read() { return ReadLocationFile(s, dir.path()).taken; }
    // Nothing was taken over and location.txt is still there.
    void expectNothingTaken() const {
        EXPECT_EQ(s, before);
        EXPECT_TRUE(locationExists());
    }

    QTemporaryDir dir;
    Settings before;
    Settings s;
};

TEST_F(LocationFileTest, TakesOverANamedFileAndDeletesTheLocationFile) {
    write(QStringLiteral("myphrases.txt"), "x\r\n");
    writeLocation("; comment\r\nfile=myphrases.txt\r\nslct=4\r\n");
    ASSERT_TRUE(read());
    // The line was upper-cased; the name is taken as it is on disk.
    const std::string expected = dir.filePath(QStringLiteral("myphrases.txt")).toStdString();
    EXPECT_EQ(s.UserFilePath, expected);
    EXPECT_EQ(UserFilePathFromField(s), expected);
    EXPECT_EQ(s.StudyType, 4);
    EXPECT_FALSE(locationExists());
    EXPECT_FALSE(read()); // consumed once
}

TEST_F(LocationFileTest, ReadingStopsAtTheStudyTypeLine) {
    write(QStringLiteral("myphrases.txt"), "x");
    writeLocation("SLCT=4\r\nFILE=myphrases.txt\r\n");
    EXPECT_FALSE(read());
    expectNothingTaken();
}

TEST_F(LocationFileTest, MissingTargetChangesNothing) {
    writeLocation("FILE=nothere.txt\r\nSLCT=4\r\n");
    EXPECT_FALSE(read());
    expectNothingTaken();

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    writeLocation("FILE=folder\r\nSLCT=4\r\n"); // a folder is no phrase file
    EXPECT_FALSE(read());
    expectNothingTaken();

    writeLocation("FILE=   \r\nSLCT=4\r\n");
    EXPECT_FALSE(read());
    expectNothingTaken();
}

// Only what the open dialog could choose is taken: anything else that exists is refused in words, and
// neither it nor location.txt is touched.
TEST_F(LocationFileTest, RefusesWhatIsNoPhraseFile) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("docs/folder.txt")));
    write(QStringLiteral("docs/script.sh"), "  indented\n");
    write(QStringLiteral("docs/real.txt"), "$a\n");
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("docs/script.sh")),
                            dir.filePath(QStringLiteral("docs/looks.txt"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("docs/real.txt")),
                            dir.filePath(QStringLiteral("docs/link.txt"))));
    const struct {
        const char* name;
        bool taken;
    } cases[] = {{"docs/script.sh", false},
                 {"docs/folder.txt", false},
                 {"docs/looks.txt", false},
                 {"docs/link.txt", true},
                 {"../../../../../../../../proc/self/status", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s = before;
        const QByteArray location = QByteArray("FILE=") + c.name + "\r\nSLCT=4\r\n";
        writeLocation(location);
        const LocationResult result = ReadLocationFile(s, dir.path());
        EXPECT_EQ(result.taken, c.taken);
        EXPECT_EQ(result.refusal.isEmpty(), c.taken);
        if (!c.taken) {
            EXPECT_TRUE(result.refusal.contains(QStringLiteral("フレーズファイル")))
                << result.refusal.toStdString();
            expectNothingTaken();
        }
    }
    QFile script(dir.filePath(QStringLiteral("docs/script.sh")));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_EQ(script.readAll(), "  indented\n");
}

TEST_F(LocationFileTest, NoLocationFileChangesNothing) {
    EXPECT_FALSE(read());
    EXPECT_EQ(s, before);
    EXPECT_FALSE(ReadLocationFile(s, dir.filePath(QStringLiteral("gone"))).taken);
}

TEST_F(LocationFileTest, CommentsAndLaterLinesAndCaseOfNames) {
    write(QStringLiteral("First.txt"), "x");
    write(QStringLiteral("Second.TXT"), "x");
    write(QStringLiteral("Location.txt"),
          "#FILE=nothere.txt\nfile=first.txt\n'FILE=nothere.txt\n"
          "  File=second.txt  \n;SLCT=1\nSlct=2.5 and more\nFILE=nothere.txt\n");
    ASSERT_TRUE(read());
    EXPECT_EQ(s.UserFilePath, dir.filePath(QStringLiteral("Second.TXT")).toStdString());
    EXPECT_EQ(s.StudyType, 2); // 2.5 rounds to the even neighbour
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Location.txt"))));
}

TEST_F(LocationFileTest, StudyTypeNumbers) {
    const std::pair<const char*, std::int16_t> cases[] = {
        {"FILE=a.txt\nSLCT=3.5\n", 4}, {"FILE=a.txt\nSLCT= 3\n", 3},
        {"FILE=a.txt\n", 0},                                              // no SLCT= line
        {"FILE=a.txt\nSLCT=x\n", 0},                                      // no number
        {"FILE=a.txt\nSLCT=9\n", 4},                                      // past the study-type list
        {"FILE=a.txt\nSLCT=-2\n", 0},  {"FILE=a.txt\nSLCT=1e99999\n", 1}, // the number ends at the "e"
    };
    write(QStringLiteral("a.txt"), "x");
    for (const auto& [text, studyType] : cases) {
        s = before;
        writeLocation(text);
        ASSERT_TRUE(read()) << text;
        EXPECT_EQ(s.StudyType, studyType) << text;
    }
}

TEST_F(LocationFileTest, NamesInSubfoldersAndWindowsSeparators) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Phrases/jazz")));
    write(QStringLiteral("Phrases/jazz/Blues.txt"), "x");
    writeLocation("FILE=phrases\\JAZZ\\blues.txt\r\nSLCT=4\r\n");
    ASSERT_TRUE(read());
    EXPECT_EQ(s.UserFilePath, dir.filePath(QStringLiteral("Phrases/jazz/Blues.txt")).toStdString());
}

TEST_F(LocationFileTest, Cp932LocationFileWithAJapaneseName) {
    write(QStringLiteral("フレーズ.txt"), "x");
    writeLocation("FILE=\x83t\x83\x8C\x81[\x83Y.txt\r\nSLCT=4\r\n"); // フレーズ.txt in CP932
    ASSERT_TRUE(read());
    EXPECT_EQ(s.UserFilePath, dir.filePath(QStringLiteral("フレーズ.txt")).toStdString());
}

TEST_F(LocationFileTest, SurvivesHostileContent) {
    write(QStringLiteral("myphrases.txt"), "x");

    // NUL padding around the name counts as blanks.
    static constexpr char Padded[] = "file=myphrases.txt\0\0\0\r\n\0slct=4\r\n";
    writeLocation(QByteArray(Padded, sizeof Padded - 1));
    ASSERT_TRUE(read());
    EXPECT_EQ(s.StudyType, 4);

    // Bytes that are neither UTF-8 nor CP932 between good lines.
    s = before;
    writeLocation("file=myphrases.txt\r\n\xFF\xFE\x80\x82 junk\r\nslct=3\r\n");
    ASSERT_TRUE(read());
    EXPECT_EQ(s.StudyType, 3);

    // A 10 MB line: a name far too long for any file system.
    s = before;
    writeLocation("FILE=" + QByteArray(10 * 1024 * 1024, 'a') + "\r\nSLCT=4\r\n");
    EXPECT_FALSE(read());
    expectNothingTaken();

    // 10 MB of bytes that are no character at all in either encoding, then of random bytes.
    writeLocation(QByteArray(10 * 1024 * 1024, '\xFF'));
    EXPECT_FALSE(read());
    expectNothingTaken();
    std::mt19937 random(10);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray noise(10 * 1024 * 1024, '\0');
    for (char& b : noise)
        b = static_cast<char>(byte(random));
    writeLocation(noise);
    EXPECT_FALSE(read());
    expectNothingTaken();
}

} // namespace
} // namespace orbel
