#include "app/settings_file.h"

#include "support/recording_prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace orbel {
namespace {

static const QString UnexpectedError = QStringLiteral("予期しないエラー発生");

void PutInt16(QByteArray& bytes, int offset, std::int16_t value) {
    qToLittleEndian(value, bytes.data() + offset);
}
void PutUInt32(QByteArray& bytes, int offset, std::uint32_t value) {
    qToLittleEndian(value, bytes.data() + offset);
}

QByteArray RandomBytes(unsigned seed, qsizetype size) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(byte(random));
    return bytes;
}

// A record that obeys every load rule.
Settings Sane(Settings s) {
    ApplyLoadRules(s);
    return s;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString cfgPath() const { return dir.filePath(QStringLiteral("cfg.infdat")); }
    void writeCfg(const QByteArray& bytes) const {
        QFile file(cfgPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray readCfg() const {
        QFile file(cfgPath());
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }
    // Loads and returns the mode the load ended in.
    int load(Settings& s, const QString& folder = {}) {
        int mode = settings_file::LoadMode;
        SettingsFileIO(mode, s, folder.isEmpty() ? dir.path() : folder, prompter);
        return mode;
    }
    void save(Settings& s, const QString& folder = {}) {
        int mode = settings_file::SaveMode;
        SettingsFileIO(mode, s, folder.isEmpty() ? dir.path() : folder, prompter);
    }

    QTemporaryDir dir;
    testing::RecordingPrompter prompter;
};

TEST(SettingsRecord, FieldsSitAtTheirOffsets) {
    QByteArray bytes(settings_file::RecordBytes, '\0');
    bytes.replace(0, 4, "/a/b");
    PutInt16(bytes, 130, 5);           // RootKey
    PutInt16(bytes, 142, 3);           // StudyType
    PutInt16(bytes, 146, 4);           // IIVIMode(1)
    PutUInt32(bytes, 148, 0x00112233); // swatch 0
    PutUInt32(bytes, 168, 0x00666666); // swatch 6 comes before 5
    PutUInt32(bytes, 172, 0x00555555); // swatch 5
    PutUInt32(bytes, 196, 0xDEADBEEF); // last reserved int32 of 17–22
    PutInt16(bytes, 200, 120);         // Tempo
    PutInt16(bytes, 240, 7);           // StudyItem(0)
    PutInt16(bytes, 260, -3);          // StudyItem(10)
    PutInt16(bytes, 262, 9);           // ClickSound
    PutInt16(bytes, 276, 101);         // BassVolume
    PutInt16(bytes, 286, 77);          // reserved 56
    PutUInt32(bytes, 288, std::bit_cast<std::uint32_t>(12.5F));
    PutUInt32(bytes, 312, 0x01020304); // last reserved int32 of 58–63

    const std::optional<Settings> s = DecodeSettingsRecord(bytes);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(std::string(s->UserFileField.data(), 4), "/a/b");
    EXPECT_EQ(s->RootKey, 5);
    EXPECT_EQ(s->StudyType, 3);
    EXPECT_EQ(s->IIVIMode[1], 4);
    EXPECT_EQ(s->ViewColour[0], 0x00112233U);
    EXPECT_EQ(s->ViewColour[5], 0x00555555U);
    EXPECT_EQ(s->ViewColour[6], 0x00666666U);
    EXPECT_EQ(s->Reserved17[5], static_cast<std::int32_t>(0xDEADBEEF));
    EXPECT_EQ(s->Tempo, 120);
    EXPECT_EQ(s->StudyItem[0], 7);
    EXPECT_EQ(s->StudyItem[10], -3);
    EXPECT_EQ(s->ClickSound, 9);
    EXPECT_EQ(s->BassVolume, 101);
    EXPECT_EQ(s->Reserved56, 77);
    EXPECT_EQ(s->Reserved57, 12.5F);
    EXPECT_EQ(s->Reserved58[5], 0x01020304);
    EXPECT_EQ(EncodeSettingsRecord(*s), bytes);
}

TEST(SettingsRecord, EveryByteRoundTripsIncludingNaNFloats) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        QByteArray bytes = RandomBytes(seed, settings_file::RecordBytes);
        if (seed == 1) PutUInt32(bytes, 288, 0x7FC00123); // a NaN with a payload
        if (seed == 2) PutUInt32(bytes, 288, 0xFF800001); // a signalling NaN
        const std::optional<Settings> s = DecodeSettingsRecord(bytes);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(EncodeSettingsRecord(*s), bytes) << "seed " << seed;
    }
    EXPECT_FALSE(DecodeSettingsRecord(QByteArray(315, '\0')).has_value());
    EXPECT_FALSE(DecodeSettingsRecord(QByteArray(317, '\0')).has_value());
}

TEST(SettingsRecord, UserFilePathIsStoredWholeCharactersOnly) {
    Settings s;
    s.UserFilePath = "/home/ユーザー/フレーズ.txt";
    StoreUserFilePath(s);
    EXPECT_EQ(UserFilePathFromField(s), s.UserFilePath);
    EXPECT_EQ(s.UserFileField.back(), ' ');

    // 2 + 66 × 3 = 200 bytes: 130 bytes would end inside the 43rd あ, so only 42 are kept.
    std::string longPath = "/a";
    for (int i = 0; i < 66; ++i)
        longPath += "あ";
    s.UserFilePath = longPath;
    StoreUserFilePath(s);
    EXPECT_EQ(UserFilePathFromField(s), longPath.substr(0, 2 + 42 * 3));
    EXPECT_EQ(std::string(s.UserFileField.end() - 2, s.UserFileField.end()), "  ");

    // A field written by the Windows program: CP932, blank padded.
    s.UserFileField.fill(' ');
    const char cp932[] = "C:\\\x83t\x83\x8C\x81[\x83Y.txt"; // C:\フレーズ.txt
    std::copy(cp932, cp932 + sizeof cp932 - 1, s.UserFileField.begin());
    EXPECT_EQ(UserFilePathFromField(s), "C:\\フレーズ.txt");
}

TEST_F(SettingsFileTest, LoadRulesPullFieldsIntoRange) {
    struct Case {
        const char* what;
        int offset;
        std::int16_t stored;
        std::function<std::int16_t(const Settings&)> field;
        std::int16_t loaded;
    };
    const Case cases[] = {
        {"RootKey", 130, 15, [](const Settings& s) { return s.RootKey; }, 11},
        {"RootKey", 130, -1, [](const Settings& s) { return s.RootKey; }, 0},
        {"TransposeSemitones", 134, -21, [](const Settings& s) { return s.TransposeSemitones; }, -20},
        {"TransposeSemitones", 134, 3, [](const Settings& s) { return s.TransposeSemitones; }, 3},
        {"MelodyProgram", 136, 35, [](const Settings& s) { return s.MelodyProgram; }, 35},
        {"MelodyProgram", 136, 42, [](const Settings& s) { return s.MelodyProgram; }, 41},
        {"MelodyProgram", 136, 0, [](const Settings& s) { return s.MelodyProgram; }, 1},
        {"PitchBaseC", 140, 121, [](const Settings& s) { return s.PitchBaseC; }, 120},
        {"StudyType", 142, 9, [](const Settings& s) { return s.StudyType; }, 4},
        {"RepeatCount", 210, 0, [](const Settings& s) { return s.RepeatCount; }, 1},
        {"RepeatCount", 210, 1000, [](const Settings& s) { return s.RepeatCount; }, 100},
        {"RangeHigh", 226, 72, [](const Settings& s) { return s.RangeHigh; }, 71},
        {"RangeLow", 228, -5, [](const Settings& s) { return s.RangeLow; }, 1},
        {"Reserved27", 208, 7, [](const Settings& s) { return s.Reserved27; }, 1},
        {"Reserved31", 216, -1, [](const Settings& s) { return s.Reserved31; }, 0},
        {"Reserved52", 278, 5, [](const Settings& s) { return s.Reserved52; }, 0},
        {"Tempo", 200, 20, [](const Settings& s) { return s.Tempo; }, 20}, // the main window's business
    };
    for (const Case& c : cases) {
        QByteArray bytes(settings_file::RecordBytes, '\0');
        PutInt16(bytes, c.offset, c.stored);
        writeCfg(bytes);
        Settings s;
        EXPECT_EQ(load(s), settings_file::LoadMode);
        EXPECT_EQ(c.field(s), c.loaded) << c.what << " stored as " << c.stored;
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SettingsFileTest, ReservedFloatStaysFiniteAndInRange) {
    const std::pair<std::uint32_t, float> cases[] = {
        {std::bit_cast<std::uint32_t>(75.0F), 50.0F},
        {std::bit_cast<std::uint32_t>(-1e30F), -50.0F},
        {0x7F800000, 50.0F}, // +infinity
        {0x7FC00000, 0.0F},  // NaN
        {std::bit_cast<std::uint32_t>(-2.25F), -2.25F},
    };
    for (const auto& [bits, expected] : cases) {
        QByteArray bytes(settings_file::RecordBytes, '\0');
        PutUInt32(bytes, 288, bits);
        writeCfg(bytes);
        Settings s;
        load(s);
        EXPECT_EQ(s.Reserved57, expected) << std::hex << bits;
    }
}

TEST_F(SettingsFileTest, SavingWritesTheRecordThenAppliesTheRules) {
    Settings s = Sane({});
    s.Tempo = 180;
    s.MelodyProgram = 45; // past the end of the instrument list
    s.Reserved31 = 5;
    s.UserFilePath = "/music/phrases.txt";
    StoreUserFilePath(s);
    save(s);
    const QByteArray first = readCfg();
    ASSERT_EQ(first.size(), settings_file::RecordBytes);
    EXPECT_EQ(qFromLittleEndian<std::int16_t>(first.data() + 136), 45);
    EXPECT_EQ(qFromLittleEndian<std::int16_t>(first.data() + 216), 5);
    EXPECT_EQ(s.MelodyProgram, 41);
    EXPECT_EQ(s.Reserved31, 0);

    save(s);
    save(s);
    const QByteArray second = readCfg();
    save(s);
    EXPECT_EQ(readCfg(), second); // two saves without a change: identical bytes

    Settings loaded;
    load(loaded);
    EXPECT_EQ(loaded.MelodyProgram, 41);
    EXPECT_EQ(loaded.Tempo, 180);
    EXPECT_EQ(loaded.UserFilePath, "/music/phrases.txt");
    EXPECT_EQ(loaded, s);
    EXPECT_TRUE(prompter.messages.isEmpty());
    // Nothing but the record is left behind in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("cfg.infdat")});
}

TEST_F(SettingsFileTest, PathWithBlanksAndNulsLoadsBare) {
    QByteArray bytes(settings_file::RecordBytes, '\0');
    bytes.replace(0, 130, QByteArray(130, ' '));
    bytes.replace(3, 15, "/tmp/my rif.txt");
    bytes.replace(18, 6, QByteArray(6, '\0'));
    writeCfg(bytes);
    Settings s;
    load(s);
    EXPECT_EQ(s.UserFilePath, "/tmp/my rif.txt");
    // Field 0 keeps the text as it was read.
    EXPECT_EQ(std::string(s.UserFileField.begin(), s.UserFileField.end()), bytes.first(130).toStdString());
}

TEST_F(SettingsFileTest, MissingFileIsCreatedFromTheMemoryRecord) {
    Settings s; // all zeros, as on a first start
    EXPECT_EQ(load(s), settings_file::SaveMode);
    EXPECT_EQ(readCfg(), QByteArray(settings_file::RecordBytes, '\0'));
    EXPECT_EQ(s.RepeatCount, 1);
    EXPECT_EQ(s.MelodyProgram, 1);
    EXPECT_EQ(s.RangeHigh, 1);
    EXPECT_EQ(s.Reserved27, 1);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SettingsFileTest, FileOfTheWrongLengthIsRewrittenWhole) {
    for (const qsizetype size : {0, 100, 315, 317, 400}) {
        writeCfg(RandomBytes(static_cast<unsigned>(size), size));
        Settings s = Sane({});
        s.Tempo = 140;
        const QByteArray expected = EncodeSettingsRecord(s);
        EXPECT_EQ(load(s), settings_file::SaveMode) << size;
        EXPECT_EQ(readCfg(), expected) << size;
        EXPECT_EQ(s.Tempo, 140);
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SettingsFileTest, RandomRecordsLoadWithinTheRules) {
    for (unsigned seed = 100; seed < 150; ++seed) {
        writeCfg(RandomBytes(seed, settings_file::RecordBytes));
        Settings s;
        load(s);
        EXPECT_EQ(s, Sane(s)) << "seed " << seed;
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SettingsFileTest, OtherFailuresAreReportedOnceAndTheRecordIsKept) {
    Settings before = Sane({});
    before.Tempo = 90;
    before.RootKey = 14;

    // The program folder has vanished: loading turns into a save, which fails.
    Settings s = before;
    const QString gone = dir.filePath(QStringLiteral("gone"));
    load(s, gone);
    EXPECT_EQ(prompter.messages, QStringList{UnexpectedError});
    EXPECT_EQ(s.Tempo, 90);
    EXPECT_EQ(s.RootKey, 11); // the rules still apply

    prompter.messages.clear();
    s = before;
    save(s, gone);
    EXPECT_EQ(prompter.messages, QStringList{UnexpectedError});

    // A folder where the record should be: neither read nor replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cfg.infdat")));
    for (const int mode : {settings_file::LoadMode, settings_file::SaveMode}) {
        prompter.messages.clear();
        s = before;
        int m = mode;
        SettingsFileIO(m, s, dir.path(), prompter);
        EXPECT_EQ(prompter.messages, QStringList{UnexpectedError}) << mode;
        EXPECT_EQ(s.Tempo, 90);
        EXPECT_TRUE(QFileInfo(cfgPath()).isDir());
    }
}

TEST(FactorySettings, ObeyTheLoadRules) {
    QFile file(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "build the orbel_factory_settings target first";
    const std::optional<Settings> factory = DecodeSettingsRecord(file.readAll());
    ASSERT_TRUE(factory.has_value());
    EXPECT_EQ(*factory, Sane(*factory));
    EXPECT_EQ(factory->Tempo, 120);
    EXPECT_EQ(UserFilePathFromField(*factory), "");
    for (const std::int16_t volume :
         {factory->MelodyVolume, factory->ChordVolume, factory->BassVolume, factory->ClickVolume}) {
        EXPECT_GE(volume, 0);
        EXPECT_LE(volume, 127);
    }
}

} // namespace
} // namespace orbel
