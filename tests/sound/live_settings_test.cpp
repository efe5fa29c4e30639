// What the player is handed while it plays, walked from the settings table.

#include "sound/live_settings.h"
#include "theory/settings_table.h"

#include <gtest/gtest.h>
#include <limits>

namespace orbel {
namespace {

// Every element of every field moved off its default.
Settings EveryFieldMoved() {
    Settings s;
    ForEachSettingsField([&s](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
            Element& value = ElementOf(s.*field.member, i);
            if constexpr (std::is_same_v<Element, bool>) {
                value = true;
            } else if constexpr (std::is_arithmetic_v<Element>) {
                value = static_cast<Element>(std::numeric_limits<Element>::max() - static_cast<Element>(i));
            } else if constexpr (std::is_same_v<Element, std::string>) {
                value = "/moved";
            } else {
                value.fill('x');
            }
        }
    });
    return s;
}

TEST(LiveSettings, ThePlayerTakesTheLiveFieldsAndNoOther) {
    const Settings window = EveryFieldMoved();
    LiveSettings live;
    live.publish(window);
    Settings player;
    live.refresh(player);
    ForEachSettingsField([&](const auto& field, auto) {
        SCOPED_TRACE(std::string(field.name));
        EXPECT_EQ(player.*field.member == window.*field.member, field.isLive);
        if (!field.isLive) {
            EXPECT_TRUE(player.*field.member == Settings{}.*field.member);
        }
    });
}

} // namespace
} // namespace orbel
