// The demonstration tour, run with its waits cut to nothing: it is offered at start-up unless declined,
// each chapter leaves the main window where it took it and ends with the chime, and the fifth starts the
// tour over.

#include "support/trainer_fixture.h"
#include "ui/tour/frm_introduce.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using testing::Sent;

class TourTest : public testing::TrainerFixture {
protected:
    void SetUp() override {
        copyFiles({"ZEPHMUSIC.ttf", "scale.txt", "code.txt", "ptn.txt", "ric.txt", "AUX1.txt"});
        settings.Tempo = 300;
        settings.RepeatCount = 1;
        settings.ShowKeyboard = true;
        settings.PitchBaseC = 36;
        settings.HideDemoOffer = 0;
    }
    frmIntroduce* tour() { return trainer->window->findChild<frmIntroduce*>(QStringLiteral("frmIntroduce")); }
    template <typename T> T* part(const char* name) {
        return tour()->findChild<T*>(QString::fromLatin1(name));
    }
    void finish() {
        for (int i = 0; i < 20000 && (tour()->running() || !part<QPushButton>("Command3")->isEnabled()); ++i)
            QTest::qWait(1);
        ASSERT_FALSE(tour()->running());
    }
    // The concert keys sounded on the melody channel since a point of the record.
    std::vector<int> melodyKeys(std::size_t from) const {
        std::vector<int> keys;
        const std::vector<Sent> all = sent();
        for (std::size_t i = from; i < all.size(); ++i)
            if (testing::IsNoteOn(all[i], 0)) keys.push_back(all[i].data1);
        return keys;
    }
    const Settings& live() { return trainer->state.settings; }
};

TEST_F(TourTest, ChaptersDriveTheWindowAndTheFifthStartsTheTourOver) {
    start();
    ASSERT_NE(tour(), nullptr);
    tour()->setWaitScale(0);
    EXPECT_EQ(part<QLabel>("Label2")->text(), tour_texts::OfferTitle);
    finish();
    EXPECT_EQ(melodyKeys(0), (std::vector<int>{53 + 36, 49 + 36})); // the greeting's chime

    const struct {
        int studyType, root;
        QString nextTitle;
    } chapters[] = {{3, -1, QStringLiteral("次はスケール（音階）の操作方法です")},
                    {0, 7, QStringLiteral("次はコード（和音）の操作方法です")},
                    {1, 2, QStringLiteral("次はⅡⅤⅠのデジタルパターンの操作方法です")},
                    {2, -1, QStringLiteral("次は ⅡⅤⅠ のフレーズ操作方法です")},
                    {3, -1, tour_texts::LastTitle}};
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n + 1);
        const std::size_t from = sent().size();
        part<QPushButton>("Command3")->click();
        EXPECT_TRUE(tour()->running());
        EXPECT_FALSE(part<QPushButton>("Command4")->isEnabled());
        finish();
        waitIdle();
        EXPECT_EQ(live().StudyType, chapters[n].studyType);
        if (chapters[n].root >= 0) {
            EXPECT_EQ(live().RootKey, chapters[n].root);
        }
        EXPECT_EQ(part<QLabel>("Label2")->text(), chapters[n].nextTitle);
        const std::vector<int> keys = melodyKeys(from);
        ASSERT_GE(keys.size(), 2U);
        EXPECT_EQ(std::vector<int>(keys.end() - 2, keys.end()), (std::vector<int>{53 + 36, 49 + 36}));
        EXPECT_TRUE(trainer->window->controls().studyFrame->isVisible());
    }
    EXPECT_EQ(live().IIVIMode[1], 1); // the fourth chapter's treatment stays
    EXPECT_EQ(trainer->window->controls().itemList->currentIndex(), 28);
    EXPECT_EQ(live().SwingOn, 1);
    EXPECT_EQ(live().ClickSound, 9);
    EXPECT_EQ(tour()->focusWidget(), part<QPushButton>("Command4"));
    EXPECT_EQ(tour()->nextChapter(), 1);
    part<QPushButton>("Command3")->click();
    EXPECT_TRUE(tour()->running());
    EXPECT_EQ(part<QLabel>("Label2")->text(), QStringLiteral("一般的な説明"));
}

// With "繰り返す" on, every press of the play button by the tour plays one pass: the chapters that change the
// root play their example once in the key they start in and once in the key their text names, then stop.
TEST_F(TourTest, ItsPlayPressesPlayOnePassWhateverTheRepeatSays) {
    settings.RepeatOn = 1;
    settings.RepeatCount = 4;
    settings.RootProgression = 0; // "半音＋進行"
    settings.CountInOn = settings.MelodyOn = 1;
    start();
    tour()->setWaitScale(0);
    finish();
    part<QPushButton>("Command3")->click(); // the general chapter plays nothing
    finish();
    for (const int named : {7, 2}) { // "Ｇメジャースケール", "Ｄメジャー７"
        SCOPED_TRACE(named);
        const int shift = (named - live().RootKey + 12) % 12;
        const std::size_t from = sent().size();
        part<QPushButton>("Command3")->click();
        finish();
        EXPECT_FALSE(trainer->player->busy());
        EXPECT_EQ(live().RootKey, named);
        EXPECT_TRUE(trainer->window->controls().playButton->isEnabled());
        std::vector<int> keys = melodyKeys(from);
        ASSERT_GE(keys.size(), 2U);
        keys.resize(keys.size() - 2); // the chime
        std::vector<Sent> played = sent();
        std::erase_if(played,
                      [](const Sent& m) { return m.status == 0x90 && (m.data1 == 89 || m.data1 == 85); });
        testing::ExpectNothingLeftSounding(played);
        ASSERT_EQ(keys.size() % 2, 0U);
        const std::size_t pass = keys.size() / 2;
        for (std::size_t i = 0; i < pass; ++i)
            EXPECT_EQ((keys[i] + shift) % 12, keys[pass + i] % 12) << "note " << i;
    }
}

// "次回から表示しない" is kept with the settings: the next start offers no tour, the menu still does.
TEST_F(TourTest, DecliningTheOfferHoldsFromTheNextStart) {
    start();
    ASSERT_NE(tour(), nullptr);
    tour()->setWaitScale(0);
    finish();
    part<QCheckBox>("Check1")->click();
    part<QPushButton>("Command4")->click();
    EXPECT_EQ(live().HideDemoOffer, 1);
    trainer->window->close();
    QFile cfg(path("cfg.infdat"));
    ASSERT_TRUE(cfg.open(QIODevice::ReadOnly));
    const std::optional<Settings> saved = DecodeSettingsRecord(cfg.readAll());
    ASSERT_TRUE(saved);
    settings = *saved;
    trainer.reset();
    start();
    EXPECT_EQ(tour(), nullptr);
    trainer->window->findChild<QAction*>(QStringLiteral("mmu_demo"))->trigger();
    EXPECT_NE(tour(), nullptr);
}

} // namespace
} // namespace orbel
