#include "sound/live_settings.h"

#include <utility>

namespace orbel {

void CopyLiveFields(const Settings& from, Settings& to) {
    static constexpr std::int16_t Settings::*Live[] = {
        &Settings::Tempo,
        &Settings::SwingLevel,
        &Settings::ClickSound,
        &Settings::ClickVolume,
        &Settings::MelodyVolume,
        &Settings::ChordVolume,
        &Settings::BassVolume,
        &Settings::MelodyProgram,
        &Settings::ChordProgram,
        &Settings::BassSound,
        &Settings::RepeatCount,
        &Settings::PitchBaseC,
        &Settings::TransposeSemitones,
    };
    static constexpr bool Settings::*LiveSwitches[] = {
        &Settings::SwingOn,     &Settings::ClickOn,         &Settings::MelodyOn,         &Settings::CountInOn,
        &Settings::RepeatOn,    &Settings::AccompanimentOn, &Settings::ConcertPitchPlay, &Settings::ShowScore,
        &Settings::ShowDiagram, &Settings::ShowKeyboard,
    };
    for (const auto field : Live)
        to.*field = from.*field;
    for (const auto field : LiveSwitches)
        to.*field = from.*field;
}

void LiveSettings::publish(const Settings& settings) {
    const std::lock_guard lock(mutex_);
    const std::int16_t ramped = published_.Tempo;
    CopyLiveFields(settings, published_);
    if (any_ && settings.Tempo == windowTempo_) published_.Tempo = ramped;
    windowTempo_ = settings.Tempo;
    any_ = true;
}

void LiveSettings::acknowledgeRamp(int tempo) {
    const std::lock_guard lock(mutex_);
    windowTempo_ = tempo;
}

void LiveSettings::rampTempo(int tempo) const {
    const std::lock_guard lock(mutex_);
    published_.Tempo = static_cast<std::int16_t>(tempo);
}

void LiveSettings::requestRoot(int root) {
    const std::lock_guard lock(mutex_);
    rootRequest_ = root;
}

std::optional<int> LiveSettings::takeRootRequest() const {
    const std::lock_guard lock(mutex_);
    return std::exchange(rootRequest_, std::nullopt);
}

void LiveSettings::forgetRootRequest() const {
    const std::lock_guard lock(mutex_);
    rootRequest_.reset();
}

void LiveSettings::refresh(Settings& settings) const {
    const std::lock_guard lock(mutex_);
    if (any_) CopyLiveFields(published_, settings);
}

} // namespace orbel
