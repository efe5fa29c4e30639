#include "ui/main_mod.h"

#include "app/location_file.h"
#include "app/prompter.h"
#include "app/settings_file.h"
#include "datafiles/atomic_save.h"
#include "sound/hi_delay.h"
#include "sound/midi_backend.h"
#include "sound/rtmidi_input.h"
#include "ui/captions.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace orbel {

std::unique_ptr<Trainer> Main(const QString& programFolder, Prompter& prompter,
                              std::unique_ptr<MidiOutput> output, std::unique_ptr<DeadlineClock> clock,
                              std::unique_ptr<MidiInput> input) {
    // What a save of this trainer's own could leave is never older than this.
    const QDateTime started = QDateTime::currentDateTime();
    auto trainer = std::make_unique<Trainer>(programFolder);
    if (!trainer->instance.acquire()) {
        prompter.message(captions::AlreadyRunning, PromptIcon::Exclamation);
        return nullptr;
    }

    // Only this copy of the trainer writes here now: what a killed save left can go.
    RemoveStaleSaves(programFolder, started);
    // Without a cfg.infdat of its own, the trainer starts from the factory record (or, where that is missing
    // too, the factory settings it holds), not from the all-zero record, which plays every part at volume 0
    // and draws in black; the load below makes them the file.
    trainer->state.settings = ReadFactoryRecord(programFolder).value_or(FactorySettings());
    int mode = settings_file::LoadMode;
    SettingsFileIO(mode, trainer->state.settings, programFolder, prompter);
    if (const std::string& user = trainer->state.settings.UserFilePath; !user.empty()) {
        const QString userFolder = QFileInfo(QString::fromStdString(user)).absolutePath();
        if (QDir(userFolder) != QDir(programFolder)) RemoveStaleSaves(userFolder, started);
    }
    if (const LocationResult location = ReadLocationFile(trainer->state.settings, programFolder);
        !location.refusal.isEmpty())
        prompter.message(location.refusal, PromptIcon::Exclamation);

    if (!output) {
        QString problem;
        output = MakeMidiOutput(ReadMidiBackendChoice(programFolder, &problem));
        if (!problem.isEmpty()) prompter.message(problem, PromptIcon::Exclamation);
    }
    trainer->port = std::make_unique<MidiPort>(prompter, std::move(output));
    trainer->midi = std::make_unique<Midi1>(trainer->state.settings, *trainer->port);
    const bool steadyClock = !clock;
    trainer->clock = clock ? std::move(clock) : std::make_unique<SteadyDeadlineClock>();
    MidiPort* port = trainer->port.get();
    DeadlineClock* playerClock = trainer->clock.get();
    trainer->practice = std::make_unique<Practice>(
        programFolder, input ? std::move(input) : std::make_unique<RtMidiInput>(),
        [playerClock] { return playerClock->now(); },
        [port] { return std::chrono::duration_cast<std::chrono::microseconds>(port->outputDelay()); });
    trainer->window = std::make_unique<frmMain>(trainer->state, prompter, *trainer->midi);
    // The window and the views hear of a note when it is heard: the player sends it a little ahead of its
    // due time, and the output plays it its delay after that.
    const NotificationDelay heard = [port] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(HeardAfterSending(port->outputDelay()));
    };
    trainer->events = std::make_unique<QueuedPlayerEvents>(trainer->window->play(), *trainer->window, heard);
    trainer->views = std::make_unique<QueuedPlayerViews>(trainer->window->views(), *trainer->window, heard);
    trainer->player = std::make_unique<BackgroundPlayer>(*trainer->port, *trainer->clock, trainer->live,
                                                         *trainer->events, *trainer->views, steadyClock);
    trainer->channel = std::make_unique<PlayerChannel>(*trainer->player, trainer->live);
    trainer->window->setPlayer(*trainer->channel);
    trainer->window->setPractice(*trainer->practice);
    trainer->window->Form_Load();
    trainer->window->start();
    if (!trainer->state.settings.HideDemoOffer) trainer->window->menus().showTour();
    return trainer;
}

} // namespace orbel
