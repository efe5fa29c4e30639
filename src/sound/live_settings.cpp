#include "sound/live_settings.h"

#include <utility>

namespace orbel {

void CopyLiveFields(const Settings& from, Settings& to) {
    static constexpr std::int16_t Settings::*Live[] = {
        &Settings::Tempo,
        &Settings::SwingOn,
        &Settings::SwingLevel,
        &Settings::ClickOn,
        &Settings::ClickSound,
        &Settings::ClickVolume,
        &Settings::MelodyOn,
        &Settings::MelodyVolume,
        &Settings::ChordVolume,
        &Settings::BassVolume,
        &Settings::MelodyProgram,
        &Settings::ChordProgram,
        &Settings::BassSound,
        &Settings::CountInOn,
        &Settings::RepeatOn,
        &Settings::RepeatCount,
        &Settings::AccompanimentOn,
        &Settings::PitchBaseC,
        &Settings::TransposeSemitones,
        &Settings::ConcertPitchPlay,
        &Settings::ShowScore,
        &Settings::ShowDiagram,
        &Settings::ShowKeyboard,
    };
    for (const auto field : Live)
        to.*field = from.*field;
}

void LiveSettings::publish(const Settings& settings) {
    const std::lock_guard lock(mutex_);
    CopyLiveFields(settings, published_);
    if (!any_) tempo_ = settings.Tempo;
    any_ = true;
}

void LiveSettings::chooseTempo(int tempo) {
    const std::lock_guard lock(mutex_);
    tempo_ = static_cast<std::int16_t>(tempo);
    owner_ = TempoOwner::User;
}

void LiveSettings::rampTempo(int tempo) const {
    const std::lock_guard lock(mutex_);
    tempo_ = static_cast<std::int16_t>(tempo);
    owner_ = TempoOwner::Ramp;
}

LiveSettings::TempoOwner LiveSettings::tempoOwner() const {
    const std::lock_guard lock(mutex_);
    return owner_;
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
    if (!any_) return;
    CopyLiveFields(published_, settings);
    settings.Tempo = tempo_;
}

} // namespace orbel
