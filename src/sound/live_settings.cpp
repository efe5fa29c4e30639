#include "sound/live_settings.h"

#include "theory/settings_table.h"

#include <utility>

namespace orbel {

void CopyLiveFields(const Settings& from, Settings& to) {
    ForEachSettingsField([&from, &to](const auto& field, auto) {
        if (field.isLive) to.*field.member = from.*field.member;
    });
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
