// Dialogs, message boxes and the desktop's helpers as a user meets them: in Japanese, and a failure of the
// desktop's opener told in the program's words.

#include "desktop/desktop.h"
#include "desktop/sink_recorder.h"
#include "desktop/trainer_run.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace orbel::desktop {
namespace {

using namespace std::chrono_literals;

// What Qt's dialogs say when its translations are not loaded.
const QStringList English{
    QStringLiteral("Open"),     QStringLiteral("&Open"),        QStringLiteral("Cancel"),
    QStringLiteral("Look in:"), QStringLiteral("File name:"),   QStringLiteral("Files of type:"),
    QStringLiteral("&Yes"),     QStringLiteral("&No"),          QStringLiteral("Select Color"),
    QStringLiteral("&OK"),      QStringLiteral("&Basic colors")};

// A window other than those already there, once it shows (within a few seconds).
std::optional<QString> NewWindow(const TrainerRun& trainer, const QStringList& before) {
    for (int i = 0; i < 120; ++i) {
        for (const QString& w : trainer.windows())
            if (!before.contains(w)) return w;
        std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(desktop.ready()) << desktop.problem(); }
    Desktop desktop{1920, 1080};
};

TEST_F(Dialogs, StandardDialogsAndBoxesSpeakJapanese) {
    TrainerRun trainer(desktop);
    ASSERT_TRUE(trainer.started());
    struct Opening {
        const char* what;
        std::function<bool()> open;
    };
    const std::vector<Opening> openings{
        {"file chooser",
         [&] { return trainer.menu(QStringLiteral("mnu_file"), QStringLiteral("mnu_OpenDf")); }},
        {"yes/no box",
         [&] { return trainer.menu(QStringLiteral("mnu_file"), QStringLiteral("mmu_file_reset")); }},
        {"colour chooser",
         [&] {
             return trainer.menu(QStringLiteral("mnu_settei"), QStringLiteral("mnu_settei_color")) &&
                    trainer.click(QStringLiteral("frmColset/Picture1_0"));
         }},
    };
    for (const Opening& o : openings) {
        SCOPED_TRACE(o.what);
        const QStringList before = trainer.windows();
        ASSERT_TRUE(o.open());
        std::optional<QString> shown = NewWindow(trainer, before);
        // The colour chooser opens over the colour window.
        if (shown && *shown == QStringLiteral("frmColset")) shown = NewWindow(trainer, trainer.windows());
        ASSERT_TRUE(shown.has_value());
        std::this_thread::sleep_for(300ms);
        const QStringList captions = trainer.captions(*shown);
        for (const QString& c : captions)
            EXPECT_FALSE(English.contains(c)) << qPrintable(*shown) << " says \"" << qPrintable(c) << "\"";
        desktop.screenshot((std::string("dialog-") + o.what).c_str());
        desktop.key("Escape");
        std::this_thread::sleep_for(300ms);
        if (trainer.windows().contains(QStringLiteral("frmColset"))) desktop.key("Escape");
    }
}

TEST_F(Dialogs, AFailingOpenerIsToldInTheProgramsWords) {
    // The desktop's opener, failing as xdg-open does when no program is set for a file.
    QTemporaryDir bin;
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nexit 3\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TrainerRun trainer(
        desktop,
        TrainerStart{{}, {"PATH=" + bin.path().toStdString() + ":" + qgetenv("PATH").toStdString()}});
    ASSERT_TRUE(trainer.started());
    struct Opening {
        const char* what;
        std::function<void()> open;
    };
    const std::vector<Opening> openings{
        {"edit menu",
         [&] { trainer.menu(QStringLiteral("mnu_edit"), QStringLiteral("mnu_edit_seting_file_0")); }},
        {"F1", [&] { desktop.key("F1"); }},
    };
    for (const Opening& o : openings) {
        SCOPED_TRACE(o.what);
        const QStringList before = trainer.windows();
        o.open();
        const std::optional<QString> shown = NewWindow(trainer, before);
        ASSERT_TRUE(shown.has_value()) << "nothing was said";
        desktop.screenshot((std::string("opener-") + o.what).c_str());
        desktop.key("Return");
        std::this_thread::sleep_for(300ms);
    }
}

TEST_F(Dialogs, AFirstStartWithoutSettingsSoundsAndLooksAsFromTheFactory) {
    TrainerRun factory(desktop);
    ASSERT_TRUE(factory.started());
    std::this_thread::sleep_for(500ms);
    const QRect views = factory.control(QStringLiteral("frmMain/Surface"))->rect;
    const QImage expected = desktop.screenshot().copy(views);
    factory.quit();
    TrainerRun first(desktop, TrainerStart{{}, {}, true});
    ASSERT_TRUE(first.started());
    // A first start offers the tour; it is declined.
    ASSERT_TRUE(first.clickWhenEnabled(QStringLiteral("frmIntroduce/Command4"), 10s));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(desktop.screenshot("first-start").copy(views) == expected) << "the views differ";
    SinkRecorder recorder(desktop);
    const auto pressed = SinkRecorder::Clock::now();
    ASSERT_TRUE(first.click(QStringLiteral("frmMain/Command8")));
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(recorder.firstSoundAfter(pressed).has_value()) << "the reference tone was silent";
}

} // namespace
} // namespace orbel::desktop
