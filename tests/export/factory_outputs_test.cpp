// Every factory item as orbel-export writes it (the sequence, the MIDI file, the staff's picture, the
// MusicXML score), held against the digests of what it wrote before: a change to the program's insides
// that should leave the music alone must leave every byte of these alone.
//
// To take a change of output that is meant: ORBEL_WRITE_FACTORY_OUTPUTS=1 runs the case once and
// rewrites factory_outputs.txt beside this file.

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

const char* const Digests = ORBEL_TEST_SOURCE_DIR "/export/factory_outputs.txt";
constexpr int Studies = 4; // scales, chords, II–V–I patterns, II–V–I phrases
constexpr const char* Formats[] = {"json", "mid", "png", "musicxml"};
constexpr int MostItems = 200;

struct Run {
    QString key; // "study item format"
    std::unique_ptr<QProcess> process;
};

QString ProgramFile(const char* name) {
    return QStringLiteral(ORBEL_PROGRAM_DIR "/") + QString::fromLatin1(name);
}

// Runs orbel-export for every item of every study in every format, a few at a time; the digest of each
// output that was written, by "study item format". A study ends at its first refused item.
std::map<QString, QString> WriteEverything(const QString& home) {
    std::map<QString, QString> digests;
    const int atOnce = static_cast<int>(std::max(2U, std::thread::hardware_concurrency()));
    for (int study = 0; study < Studies; ++study) {
        bool refused = false;
        for (int first = 0; first < MostItems && !refused; first += atOnce) {
            std::vector<Run> runs;
            for (int item = first; item < first + atOnce; ++item) {
                for (const char* format : Formats) {
                    Run run{QStringLiteral("%1 %2 %3").arg(study).arg(item).arg(QLatin1String(format)),
                            std::make_unique<QProcess>()};
                    QStringList arguments{"--home",   home,
                                          "--study",  QString::number(study),
                                          "--item",   QString::number(item),
                                          "--format", QLatin1String(format)};
                    // The accompaniment's draws, fixed.
                    if (run.key.endsWith(QLatin1String("mid")))
                        arguments << "--seed"
                                  << "1";
                    run.process->start(ProgramFile("orbel-export"), arguments);
                    runs.push_back(std::move(run));
                }
            }
            for (Run& run : runs) {
                EXPECT_TRUE(run.process->waitForFinished(60000)) << qPrintable(run.key);
                if (run.process->exitCode() != 0) {
                    // Past the study's last item every format is refused; a refused format of an item
                    // that exists shows as a digest missing below.
                    refused = refused || run.key.endsWith(QLatin1String("json"));
                    continue;
                }
                digests[run.key] = QString::fromLatin1(
                    QCryptographicHash::hash(run.process->readAllStandardOutput(), QCryptographicHash::Sha256)
                        .toHex());
            }
        }
    }
    return digests;
}

std::map<QString, QString> ReadDigests() {
    std::map<QString, QString> digests;
    QFile file(QString::fromLatin1(Digests));
    if (!file.open(QIODevice::ReadOnly)) return digests;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
        if (space > 0) digests[line.left(space)] = line.mid(space + 1);
    }
    return digests;
}

TEST(FactoryOutputs, EveryItemWritesTheBytesItWroteBefore) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QFile::copy(ProgramFile("cfg_org.infdat"), home.filePath("cfg.infdat")));
    for (const char* name : {"scale.txt", "code.txt", "ptn.txt", "ric.txt", "ZEPHMUSIC.ttf"})
        ASSERT_TRUE(QFile::copy(ProgramFile(name), home.filePath(QString::fromLatin1(name))));

    const std::map<QString, QString> written = WriteEverything(home.path());
    if (qEnvironmentVariableIsSet("ORBEL_WRITE_FACTORY_OUTPUTS")) {
        QFile file(QString::fromLatin1(Digests));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QTextStream out(&file);
        for (const auto& [key, digest] : written)
            out << key << ' ' << digest << '\n';
        GTEST_SKIP() << "wrote " << written.size() << " digests";
    }
    const std::map<QString, QString> before = ReadDigests();
    ASSERT_FALSE(before.empty()) << Digests;
    for (const auto& [key, digest] : before) {
        const auto now = written.find(key);
        if (now == written.end()) {
            ADD_FAILURE() << qPrintable(key) << ": no longer written";
        } else {
            EXPECT_EQ(now->second, digest) << qPrintable(key);
        }
    }
    EXPECT_EQ(written.size(), before.size()) << "items written now that were not before";
}

} // namespace
