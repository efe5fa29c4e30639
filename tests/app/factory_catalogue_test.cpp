// Every item the trainer ships must build in every key and treatment without a
// message, fill whole bars and stay inside the playable range.

#include "app/settings_file.h"
#include "app/study_items.h"
#include "theory/prepare_build.h"
#include "theory/vocabulary.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

const QString Factory = QStringLiteral(ORBEL_PROGRAM_DIR);

struct Built {
    std::string where;
    PlaySequence seq;
};

// Builds every item of studyType on every root with the given settings tweak.
template <typename Tweak> std::vector<Built> BuildAll(int studyType, Tweak tweak) {
    Settings settings;
    ApplyLoadRules(settings);
    tweak(settings);
    StudyData data;
    const StudyItems items = LoadStudyItems(studyType, settings, Factory, data);
    EXPECT_TRUE(items.messages.isEmpty()) << items.messages.join('\n').toStdString();
    EXPECT_GT(items.entries.size(), 0) << "study type " << studyType;
    IIVITables tables;
    InitIIVITables(tables);

    std::vector<Built> built;
    for (int item = 0; item < items.entries.size(); ++item) {
        for (int root = 0; root < 12; ++root) {
            settings.StudyType = static_cast<std::int16_t>(studyType);
            settings.StudyItem[static_cast<std::size_t>(studyType)] = static_cast<std::int16_t>(item);
            settings.RootKey = static_cast<std::int16_t>(root);
            tweak(settings);
            Built b;
            b.where = "study " + std::to_string(studyType) + " item " + std::to_string(item) + " root " +
                      std::to_string(root);
            const BuildMessage message =
                BuildSequenceForSelection(b.seq, settings, data.catalogue, data.phrases, tables, false);
            EXPECT_FALSE(message) << b.where << ": " << message.value_or("");
            EXPECT_GT(b.seq.SeqCount, 1) << b.where;
            built.push_back(b);
        }
    }
    return built;
}

void ExpectPlayable(const Built& b) {
    for (int i = 0; i < b.seq.SeqCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        if (b.seq.SeqRest[n]) continue;
        const int sounding = b.seq.SeqPitch[n] + 12 * b.seq.OctaveShift;
        EXPECT_TRUE(sounding >= 1 && sounding <= 71) << b.where << " note " << i << " at " << sounding;
    }
}

void ExpectWholeBars(const Built& b) {
    int ticks = 0;
    for (int i = 0; i < b.seq.SeqCount; ++i)
        ticks += b.seq.SeqDur[static_cast<std::size_t>(i)];
    const int bar = 24 * b.seq.BeatsPerBar;
    EXPECT_EQ(ticks % bar, 0) << b.where << ": " << ticks << " ticks";
}

TEST(FactoryCatalogue, ScalesAndChordsBuildUpAndDownInEveryKey) {
    for (int studyType : {study_type::Scale, study_type::Chord}) {
        for (std::int16_t upDown : {0, 1}) {
            for (const Built& b : BuildAll(studyType, [&](Settings& s) { s.UpDown = upDown; }))
                ExpectPlayable(b);
        }
    }
}

TEST(FactoryCatalogue, PatternsBuildInEveryKeyModeAndTreatment) {
    for (std::int16_t mode : {0, 1}) {
        for (std::int16_t treatment = 0; treatment < 5; ++treatment) {
            for (const Built& b : BuildAll(study_type::IIVIPattern, [&](Settings& s) {
                     s.IIVIMode = {mode, treatment};
                 })) {
                ExpectPlayable(b);
                ExpectWholeBars(b);
            }
        }
    }
}

TEST(FactoryCatalogue, PhrasesFillWholeBarsAndStayPlayable) {
    for (const Built& b : BuildAll(study_type::IIVIPhrase, [](Settings&) {})) {
        ExpectPlayable(b);
        ExpectWholeBars(b);
    }
}

TEST(FactoryCatalogue, PhraseNamesRunInOrder) {
    Settings settings;
    StudyData data;
    LoadStudyItems(study_type::IIVIPhrase, settings, Factory, data);
    ASSERT_GE(data.phrases.count(), 32);
    for (int i = 0; i < data.phrases.count(); ++i) {
        QString name = QString::fromStdString(data.phrases.PhraseNames[static_cast<std::size_t>(i)]);
        name.remove(QStringLiteral("★"));
        EXPECT_EQ(name.trimmed(), QStringLiteral("HOT%1").arg(i + 1));
    }
    int waltzes = 0;
    for (std::int16_t beats : data.phrases.PhraseBeats)
        waltzes += beats == 3;
    EXPECT_GE(waltzes, 2);
}

TEST(FactoryCatalogue, SparePhraseFilesBuildAsUserFiles) {
    for (const char* name : {"AUX1.txt", "AUX2.txt"}) {
        for (const Built& b : BuildAll(study_type::UserPhrase, [&](Settings& s) {
                 s.UserFilePath = (Factory + QLatin1Char('/') + QLatin1String(name)).toStdString();
                 StoreUserFilePath(s);
             })) {
            ExpectPlayable(b);
            ExpectWholeBars(b);
        }
    }
}

} // namespace
} // namespace orbel
