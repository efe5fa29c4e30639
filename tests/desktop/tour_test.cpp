// The tour with the factory settings, chapter by chapter: each ends with nothing sounding, and the chapters
// that change the root end in the key their text names.

#include "desktop/desktop.h"
#include "desktop/sink_recorder.h"
#include "desktop/trainer_run.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace orbel::desktop {
namespace {

using namespace std::chrono_literals;

constexpr int Chapters = 5;
constexpr int NoteOnMelody = 0x90;
constexpr int ChimeNotes = 2;
// Quiet enough to count as nothing sounding: well under a note's decay.
constexpr double Silent = 0.005;

bool Enabled(const TrainerRun& trainer, const char* name) {
    const auto c = trainer.control(QString::fromLatin1(name), 100ms);
    return c && !c->state.contains(QStringLiteral("disabled"));
}

// The melody's pitches sent from `from` on, without the chime that closes a chapter.
std::vector<int> MelodyAfter(const std::vector<LoggedMessage>& log, std::size_t from) {
    std::vector<int> out;
    for (std::size_t i = from; i < log.size(); ++i)
        if (log[i].status == NoteOnMelody && log[i].data2 > 0) out.push_back(log[i].data1);
    out.resize(out.size() >= ChimeNotes ? out.size() - ChimeNotes : 0);
    return out;
}

TEST(Tour, EveryChapterEndsSilentInTheKeyItNames) {
    Desktop desktop(1920, 1080);
    ASSERT_TRUE(desktop.ready()) << desktop.problem();
    // The factory settings (繰り返す on) but a fast tempo, and the explanations hurried: the suite's time.
    TrainerRun trainer(desktop, TrainerStart{{"Tempo=300"}, {"ORBEL_TOUR_PACE=0.1"}, false});
    ASSERT_TRUE(trainer.started());
    SinkRecorder recorder(desktop);
    ASSERT_TRUE(trainer.menu(QStringLiteral("mnu_file"), QStringLiteral("mmu_demo")));
    // The key each chapter's last words name, as the pitch classes of what it played last.
    const std::map<int, std::set<int>> keys{{2, {7, 9, 11, 0, 2, 4, 6}}, // Ｇメジャースケール
                                            {3, {2, 6, 9, 1}}};          // Ｄメジャー７
    for (int chapter = 1; chapter <= Chapters; ++chapter) {
        SCOPED_TRACE("chapter " + std::to_string(chapter));
        const std::size_t logBefore = trainer.midiLog().size();
        ASSERT_TRUE(trainer.clickWhenEnabled(QStringLiteral("frmIntroduce/Command3"), 20s));
        // Running: its buttons wait until the chapter and its chime are over.
        std::this_thread::sleep_for(500ms);
        const auto end = std::chrono::steady_clock::now() + 120s;
        while (!Enabled(trainer, "frmIntroduce/Command4") && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(200ms);
        ASSERT_TRUE(Enabled(trainer, "frmIntroduce/Command4")) << "the chapter did not end";
        std::this_thread::sleep_for(1200ms); // the chime's tail
        const auto quietFrom = SinkRecorder::Clock::now();
        std::this_thread::sleep_for(800ms);
        EXPECT_LT(recorder.peakBetween(quietFrom, SinkRecorder::Clock::now()), Silent)
            << "something still sounds";
        EXPECT_TRUE(Enabled(trainer, "frmMain/Command5")) << "the music still plays";
        if (const auto key = keys.find(chapter); key != keys.end()) {
            const std::vector<int> melody = MelodyAfter(trainer.midiLog(), logBefore);
            ASSERT_GE(melody.size(), 4U);
            for (auto it = melody.end() - 4; it != melody.end(); ++it)
                EXPECT_TRUE(key->second.count(*it % 12)) << "pitch " << *it << " is not in the named key";
        }
        desktop.screenshot(("tour-chapter-" + std::to_string(chapter)).c_str());
    }
}

} // namespace
} // namespace orbel::desktop
