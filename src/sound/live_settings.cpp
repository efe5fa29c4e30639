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
