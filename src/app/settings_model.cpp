#include "app/settings_model.h"

#include <vector>

namespace orbel {

bool IsLiveField(SettingsFieldId field) {
    bool live = false;
    ForEachSettingsField([&](const auto& entry, auto index) {
        if (decltype(index)::value == static_cast<std::size_t>(field)) live = entry.isLive;
    });
    return live;
}

SettingsModel::SettingsModel(Settings& settings, QObject* parent) : QObject(parent), settings_(settings) {}

void SettingsModel::take(const Settings& from, SettingsFieldSet fields) {
    std::vector<SettingsFieldId> taken;
    ForEachSettingsField([&](const auto& field, auto index) {
        const auto id = SettingsFieldId(decltype(index)::value);
        if (!fields.contains(id) || settings_.*field.member == from.*field.member) return;
        settings_.*field.member = from.*field.member;
        taken.push_back(id);
    });
    for (const SettingsFieldId id : taken)
        emit changed(id);
}

} // namespace orbel
