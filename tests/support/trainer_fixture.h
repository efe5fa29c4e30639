#pragma once
// The trainer as the window tests drive it: a program folder of its own with the factory files, the
// settings written as cfg.infdat, MIDI going to a recorder stamped on a clock that moves only while the
// player waits, and the player on its thread. Hooks that act "while playing" run on the player's thread in
// its waits; onUi() carries what they do to the window's thread, as a user's click would arrive there.

#include "app/settings_file.h"
#include "sound/deadline_clock.h"
#include "sound/midi_output.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"
#include "ui/main_mod.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace orbel::testing {

// One message as the recorder kept it.
struct Sent {
    std::int64_t micros;
    int status, data1, data2;
    std::optional<std::int64_t> dueMicros;
};

// Named tests on the messages.
inline bool IsNoteOn(const Sent& m, int channel) {
    return m.status == midi_bytes::NoteOn + channel && m.data2 > 0;
}
inline bool IsCountIn(const Sent& m) {
    return m.status == midi_bytes::NoteOn + midi_bytes::PercussionChannel && m.data1 == 0x44 && m.data2 > 0;
}
inline bool IsClick(const Sent& m, int key = 33) {
    return m.status == midi_bytes::NoteOn + midi_bytes::PercussionChannel && m.data1 == key && m.data2 > 0;
}
inline bool IsAllNotesOff(const Sent& m, int channel) {
    return m.status == midi_bytes::ControlChange + channel && m.data1 == midi_bytes::ControllerAllNotesOff;
}

// After the last note-on of the melody, chords and bass comes an all-notes-off on the same channel.
inline void ExpectNothingLeftSounding(const std::vector<Sent>& all) {
    for (int channel : {0, 1, 2}) {
        const auto lastOn =
            std::find_if(all.rbegin(), all.rend(), [channel](const Sent& m) { return IsNoteOn(m, channel); });
        const auto lastOff = std::find_if(all.rbegin(), all.rend(),
                                          [channel](const Sent& m) { return IsAllNotesOff(m, channel); });
        if (lastOn == all.rend()) continue; // nothing sounded on it
        EXPECT_TRUE(lastOff < lastOn) << "channel " << channel << " left sounding";
    }
}

class TrainerFixture : public ::testing::Test {
protected:
    // The demonstration is offered only where a test asks for it.
    TrainerFixture() { settings.HideDemoOffer = 1; }
    // The files copied from the built program folder.
    void copyFiles(std::initializer_list<const char*> names) {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : names)
            QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/") + QLatin1String(name), path(name));
    }
    void TearDown() override {
        if (!trainer) return;
        prompter.defaultAnswer = true;
        trainer->window->close();
        trainer.reset();
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    // Writes settings into cfg.infdat and starts the trainer.
    void start() {
        QFile cfg(path("cfg.infdat"));
        ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
        StoreUserFilePath(settings);
        cfg.write(EncodeSettingsRecord(settings));
        cfg.close();
        auto manual = std::make_unique<ManualClock>();
        clock = manual.get();
        auto output = std::make_unique<RecordingOutput>([this] { return Micros(clock->peek()); });
        midi = output.get();
        trainer = Main(folder.path(), prompter, std::move(output), std::move(manual), std::move(input));
        ASSERT_TRUE(trainer);
    }

    template <typename T> T* find(const char* name) {
        T* widget = trainer->window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    // Runs act on the window's thread and waits for it (from a hook on the player's thread).
    void onUi(const std::function<void()>& act) {
        QMetaObject::invokeMethod(trainer->window.get(), act, Qt::BlockingQueuedConnection);
    }
    // Lets the window's thread run act when it comes to it; the player goes on meanwhile.
    void laterOnUi(std::function<void()> act) {
        QMetaObject::invokeMethod(trainer->window.get(), std::move(act), Qt::QueuedConnection);
    }
    // Waits until the player's action has ended and the window has heard everything it said.
    void waitIdle() {
        for (int i = 0; i < 20000 && trainer->player->busy(); ++i)
            QTest::qWait(1);
        EXPECT_FALSE(trainer->player->busy()) << "the player did not come to an end";
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    // Presses the stop button from the player's wait once the clock passes the given time after now.
    void stopAfter(std::chrono::milliseconds after) {
        const auto at = clock->peek() + after;
        clock->setOnWake([this, at, done = false]() mutable {
            if (done || clock->peek() < at) return;
            done = true;
            onUi([this] {
                if (find<QPushButton>("Command9")->isEnabled()) find<QPushButton>("Command9")->click();
            });
        });
    }

    std::vector<Sent> sent() const {
        std::vector<Sent> out;
        for (const RecordingOutput::Record& r : midi->records())
            out.push_back(
                {r.micros, StatusOf(r.message), Data1Of(r.message), Data2Of(r.message), r.dueMicros});
        return out;
    }
    static std::int64_t Micros(DeadlineClock::TimePoint at) {
        return std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()).count();
    }

    QTemporaryDir folder;
    Settings settings;
    RecordingPrompter prompter;
    RecordingOutput* midi = nullptr;
    ManualClock* clock = nullptr;
    std::unique_ptr<Trainer> trainer;
    std::unique_ptr<MidiInput> input; // the MIDI keyboard's side; the sequencer's when not set
};

} // namespace orbel::testing
