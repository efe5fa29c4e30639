#include "export_options.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace orbel::exporter {
namespace {

TEST(ExportOptions, CommandLinesThatCannotBeMetAreRefused) {
    const QString program = QStringLiteral("orbel-export");
    for (const QStringList& bad :
         {QStringList{}, QStringList{"--format", "json"}, QStringList{"--study", "5"},
          QStringList{"--study", "x"}, QStringList{"--study", "0", "--root", "12"},
          QStringList{"--study", "0", "--transpose-to", "-1"}, QStringList{"--study", "0", "--format", "xml"},
          QStringList{"--study", "0", "--frobnicate"}, QStringList{"--study", "0", "extra"},
          QStringList{"--study", "0", "--item", "-3"}}) {
        const ParsedOptions parsed = ParseExportOptions(QStringList{program} + bad);
        EXPECT_FALSE(parsed.options) << bad.join(' ').toStdString();
        EXPECT_FALSE(parsed.error.isEmpty());
    }
    const ParsedOptions good = ParseExportOptions(
        {program, "--study", "3", "--item", "4", "--root", "11", "--octave-shift", "-1", "--transpose-to",
         "2", "--set", "Tempo=90", "--set", "IIVIMode(1)=4", "--format", "json", "-o", "out.json"});
    ASSERT_TRUE(good.options);
    EXPECT_EQ(good.options->study, 3);
    EXPECT_EQ(good.options->item, 4);
    EXPECT_EQ(good.options->root, 11);
    EXPECT_EQ(good.options->octaveShift, -1);
    EXPECT_EQ(good.options->transposeTo, 2);
    EXPECT_EQ(good.options->assignments, (QStringList{"Tempo=90", "IIVIMode(1)=4"}));
    EXPECT_EQ(good.options->output, "out.json");
}

// Runs the real companion on a program folder of its own.
class ExportRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
    void write(const char* name, const QByteArray& text) {
        QFile f(home.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void copyFactory(const char* name) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/") + QString::fromLatin1(name),
                                home.filePath(QString::fromLatin1(name))));
    }
    int run(QStringList arguments) {
        QProcess process;
        process.start(QStringLiteral(ORBEL_PROGRAM_DIR "/orbel-export"),
                      QStringList{"--home", home.path()} + arguments);
        EXPECT_TRUE(process.waitForFinished(20000));
        out = process.readAllStandardOutput();
        err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
    static std::vector<int> Column(const QJsonObject& o, const char* key) {
        std::vector<int> values;
        for (const QJsonValue& n : o[QStringLiteral("notes")].toArray())
            values.push_back(n[QLatin1String(key)].toInt());
        return values;
    }
    QTemporaryDir home;
    QByteArray out;
    QString err;
};

TEST_F(ExportRun, FactoryPatternOneThreeFiveSevenInC) {
    copyFactory("ptn.txt");
    ASSERT_EQ(run({"--study", "2", "--item", "2", "--root", "0", "--format", "json"}), 0)
        << err.toStdString();
    const QJsonObject o = json();
    EXPECT_EQ(o["SeqCount"].toInt(), 16);
    EXPECT_EQ(Column(o, "pitch"),
              (std::vector<int>{26, 29, 33, 36, 31, 35, 38, 41, 24, 28, 31, 35, 24, 28, 31, 35}));
    EXPECT_EQ(Column(o, "dur"), std::vector<int>(16, 24));
    const QJsonArray notes = o["notes"].toArray();
    QStringList chords;
    for (int i = 0; i < notes.size(); ++i) {
        const QString chord = notes[i].toObject()["chord"].toString();
        if (!chord.isEmpty()) chords << QStringLiteral("%1:%2").arg(i).arg(chord);
    }
    EXPECT_EQ(chords, (QStringList{"0:Dm7", "4:G7", "8:CM7", "12:CM7"}));
    EXPECT_EQ(o["BeatsPerBar"].toInt(), 4);
    EXPECT_EQ(o["MajorSpelling"].toInt(), 1);
    EXPECT_TRUE(o["title"].toString().startsWith("C ")) << o["title"].toString().toStdString();
    // The companion only reads its program folder.
    EXPECT_FALSE(QFile::exists(home.filePath("cfg.infdat")));
}

TEST_F(ExportRun, PhraseIsTransposedAsTheRootButtonsDo) {
    write("ric.txt", "$HOT\r\n*Dm7\r\n3D5\r\n3F5\r\n\\\r\n3A5\r\n3C5\r\n");
    ASSERT_EQ(run({"--study", "3", "--item", "0", "--format", "json"}), 0) << err.toStdString();
    EXPECT_EQ(Column(json(), "pitch"), (std::vector<int>{26, 29, 33, 24}));
    EXPECT_EQ(Column(json(), "barStart"), (std::vector<int>{0, 0, 1, 0}));
    EXPECT_EQ(json()["RootKey"].toInt(), 2);
    EXPECT_EQ(json()["MajorSpelling"].toInt(), 0);
    EXPECT_EQ(json()["title"].toString(), "HOT ( D )"); // the key the phrase is written in

    ASSERT_EQ(run({"--study", "3", "--item", "0", "--transpose-to", "4", "--format", "json"}), 0);
    EXPECT_EQ(Column(json(), "pitch"), (std::vector<int>{28, 31, 35, 26}));
    EXPECT_EQ(json()["notes"].toArray()[0].toObject()["chord"].toString(), "Em7");
    EXPECT_EQ(json()["RootKey"].toInt(), 4);
    EXPECT_EQ(json()["title"].toString(), "HOT ( E )");
}

TEST_F(ExportRun, SettingsComeFromTheFolderAndTheCommandLine) {
    copyFactory("ptn.txt");
    ASSERT_EQ(run({"--study", "2", "--item", "2", "--root", "0", "--set", "IIVIMode(1)=4"}), 0);
    // The substitute dominant a semitone above the key root.
    EXPECT_EQ(json()["notes"].toArray()[4].toObject()["chord"].toString(), "Db7");
    EXPECT_EQ(Column(json(), "pitch")[4], 25);

    EXPECT_EQ(run({"--study", "2", "--set", "NoSuchField=1"}), 64);
    EXPECT_TRUE(err.contains("NoSuchField"));
    EXPECT_TRUE(err.contains("usage:"));
}

TEST_F(ExportRun, RefusedItemsAndBadArgumentsGiveTheirStatus) {
    write("ptn.txt", "broken,10\r\n");
    EXPECT_EQ(run({"--study", "2", "--item", "0", "--format", "json"}), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("ファイルの内容が変です。修正してください")))
        << err.toStdString();
    EXPECT_TRUE(out.isEmpty());

    EXPECT_EQ(run({"--study", "2", "--item", "7"}), 2); // no such item
    EXPECT_EQ(run({"--study", "1"}), 2);                // no code.txt: an empty list
    EXPECT_EQ(run({"--study", "9"}), 64);
    EXPECT_TRUE(err.contains("usage:"));
}

// A FIFO in place of a data file or the settings is unreadable at once, never waited on.
TEST_F(ExportRun, AFifoInPlaceOfAFileIsRefusedWithoutWaiting) {
    const std::pair<const char*, int> files[] = {
        {"scale.txt", 0}, {"code.txt", 1}, {"ptn.txt", 2}, {"cfg.infdat", 0}};
    for (const auto& [name, study] : files) {
        SCOPED_TRACE(name);
        for (const char* factory : {"scale.txt", "code.txt", "ptn.txt"})
            if (!QFile::exists(home.filePath(QString::fromLatin1(factory)))) copyFactory(factory);
        QFile::remove(home.filePath(QString::fromLatin1(name)));
        ASSERT_EQ(::mkfifo(home.filePath(QString::fromLatin1(name)).toLocal8Bit().constData(), 0600), 0);
        const int status = run({"--study", QString::number(study), "--format", "json"});
        EXPECT_TRUE(status == 0 || status == 2) << status << err.toStdString();
        QFile::remove(home.filePath(QString::fromLatin1(name)));
    }
}

TEST_F(ExportRun, WritesTheFileNamedByDashO) {
    copyFactory("ptn.txt");
    const QString target = home.filePath("out.json");
    ASSERT_EQ(run({"--study", "2", "--item", "2", "--root", "0", "-o", target}), 0);
    EXPECT_TRUE(out.isEmpty());
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(f.readAll()).object()["SeqCount"].toInt(), 16);
    EXPECT_NE(run({"--study", "2", "--item", "2", "-o", home.filePath("missing/dir/out.json")}), 0);

    // "-" is standard output; a folder is refused and stays as it was.
    ASSERT_EQ(run({"--study", "2", "--item", "2", "-o", "-"}), 0);
    EXPECT_EQ(QJsonDocument::fromJson(out).object()["SeqCount"].toInt(), 16);
    ASSERT_TRUE(QDir(home.path()).mkdir("folder"));
    EXPECT_EQ(run({"--study", "2", "--item", "2", "-o", home.filePath("folder")}), 1);
    EXPECT_TRUE(err.contains("is a folder")) << err.toStdString();
    EXPECT_TRUE(QFileInfo(home.filePath("folder")).isDir());
    // A character device is written into, never replaced by a file (as root, -o /dev/null would have been).
    const QByteArray device = QFile::encodeName(home.filePath("null"));
    if (::mknod(device.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(run({"--study", "2", "--item", "2", "--format", "mid", "-o", home.filePath("null")}), 0);
        struct stat info {};
        ASSERT_EQ(::stat(device.constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
}

// The same phrase twice over: written in octave 3, and written `up` octaves higher.
QByteArray PhrasePair(int up) {
    const QByteArray high = QByteArray::number(3 + up);
    return "$HOT\r\n*Dm7\r\n3D5\r\n3F5\r\n\\\r\n3A5\r\n3C5\r\n\r\n$HOT\r\n*Dm7\r\n" + high + "D5\r\n" + high +
           "F5\r\n\\\r\n" + high + "A5\r\n" + high + "C5\r\n";
}

// What sounds and is drawn, whatever octave shift the notes carry: JSON's pitches with the shift added.
QByteArray Sounding(const QString& format, const QByteArray& bytes) {
    if (format != QLatin1String("json")) return bytes;
    QJsonObject o = QJsonDocument::fromJson(bytes).object();
    const int shift = o[QStringLiteral("OctaveShift")].toInt();
    QJsonArray notes = o[QStringLiteral("notes")].toArray();
    for (QJsonValueRef n : notes) {
        QJsonObject note = n.toObject();
        note[QStringLiteral("pitch")] = note[QStringLiteral("pitch")].toInt() + 12 * shift;
        n = note;
    }
    o[QStringLiteral("notes")] = notes;
    o.remove(QStringLiteral("OctaveShift"));
    return QJsonDocument(o).toJson();
}

// A phrase shifted by octaves comes out as the same phrase written that much higher, in every format; one
// octave past the staff, the trainer's range or the MIDI keys is refused, and nothing is written. The phrase
// spans pitches 24..33: on the staff's 1..71 it moves from -1 to +3 octaves; with C on key 80 its top note
// 33 reaches key 125 one octave up.
TEST_F(ExportRun, OctaveShiftsGoOnlyAsFarAsTheNotesStayPlayable) {
    copyFactory("ZEPHMUSIC.ttf");
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"), home.filePath("cfg.infdat")));
    const struct {
        QStringList settings;
        int shift;
        bool reachable;
    } cases[] = {
        {{}, 3, true},
        {{}, 4, false},
        {{}, -1, true},
        {{}, -2, false},
        {{"--set", "PitchBaseC=80"}, 1, true},
        {{"--set", "PitchBaseC=80"}, 2, false},
        {{"--set", "PitchBaseC=80"}, 11, false},
    };
    const QString shifted = home.filePath("shifted");
    const QString written = home.filePath("written");
    for (const auto& c : cases) {
        write("ric.txt", PhrasePair(c.reachable ? c.shift : 0));
        for (const QString format : {"mid", "musicxml", "png", "json"}) {
            SCOPED_TRACE(
                (format + " " + c.settings.join(' ') + " shift " + QString::number(c.shift)).toStdString());
            QFile::remove(shifted);
            const int status = run(QStringList{"--study", "3", "--item", "0", "--octave-shift",
                                               QString::number(c.shift), "--format", format, "-o", shifted} +
                                   c.settings);
            if (!c.reachable) {
                EXPECT_EQ(status, 2);
                EXPECT_TRUE(err.contains(QStringLiteral("--octave-shift %1 is out of reach").arg(c.shift)))
                    << err.toStdString();
                EXPECT_FALSE(QFile::exists(shifted));
                continue;
            }
            ASSERT_EQ(status, 0) << err.toStdString();
            ASSERT_EQ(run(QStringList{"--study", "3", "--item", "1", "--format", format, "-o", written} +
                          c.settings),
                      0)
                << err.toStdString();
            QFile a(shifted);
            QFile b(written);
            ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            EXPECT_EQ(Sounding(format, a.readAll()), Sounding(format, b.readAll()));
        }
    }
}

// A phrase without a single note is refused alike by every format and by --score, and nothing is written.
TEST_F(ExportRun, APhraseWithoutNotesIsRefusedInEveryFormat) {
    copyFactory("ZEPHMUSIC.ttf");
    write("ric.txt", "$NOTHING\r\n*Dm7\r\n\\\r\n\r\n$HOT\r\n*Dm7\r\n3D5\r\n3F5\r\n");
    const QString played = home.filePath("played.mid");
    ASSERT_EQ(run({"--study", "3", "--item", "1", "--format", "mid", "-o", played}), 0) << err.toStdString();
    const QString target = home.filePath("out");
    for (const QStringList& how : {QStringList{"--format", "json"}, QStringList{"--format", "mid"},
                                   QStringList{"--format", "musicxml"}, QStringList{"--format", "png"},
                                   QStringList{"--score", played}}) {
        SCOPED_TRACE(how.join(' ').toStdString());
        EXPECT_EQ(run(QStringList{"--study", "3", "--item", "0", "-o", target} + how), 2);
        EXPECT_TRUE(err.contains(QStringLiteral("study 3 item 0 has no notes"))) << err.toStdString();
        EXPECT_FALSE(QFile::exists(target));
    }
}

} // namespace
} // namespace orbel::exporter

namespace orbel::exporter {
namespace {

// The staff as a picture: each format's file, a practice sheet that is taller than one key, and a path that
// cannot be written leaving nothing behind.
TEST_F(ExportRun, StaffPicturesInEveryFormat) {
    for (const char* name : {"ric.txt", "ZEPHMUSIC.ttf"})
        copyFactory(name);
    const struct {
        const char* format;
        QByteArray magic;
    } formats[] = {{"png", "\x89PNG"}, {"svg", "<?xml"}, {"pdf", "%PDF"}};
    for (const auto& f : formats) {
        const QString one = home.filePath(QStringLiteral("one.%1").arg(f.format));
        const QString all = home.filePath(QStringLiteral("all.%1").arg(f.format));
        ASSERT_EQ(run({"--study", "3", "--item", "0", "--format", f.format, "-o", one}), 0)
            << err.toStdString();
        ASSERT_EQ(run({"--study", "3", "--item", "0", "--format", f.format, "--all-keys", "-o", all}), 0)
            << err.toStdString();
        QFile a(one);
        QFile b(all);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << f.format;
        EXPECT_TRUE(a.read(f.magic.size()) == f.magic) << f.format;
        EXPECT_GT(b.size(), a.size()) << f.format;
    }
    QImage single(home.filePath("one.png"));
    QImage sheet(home.filePath("all.png"));
    EXPECT_EQ(sheet.width(), single.width());
    EXPECT_GT(sheet.height(), 8 * single.height() / 2);

    const QString blocked = home.filePath(QStringLiteral("missing/folder/x.png"));
    EXPECT_NE(run({"--study", "3", "--item", "0", "--format", "png", "-o", blocked}), 0);
    // One line of ours (the platform may add its own notes about the session).
    EXPECT_EQ(err.count(QStringLiteral("cannot write")), 1) << err.toStdString();
    EXPECT_FALSE(QFile::exists(blocked));
    EXPECT_FALSE(
        ParseExportOptions({"orbel-export", "--study", "0", "--format", "json", "--all-keys"}).options);
}

} // namespace
} // namespace orbel::exporter
